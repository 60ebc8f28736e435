#include "app/Startup.h"
#include "devices/DeviceRegistry.h"
#include "engine/FlowDesigner.h"
#include "support/RecordingPrompts.h"

#include <gtest/gtest.h>

namespace {

TEST(FlowDesigner, SlidersAndFieldsFollowEachOther)
{
    // Programs ending at 12.4 and 30 minutes: the slider spans 0 to 31 minutes.
    EXPECT_EQ(DesignerTimeSliderMaximum(30), 310);
    // Typing 45: one minute past it, at 45 minutes.
    EXPECT_EQ(DesignerTimeSliderMaximum(45), 460);
    EXPECT_EQ(DesignerTimeSliderPosition(45), 450);
    EXPECT_EQ(DesignerTimeSliderPosition(0.25), 2); // halves to the even neighbour
    EXPECT_EQ(DesignerTimeSliderPosition(0.35), 4);

    // A device of full scale 100 in its user unit.
    EXPECT_EQ(DesignedFlowFromSlider(100, 25, 100), 25);
    EXPECT_EQ(DesignerSliderFromFlow(12.5, 100, 100), 12);
    EXPECT_EQ(DesignerSliderFromFlow(13.5, 100, 100), 14);
    EXPECT_EQ(DesignedFlowFromSlider(50, 1, 100), 0.5);
}

TEST(FlowDesigner, TypedFlowsBelowTheSmallestStepSnap)
{
    struct Case {
        const char* name;
        double typed, fullScale, kept;
    };
    const Case cases[] = {
        {"below half the step: to 0", 0.004, 100, 0},
        {"above half the step: to the step", 0.007, 100, 0.01},
        {"exactly half the step: to the step", 0.005, 100, 0.01},
        {"the step itself", 0.01, 100, 0.01},
        {"zero", 0, 100, 0},
        {"an ordinary flow", 42.5, 100, 42.5},
        {"scaled with the full scale", 0.00004, 0.5, 0.00005},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(SnappedDesignedFlow(c.typed, c.fullScale), c.kept) << c.name;
}

class ApplyDesignTest : public ::testing::Test {
protected:
    void SetUp() override { RunStartupSequence(); }
    void TearDown() override { DevicesLocal.clear(); }

    static QString Program(const char* port)
    {
        TDeviceInfo device;
        EXPECT_TRUE(GetDeviceByPort(QString::fromLatin1(port), device));
        return device.SegmentProgram;
    }

    RecordingPrompts prompts;
};

// The demonstration devices: COMX full scale 50 ml/min, COMY 500 ml/min.
TEST_F(ApplyDesignTest, InsertsAStepAtTheTimeAsShownWithTheFlowAsPercent)
{
    const TDesignApplied applied =
        ApplyDesign({{QStringLiteral("COMX"), 12.5}, {QStringLiteral("COMY"), 125}}, 4.56, QStringLiteral("after purge"));

    EXPECT_EQ(applied.AppliedPorts, QStringList({QStringLiteral("COMX"), QStringLiteral("COMY")}));
    EXPECT_TRUE(applied.Refusals.isEmpty());
    EXPECT_EQ(applied.LogLines, QStringList({QStringLiteral("Design applied to COMX: 4.56 25 Step after_purge"),
                                             QStringLiteral("Design applied to COMY: 4.56 25 Step after_purge")}));
    EXPECT_TRUE(Program("COMX").startsWith(QStringLiteral("4.56 25 Step after_purge\r\n10 100 Ramp\r\n")));
    EXPECT_TRUE(Program("COMY").contains(QStringLiteral("\r\n4.5 30 Step\r\n4.56 25 Step after_purge\r\n8 0 Ramp")));
}

TEST_F(ApplyDesignTest, ReplacesTheSegmentAtThatTime)
{
    ApplyDesign({{QStringLiteral("COMX"), 5}}, 12, QString());
    EXPECT_TRUE(Program("COMX").contains(QStringLiteral("10 100 Ramp\r\n12 10 Step\r\n12.5 30 Ramp")));
}

TEST_F(ApplyDesignTest, RefusesWhatNoProgramCouldHold)
{
    TDeviceInfo noScale;
    ASSERT_TRUE(GetDeviceByPort(QStringLiteral("COMY"), noScale));
    noScale.FlowUnitUser.pGasFlowMax = 0;
    ASSERT_TRUE(StoreDevice(noScale));
    const QString before = Program("COMX");

    struct Case {
        const char* name;
        const char* port;
        double flow, minutes;
        const char* refusal;
    };
    const Case cases[] = {
        {"no full scale", "COMY", 10, 5, "Design not applied to COMY: no full scale configured"},
        {"time below 0", "COMX", 10, -1, "Design not applied to COMX: the time is below 0"},
        {"flow above full scale", "COMX", 60, 5, "Design not applied to COMX: the flow is outside 0 to full scale"},
    };
    for (const Case& c : cases) {
        const TDesignApplied applied = ApplyDesign({{QString::fromLatin1(c.port), c.flow}}, c.minutes, QString());
        EXPECT_EQ(applied.Refusals, QStringList(QString::fromLatin1(c.refusal))) << c.name;
        EXPECT_EQ(applied.LogLines, applied.Refusals) << c.name;
        EXPECT_TRUE(applied.AppliedPorts.isEmpty()) << c.name;
    }
    EXPECT_EQ(Program("COMX"), before);
    EXPECT_EQ(Program("COMY"), noScale.SegmentProgram);
}

} // namespace
