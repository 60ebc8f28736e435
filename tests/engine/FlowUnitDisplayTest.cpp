#include "devices/DeviceRegistry.h"
#include "app/Startup.h"
#include "engine/FlowUnitDisplay.h"

#include <gtest/gtest.h>

namespace {

double Number(const QString& grouped)
{
    QString digits = grouped.section(QLatin1Char(' '), 0, -2); // without the unit
    return digits.remove(QLatin1Char(' ')).toDouble();
}

class FlowUnitDisplayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RunStartupSequence();
        ASSERT_TRUE(GetDeviceByPort(QStringLiteral("COMX"), mfc)); // 50 SCCM of air, ml/min at 25 °C
    }
    TDeviceInfo mfc;
};

} // namespace

TEST_F(FlowUnitDisplayTest, VolumetricUnitAtItsOwnConditions)
{
    mfc.FlowUnitUser.Temperature = 20;
    const TFlowUnitDisplay display = FlowUnitDisplay(mfc, 50, 100);
    ASSERT_TRUE(display.Valid);
    EXPECT_NEAR(display.MaxFlow, 49.1615, 1e-4);
    EXPECT_EQ(display.UnitName, QStringLiteral("ml/min"));
    EXPECT_TRUE(display.SegmentResult.endsWith(QStringLiteral(" ml/min")));
    EXPECT_NEAR(Number(display.SegmentResult), 24.58075, 1e-4);
    EXPECT_NEAR(Number(display.DirectResult), 49.1615, 1e-4);
}

TEST_F(FlowUnitDisplayTest, GramsUnit)
{
    mfc.FlowUnitUser.GasFlowType = gfuGrams;
    mfc.FlowUnitUser.Name = QStringLiteral("g/min");
    const TFlowUnitDisplay display = FlowUnitDisplay(mfc, 100, 0);
    ASSERT_TRUE(display.Valid);
    EXPECT_NEAR(display.MaxFlow, 0.0592, 1e-4);
    EXPECT_EQ(display.SegmentResult.left(9), QStringLiteral("0.059 195"));
    EXPECT_EQ(display.DirectResult, QStringLiteral("0 g/min"));
}

TEST_F(FlowUnitDisplayTest, FailedConversionChangesNothing)
{
    mfc.FlowUnitUser.GasFlowType = gfuUndefined;
    EXPECT_FALSE(FlowUnitDisplay(mfc, 50, 50).Valid);
}

TEST_F(FlowUnitDisplayTest, PumpShowsDesiredAgainstAchievable)
{
    TDeviceInfo pump;
    ASSERT_TRUE(FindKnownDevice(QStringLiteral("2020465"), pump)); // 12.5 µL, 312.5 µl/min
    const TFlowUnitDisplay display = FlowUnitDisplay(pump, 0.32, 0);
    ASSERT_TRUE(display.Valid);
    EXPECT_EQ(display.MaxFlow, 312.5);
    EXPECT_EQ(display.UnitName, QStringLiteral("µl/min"));
    // 1 µL/min of water wanted: speed 8 achieves 995.66 µg/min.
    EXPECT_EQ(display.SegmentResult,
              QStringLiteral("Desired/Achievable || 1 / 0.997 463 || µl/min || Relative error:-0.434 %"));
    EXPECT_EQ(display.SegmentCommand, QStringLiteral("gIV6000A24000OV8A0GR"));
    EXPECT_EQ(display.DirectCommand, QStringLiteral("TR"));
    EXPECT_EQ(display.DirectResult, QStringLiteral("Desired/Achievable || 0 / 0 || µl/min || Relative error:0 %"));
}

TEST(DigitGroups, GroupByThreeOnBothSides)
{
    EXPECT_EQ(FormatDigitGroups(1234567.891234, 9, true), QStringLiteral("1 234 567.891 234"));
    EXPECT_EQ(FormatDigitGroups(24.58075, 9, true), QStringLiteral("24.580 75"));
    EXPECT_EQ(FormatDigitGroups(-1000, 9, true), QStringLiteral("-1 000"));
    EXPECT_EQ(FormatDigitGroups(12345.6789, 6, false), QStringLiteral("12345.678 9"));
    EXPECT_EQ(FormatDigitGroups(-0.43421, 3, false), QStringLiteral("-0.434"));
}
