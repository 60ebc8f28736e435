#include "WindowFixture.h"

#include "ui/widgets/RtDoubleEdit.h"
#include "ui/widgets/RtPointSeries.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

namespace {

// COMX: full scale 100 ml/min, program ending at 12.4 minutes; COMY: full
// scale 500 ml/min, program ending at 30 minutes. Both selected, COMY focused.
class DesignerTest : public WindowFixture {
protected:
    void BeforeWindow() override
    {
        TDeviceInfo x = Device(QStringLiteral("COMX"));
        x.FlowUnitDevice.SetGasFlowMax(100);
        x.FlowUnitUser = x.FlowUnitDevice.Clone();
        x.SegmentProgram = QStringLiteral("0 10 Step\r\n12.4 50 Step");
        StoreDevice(x);
        SetProgram(QStringLiteral("COMY"), QStringLiteral("0 0 Step\r\n30 100 Ramp"));
    }

    void SetUp() override
    {
        WindowFixture::SetUp();
        Find<QTabWidget>("PageControl1")->setCurrentWidget(Find<QWidget>("TabSheet1"));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        Focus(QStringLiteral("COMX"));
        Devices()->setCurrentItem(Devices()->findItems(QStringLiteral("COMY"), Qt::MatchExactly).first(), 0,
                                  QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    QSlider* TimeSlider() const { return Find<QSlider>("TrackBarDesignerTime"); }
    TRtDoubleEdit* TimeField() const { return Find<TRtDoubleEdit>("RtDoubleEditDesignMixTime"); }
    QSlider* Slider(const char* port) const
    {
        return window->findChild<QSlider*>(QStringLiteral("TrackBarDesignerDynamic_") + QLatin1String(port));
    }
    TRtDoubleEdit* Field(const char* port) const
    {
        return window->findChild<TRtDoubleEdit*>(QStringLiteral("DoubleEditDynamic_") + QLatin1String(port));
    }

    // Types into a field that has the keyboard focus, as the operator does.
    static void Type(TRtDoubleEdit* field, const QString& text)
    {
        ASSERT_NE(field, nullptr);
        field->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([field] { return field->hasFocus(); }));
        field->clear();
        QTest::keyClicks(field, text);
    }
};

TEST_F(DesignerTest, TimeSliderSpansTheLongestProgramAndTypedTimesExtendIt)
{
    EXPECT_EQ(TimeSlider()->maximum(), 310);
    EXPECT_EQ(TimeSlider()->singleStep(), 1);

    Type(TimeField(), QStringLiteral("45"));
    EXPECT_EQ(TimeSlider()->maximum(), 460);
    EXPECT_EQ(TimeSlider()->value(), 450);
    EXPECT_EQ(TimeField()->text(), QStringLiteral("45")); // the slider leaves the focused field alone

    const TRtPointSeries* bar = window->RtLineSeriesTimeHighlight();
    EXPECT_EQ(bar->XValues(), QVector<double>({45, 45, 45}));
    EXPECT_EQ(bar->YValues(), QVector<double>({0, 100, 0}));

    // Moving the slider writes the time back into the field and moves the bar.
    TimeSlider()->setFocus();
    TimeSlider()->setValue(125);
    EXPECT_EQ(TimeField()->Value(), 12.5);
    EXPECT_EQ(bar->XValues(), QVector<double>({12.5, 12.5, 12.5}));
}

TEST_F(DesignerTest, TimeReadsEveryProgramIntoItsDevice)
{
    TimeSlider()->setValue(50); // 5 minutes
    EXPECT_EQ(Slider("COMX")->value(), 10);
    EXPECT_EQ(Field("COMX")->Value(), 10);
    EXPECT_EQ(Slider("COMY")->value(), 17); // 16.7 % of the ramp
    EXPECT_DOUBLE_EQ(Field("COMY")->Value(), 5.0 / 30 * 100 / 100 * 500);
    EXPECT_EQ(Find<QGroupBox>("GroupBoxDesignerDynamic_COMX")->title(),
              QStringLiteral("COMX - Unconfigured - ") + Device(QStringLiteral("COMX")).FlowUnitUser.Name);
}

TEST_F(DesignerTest, DeviceSliderAndFieldFollowEachOther)
{
    Slider("COMX")->setValue(25);
    EXPECT_EQ(Field("COMX")->Value(), 25);

    Type(Field("COMX"), QStringLiteral("12.5"));
    EXPECT_EQ(Slider("COMX")->value(), 12); // halves to the even neighbour
    EXPECT_EQ(Field("COMX")->text(), QStringLiteral("12.5"));

    struct Case {
        const char* name;
        const char* typed;
        double kept;
    };
    const Case snaps[] = {
        {"below half the smallest flow", "0.004", 0},
        {"above half the smallest flow", "0.007", 0.01},
    };
    for (const Case& c : snaps) {
        Type(Field("COMX"), QString::fromLatin1(c.typed));
        EXPECT_EQ(Field("COMX")->Value(), c.kept) << c.name;
    }
}

TEST_F(DesignerTest, NoSelectedRowRemovesTheGroupsAndKeepsTheMixture)
{
    auto* memo = Find<QPlainTextEdit>("MemoMixDesigner");
    // Ctrl-click on the focused COMY, then on COMX: focused, nothing selected.
    auto* x = Devices()->findItems(QStringLiteral("COMX"), Qt::MatchExactly).first();
    auto* y = Devices()->findItems(QStringLiteral("COMY"), Qt::MatchExactly).first();
    Devices()->setCurrentItem(y, 0, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    const QString mixture = memo->toPlainText();
    EXPECT_TRUE(mixture.startsWith(QStringLiteral("COMX: no gas configured")));
    Devices()->setCurrentItem(x, 0, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    ASSERT_TRUE(Devices()->selectedItems().isEmpty());
    EXPECT_TRUE(Find<QWidget>("FlowPanelControls")->findChildren<QGroupBox*>().isEmpty());
    EXPECT_EQ(memo->toPlainText(), mixture);
}

TEST_F(DesignerTest, ApplyWritesAStepPerDeviceAndRefusesDevicesWithoutFullScale)
{
    TDeviceInfo y = Device(QStringLiteral("COMY"));
    y.FlowUnitUser.pGasFlowMax = 0;
    StoreDevice(y);

    Type(TimeField(), QStringLiteral("4.56"));
    Type(Field("COMX"), QStringLiteral("25"));
    Find<QLineEdit>("EditNoteDesigner")->setText(QStringLiteral("after purge"));
    QTest::mouseClick(Find<QPushButton>("BitBtnDesignerApply"), Qt::LeftButton);

    EXPECT_EQ(Device(QStringLiteral("COMX")).SegmentProgram,
              QStringLiteral("0 10 Step\r\n4.56 25 Step after_purge\r\n12.4 50 Step\r\n"));
    EXPECT_EQ(Device(QStringLiteral("COMY")).SegmentProgram, y.SegmentProgram);
    QCoreApplication::processEvents(); // lines are shown once the event loop turns
    const QString log = Find<QPlainTextEdit>("MemoMain")->toPlainText();
    EXPECT_TRUE(log.contains(QStringLiteral("Design applied to COMX: 4.56 25 Step after_purge")));
    EXPECT_TRUE(log.contains(QStringLiteral("Design not applied to COMY: no full scale configured")));
    EXPECT_EQ(prompts.Messages, QStringList(QStringLiteral("Design not applied to COMY: no full scale configured")));
}

} // namespace
