#include "FindControl.h"

#include "devices/DeviceRegistry.h"
#include "engine/SegmentDesign.h"
#include "support/RecordingPrompts.h"
#include "ui/Icons.h"
#include "ui/pages/SegmentSheet.h"
#include "ui/widgets/RtDoubleEdit.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

// Stands in for the window: the focused device comes from the registry and
// a refresh shows it on the page again, as the window does.
class PageWindow final : public TSegmentDesignView {
public:
    explicit PageWindow(TSegmentSheet& sheet) : sheet(sheet) {}
    bool GetSelectedDevice(TDeviceInfo& device) const override
    {
        return !focused.isEmpty() && GetDeviceByPort(focused, device);
    }
    void RefreshDevice(TDeviceInfo& device) override
    {
        ++refreshes;
        sheet.ShowDevice(device);
    }

    TSegmentSheet& sheet;
    QString focused = QStringLiteral("COMX");
    int refreshes = 0;
};

class SegmentEditingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitializeStandardFlowUnits();
        DevicesLocal.clear();
        AddDemonstrationDevices();
        DevicesLocal[0].SegmentProgram = QStringLiteral("0 0 Step\r\n5 20 Ramp two_words");
        sheet.SetDesignView(&window);
        sheet.SetTimeUnit(QStringLiteral("m"), 1);
        sheet.ShowDevice(DevicesLocal.at(0));
        sheet.show();
    }
    void TearDown() override { DevicesLocal.clear(); }

    template <typename Control>
    Control* Find(const char* name) const
    {
        return FindControl<Control>(sheet, name);
    }

    QTreeWidget* List() const { return Find<QTreeWidget>("ListViewSegmentProgram"); }

    QStringList Rows() const
    {
        QStringList rows;
        for (int r = 0; r < List()->topLevelItemCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < 4; ++c)
                cells << List()->topLevelItem(r)->text(c);
            rows << cells.join(u'|');
        }
        return rows;
    }

    // Types into a numeric edit as the operator does, confirmed with Return.
    void Type(const char* edit, const QString& text) const
    {
        auto* field = Find<TRtDoubleEdit>(edit);
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }

    void Apply(const QString& time, const QString& flow) const
    {
        Type("RtDoubleEditSegmentTime", time);
        Type("RtDoubleEditSegmentFlow", flow);
        QTest::mouseClick(Find<QPushButton>("BitBtn4"), Qt::LeftButton);
    }

    void Select(int row) const { List()->setCurrentItem(List()->topLevelItem(row)); }

    static QString Program() { return DevicesLocal.at(0).SegmentProgram; }

    static QImage Picture(const QIcon& icon) { return icon.pixmap(16).toImage(); }

    RecordingPrompts prompts;
    TSegmentSheet sheet;
    PageWindow window{sheet};
};

TEST_F(SegmentEditingTest, AddApplyAndSortByTime)
{
    for (const char* time : {"30", "12", "100"})
        Apply(QString::fromLatin1(time), QStringLiteral("10"));
    // Replacing keeps one row at that time, with the newer setpoint.
    Apply(QStringLiteral("12"), QStringLiteral("60"));
    EXPECT_EQ(Rows(), QStringList({"0|0|Step|", "5|20|Ramp|two words", "12|60|Step|", "30|10|Step|", "100|10|Step|"}));
    EXPECT_EQ(Program(), QStringLiteral("0 0 Step\r\n5 20 Ramp two_words\r\n12 60 Step\r\n30 10 Step\r\n100 10 Step"));
    EXPECT_EQ(window.refreshes, 4);
    EXPECT_TRUE(prompts.Messages.isEmpty());

    // A program stored out of order is listed in order.
    DevicesLocal[0].SegmentProgram = QStringLiteral("30 1 Step\r\n5 2 Step");
    sheet.ShowDevice(DevicesLocal.at(0));
    EXPECT_EQ(Rows(), QStringList({"5|2|Step|", "30|1|Step|"}));
}

TEST_F(SegmentEditingTest, StartTimeInHours)
{
    sheet.SetTimeUnit(QStringLiteral("h"), 60);
    EXPECT_EQ(Find<QLabel>("LabelSegmentStartTime")->text(), QStringLiteral("Start time, h"));
    Type("RtDoubleEditSegmentTime", QStringLiteral("1.5"));
    EXPECT_EQ(Find<QLabel>("LabelSegmentStartTimeTimeConversions")->text(), QStringLiteral("0 days, 1 hour, 30 minutes"));
    QTest::mouseClick(Find<QPushButton>("BitBtn4"), Qt::LeftButton);
    EXPECT_EQ(Rows().last(), QStringLiteral("90|0|Step|"));

    // A selected row is shown in hours too.
    Select(1);
    EXPECT_DOUBLE_EQ(Find<TRtDoubleEdit>("RtDoubleEditSegmentTime")->Value(), 5.0 / 60);
}

