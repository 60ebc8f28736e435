#include "WindowFixture.h"

#include "ui/widgets/RtDoubleEdit.h"
#include "ui/widgets/RtPointSeries.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

// Writing programs from the window's pages: the Design segments page and
// the Mixtures page, with COMX given nitrogen and COMX and COMY selected.
class AuthoringTest : public WindowFixture {
protected:
    void BeforeWindow() override { DevicesLocal[0].FluidID = 8; }

    void SetUp() override
    {
        WindowFixture::SetUp();
        SetProgram(QStringLiteral("COMX"), QStringLiteral("0 0 Step"));
        Focus(QStringLiteral("COMX"));
        window->Hour1Click();
    }

    void Type(QWidget* field, const QString& text) const
    {
        field->setFocus();
        if (auto* edit = qobject_cast<QLineEdit*>(field))
            edit->selectAll();
        else
            static_cast<QPlainTextEdit*>(field)->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }

    QString Table() const { return Find<QPlainTextEdit>("MemoSegments")->toPlainText(); }
};

TEST_F(AuthoringTest, DesignPageWritesTheFocusedDevicesProgram)
{
    Find<QTabWidget>("PageControl1")->setCurrentWidget(Find<QWidget>("TabSheetSegment"));
    EXPECT_EQ(Find<QLabel>("LabelSegmentStartTime")->text(), QStringLiteral("Start time, h"));
    Type(Find<TRtDoubleEdit>("RtDoubleEditSegmentTime"), QStringLiteral("1.5"));
    Type(Find<TRtDoubleEdit>("RtDoubleEditSegmentFlow"), QStringLiteral("40"));
    QTest::mouseClick(Find<QPushButton>("BitBtn3"), Qt::LeftButton);
    QTest::mouseClick(Find<QPushButton>("BitBtn4"), Qt::LeftButton);

    EXPECT_EQ(Device(QStringLiteral("COMX")).SegmentProgram, QStringLiteral("0 0 Step\r\n90 40 Ramp"));
    // The graph and the segment table follow.
    EXPECT_TRUE(Device(QStringLiteral("COMX")).SerieSegment->XValues().contains(90));
    EXPECT_TRUE(Table().contains(QStringLiteral("   1.500 |          1h 30m |       40  Ramp"))) << Table().toStdString();

    Type(Find<TRtDoubleEdit>("RtDoubleEditSegmentTime"), QStringLiteral("-1"));
    QTest::mouseClick(Find<QPushButton>("BitBtn4"), Qt::LeftButton);
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("Invalid character: -")});
    EXPECT_EQ(Device(QStringLiteral("COMX")).SegmentProgram, QStringLiteral("0 0 Step\r\n90 40 Ramp"));
}

TEST_F(AuthoringTest, MixturesPageAddsTheRecipeAtMinutes)
{
    Find<QTabWidget>("PageControl1")->setCurrentWidget(Find<QWidget>("TabSheetMixtures"));
    EXPECT_EQ(Find<QLabel>("LabelMixSegmentsTime")->text(), QStringLiteral("Time, h"));
    auto* recipe = Find<QPlainTextEdit>("MemoMixRecipe");
    recipe->setFocus();
    recipe->selectAll();
    QTest::keyClicks(recipe, QStringLiteral("comx 40 R"));
    // Whatever the time unit, the time is taken as minutes.
    Type(Find<TRtDoubleEdit>("RtDoubleEditMixSegmentsAddTime"), QStringLiteral("3"));
    QTest::mouseClick(Find<QPushButton>("ButtonMixSegmentsAdd"), Qt::LeftButton);

    EXPECT_EQ(Device(QStringLiteral("COMX")).SegmentProgram, QStringLiteral("0 0 Step\r\n3 40 Ramp\r\n"));
    EXPECT_TRUE(Device(QStringLiteral("COMX")).SerieSegment->XValues().contains(3));
    QCoreApplication::processEvents(); // lines are shown once the event loop turns
    EXPECT_TRUE(Find<QPlainTextEdit>("MemoMain")->toPlainText().contains(
        QStringLiteral("Segment Program Modify for Device: COMX")));
    EXPECT_TRUE(prompts.Messages.isEmpty()) << prompts.Messages.join(u'|').toStdString();
}

} // namespace
