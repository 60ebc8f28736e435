#include "pump/PumpSpeeds.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TPumpSpeedDetails Details(double desired_ugpm)
{
    TPumpSpeedDetails d;
    d.Init();
    d.DesiredDispense_ugpm = desired_ugpm;
    return d;
}

double HalfUnit(int decimals)
{
    return 0.5 * std::pow(10.0, -decimals);
}

} // namespace

TEST(CalculatePumpCommand, WorkedRates)
{
    // Achieved rate and error as rounded in the calibration sheet, with the
    // number of decimals each was rounded to.
    struct Case {
        double desired;
        const char* command;
        double achieved;
        int achievedDecimals;
        double error;
        int errorDecimals;
    };
    const Case cases[] = {
        {0, "TR", 0, 0, 0, 0},
        {1, "gIV6000A24000OV1000gD1M30000G24000GR", 1.038, 3, 3.83, 2},
        {10, "gIV6000A24000OV1000gD1M3076G24000GR", 9.9985, 4, -0.015, 3},
        {100, "gIV6000A24000OV1000gD1M268G24000GR", 100.04, 2, 0.040, 3},
        {500, "gIV6000A24000OV1000gD1M19G24000GR", 496.64, 2, -0.67, 2},
        {623, "gIV6000A24000OV5A0GR", 622.80, 2, -0.031, 3},
        {1000, "gIV6000A24000OV8A0GR", 995.66, 2, -0.43, 2},
        {5000, "gIV6000A24000OV41A0GR", 5056.48, 2, 1.13, 2},
        {20000, "gIV6000A24000OV168A0GR", 20020.56, 2, 0.10, 2},
        {200000, "gIV6000A24000OV1000A0GR", 97607.68, 2, -51.2, 1},
    };
    for (const Case& c : cases) {
        TPumpSpeedDetails d = Details(c.desired);
        d.Error_pct = 99; // must be overwritten
        EXPECT_TRUE(CalculatePumpCommand(d));
        EXPECT_EQ(d.Command, QString::fromLatin1(c.command)) << c.desired;
        EXPECT_NEAR(d.AchievedDispense_ugpm, c.achieved, HalfUnit(c.achievedDecimals)) << c.desired;
        EXPECT_NEAR(d.Error_pct, c.error, HalfUnit(c.errorDecimals)) << c.desired;
    }
}

TEST(CalculatePumpCommand, BreakpointAloneChoosesTheTemplate)
{
    TPumpSpeedDetails atBreakpoint = Details(0);
    atBreakpoint.DesiredDispense_ugpm = PumpRateAtSpeed(atBreakpoint, 5);
    CalculatePumpCommand(atBreakpoint);
    EXPECT_EQ(atBreakpoint.Command, QStringLiteral("gIV6000A24000OV1000gD1M6G24000GR"));
    EXPECT_NEAR(atBreakpoint.AchievedDispense_ugpm, 626.25, 0.005);
    EXPECT_NEAR(atBreakpoint.Error_pct, 0.55, 0.005);

    // Delay 5 would come closer (about 639.09), but 639 lies above the breakpoint.
    TPumpSpeedDetails above = Details(639);
    CalculatePumpCommand(above);
    EXPECT_EQ(above.Command, QStringLiteral("gIV6000A24000OV5A0GR"));
    EXPECT_NEAR(above.AchievedDispense_ugpm, 622.80, 0.005);
    EXPECT_NEAR(above.Error_pct, -2.5, 0.05);
}

TEST(CalculatePumpCommand, NegativeRateGivesSlowestDelayAndKeepsError)
{
    TPumpSpeedDetails d = Details(-5);
    d.Error_pct = 12;
    CalculatePumpCommand(d);
    EXPECT_EQ(d.Command, QStringLiteral("gIV6000A24000OV1000gD1M30000G24000GR"));
    EXPECT_EQ(d.Error_pct, 12);
}

TEST(CalculatePumpCommand, FeedbackStartsWithTheWantedRate)
{
    TPumpSpeedDetails d = Details(1000);
    d.Feedback = QStringLiteral("old report");
    CalculatePumpCommand(d);
    EXPECT_TRUE(d.Feedback.startsWith(QStringLiteral("Desired dispense:1000 µL/min\r\nFormula breakpoint:")))
        << d.Feedback.toStdString();
}

TEST(PumpRates, ClampParameters)
{
    const TPumpSpeedDetails d = Details(0);
    EXPECT_NEAR(PumpRateAtSpeed(d, 5), 622.80, 0.005);
    EXPECT_NEAR(PumpRateAtSpeed(d, 1000), 97607.68, 0.005);
    EXPECT_EQ(PumpRateAtSpeed(d, 1), PumpRateAtSpeed(d, 5));
    EXPECT_EQ(PumpRateAtSpeed(d, 5000), PumpRateAtSpeed(d, 1000));
    EXPECT_NEAR(PumpRateAtDelay(d, 5), 639.09, 0.005);
    EXPECT_NEAR(PumpRateAtDelay(d, 30000), 1.038, 0.0005);
    EXPECT_EQ(PumpRateAtDelay(d, 1), PumpRateAtDelay(d, 5));
    EXPECT_EQ(PumpRateAtDelay(d, 40000), PumpRateAtDelay(d, 30000));
}