TEST_F(SegmentEditingTest, TypeButtonAndSelectedRow)
{
    auto* type = Find<QPushButton>("BitBtn3");
    const QImage step = Picture(TarvoIcon(QStringLiteral("corner-right-up-line")));
    const QImage ramp = Picture(TarvoIcon(QStringLiteral("increase-arrow-up")));
    EXPECT_EQ(type->text(), QStringLiteral("Step"));
    EXPECT_EQ(Picture(type->icon()), step);
    QTest::mouseClick(type, Qt::LeftButton);
    EXPECT_EQ(type->text(), QStringLiteral("Ramp"));
    EXPECT_EQ(Picture(type->icon()), ramp);
    QTest::mouseClick(type, Qt::LeftButton);
    EXPECT_EQ(type->text(), QStringLiteral("Step"));
    EXPECT_EQ(Picture(type->icon()), step);

    Select(1);
    EXPECT_EQ(type->text(), QStringLiteral("Ramp"));
    EXPECT_EQ(Picture(type->icon()), ramp);
    EXPECT_EQ(Find<QLineEdit>("EditNote")->text(), QStringLiteral("two words"));
    EXPECT_EQ(Find<TRtDoubleEdit>("RtDoubleEditSegmentTime")->Value(), 5);
    EXPECT_EQ(Find<TRtDoubleEdit>("RtDoubleEditSegmentFlow")->Value(), 20);
    Select(0);
    EXPECT_EQ(type->text(), QStringLiteral("Step"));
    EXPECT_EQ(Find<QLineEdit>("EditNote")->text(), QString());

    // Applying the loaded row with another note keeps its type.
    Select(1);
    Find<QLineEdit>("EditNote")->setText(QStringLiteral("warm up"));
    QTest::mouseClick(Find<QPushButton>("BitBtn4"), Qt::LeftButton);
    EXPECT_EQ(Program(), QStringLiteral("0 0 Step\r\n5 20 Ramp warm_up"));
}

TEST_F(SegmentEditingTest, DeleteTheSelectedRow)
{
    auto* remove = Find<QPushButton>("BitBtn5");
    List()->clearSelection();
    QTest::mouseClick(remove, Qt::LeftButton); // nothing selected: nothing happens
    EXPECT_EQ(List()->topLevelItemCount(), 2);

    Select(0);
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_EQ(Program(), QStringLiteral("5 20 Ramp two_words"));
    Select(0);
    QTest::mouseClick(remove, Qt::LeftButton);
    EXPECT_EQ(Program(), QString());
    EXPECT_EQ(List()->topLevelItemCount(), 0);
    EXPECT_TRUE(prompts.Messages.isEmpty());
}

TEST_F(SegmentEditingTest, ANegativeTimeIsRefused)
{
    const QStringList before = Rows();
    Apply(QStringLiteral("-5"), QStringLiteral("50"));
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("Invalid character: -")});
    EXPECT_EQ(Rows(), before);
    EXPECT_EQ(Program(), QStringLiteral("0 0 Step\r\n5 20 Ramp two_words"));
    EXPECT_EQ(window.refreshes, 0);
}

TEST_F(SegmentEditingTest, WithoutAFocusedDeviceTheListAloneChanges)
{
    window.focused.clear();
    Apply(QStringLiteral("8"), QStringLiteral("50"));
    Select(0);
    QTest::mouseClick(Find<QPushButton>("BitBtn5"), Qt::LeftButton);
    EXPECT_EQ(Rows(), QStringList({"5|20|Ramp|two words", "8|50|Step|"}));
    EXPECT_EQ(prompts.Messages, (QStringList{"Could not get assigned device.", "Error"}));
    EXPECT_EQ(Program(), QStringLiteral("0 0 Step\r\n5 20 Ramp two_words"));
}

TEST_F(SegmentEditingTest, TerminationKeepsTheLastFlow)
{
    const auto choices = Find<QGroupBox>("RadioGroupSegmentTerminationType")->findChildren<QRadioButton*>();
    ASSERT_EQ(choices.size(), 1);
    EXPECT_EQ(choices.first()->text(), QStringLiteral("Keep last flow indefinitely"));
    EXPECT_TRUE(choices.first()->isChecked());
    EXPECT_EQ(sheet.Termination(), tspttKeep);
}

} // namespace
