#include "FakeViews.h"

#include "app/Startup.h"
#include "engine/DeviationAlarm.h"
#include "engine/EngineTick.h"
#include "mfc/MFCThread.h"
#include "support/TempFolder.h"
#include "support/TestClock.h"

#include <gtest/gtest.h>

#include <list>
#include <optional>
#include <utility>
#include <vector>

namespace {

// Band 5 % of full scale, hold 10 s throughout: after a step the check
// starts at +10 s, and a run of readings must last 10 s.
constexpr double Band = 5;
constexpr double Hold = 10;

struct Reading {
    double atS;
    double programmed;
    std::optional<double> achieved;
};
using Readings = std::vector<Reading>;
using Change = std::pair<double, TDeviationAlarm::TChange>; // when, what

constexpr std::nullopt_t Unread = std::nullopt;

// One reading a second from `fromS` up to `toS`, both flows going linearly
// from their first value to their second.
Readings Ramp(double fromS, double toS, double programmedFrom, double programmedTo, double achievedFrom,
              double achievedTo)
{
    Readings readings;
    for (double t = fromS; t < toS; ++t) {
        const double share = (t - fromS) / (toS - fromS);
        readings.push_back({t, programmedFrom + (programmedTo - programmedFrom) * share,
                            achievedFrom + (achievedTo - achievedFrom) * share});
    }
    return readings;
}

// A steady programmed flow and a steady achieved flow.
Readings Steady(double fromS, double toS, double programmed, std::optional<double> achieved)
{
    Readings readings;
    for (double t = fromS; t < toS; ++t)
        readings.push_back({t, programmed, achieved});
    return readings;
}

Readings operator+(Readings first, const Readings& then)
{
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

struct AlarmCase {
    const char* name;
    Readings readings;
    std::vector<Change> expected;
};

constexpr auto Entered = TDeviationAlarm::dacEntered;
constexpr auto Left = TDeviationAlarm::dacLeft;

const AlarmCase Cases[] = {
    {"FollowingThroughAStepNeverAlarms",
     Steady(0, 120, 50, 50.4) + Readings{{120, 20, 50}, {121, 20, 30}, {122, 20, 21}} + Steady(123, 240, 20, 20.2),
     {}},
    {"HeldFromTheStartAlarmsOneHoldAfterTheCheckStarts", Steady(0, 60, 20, 50), {{20, Entered}}},
    {"ExcursionShorterThanTheHold", Steady(0, 30, 50, 50) + Steady(30, 39, 50, 40) + Steady(39, 80, 50, 50), {}},
    {"BandEdgeIsInside", Steady(0, 60, 50, 55), {}},
    {"JustBeyondTheBand", Steady(0, 60, 50, 55.1), {{20, Entered}}},
    {"ClearsAfterTheHoldInsideTheNarrowerBand", Steady(0, 30, 20, 50) + Steady(30, 60, 20, 23.9),
     {{20, Entered}, {40, Left}}},
    {"HoveringInsideTheBandButNotItsNarrowerPartStaysAlarmed", Steady(0, 30, 20, 50) + Steady(30, 200, 20, 24.5),
     {{20, Entered}}},
    {"BriefExcursionRestartsTheClearing",
     Steady(0, 30, 20, 50) + Steady(30, 36, 20, 20) + Readings{{36, 20, 30}} + Steady(37, 60, 20, 20),
     {{20, Entered}, {47, Left}}},
    {"StepGivesTheControllerTime", Steady(0, 30, 50, 50) + Steady(30, 39, 20, 50) + Steady(39, 80, 20, 20), {}},
    {"HeldThroughAStepAlarmsOnceTheCheckHasRunAHold", Steady(0, 30, 50, 50) + Steady(30, 80, 20, 50), {{50, Entered}}},
    // 1 % a second is no step: the flow stuck at 50 leaves the band at 36 s.
    {"GentleRampIsCheckedAllAlong", Steady(0, 30, 50, 50) + Ramp(30, 60, 50, 80, 50, 50), {{46, Entered}}},
    // 3 % a second, followed 6 % behind: out of the band, but given time at every step.
    {"SteepRampIsARunOfSteps", Steady(0, 30, 20, 20) + Ramp(30, 50, 20, 80, 14, 74) + Steady(50, 100, 80, 80), {}},
    // Out from 10 s, no readings from 15 s: the run neither ends nor lasts on
    // without readings, and the next reading still out raises the alarm.
    {"UnreadTicksNeitherBreakNorExtendARun", Steady(0, 15, 20, 50) + Steady(15, 25, 20, Unread) + Steady(25, 26, 20, 50),
     {{25, Entered}}},
    {"UnreadTicksDoNotClear", Steady(0, 30, 20, 50) + Steady(30, 200, 20, Unread), {{20, Entered}}},
};

class DeviationAlarmCases : public ::testing::TestWithParam<AlarmCase> {};

} // namespace

TEST_P(DeviationAlarmCases, Changes)
{
    const double start = 46311.375;
    TDeviationAlarm alarm;
    std::vector<Change> changes;
    for (const Reading& reading : GetParam().readings) {
        const TDeviationSample sample{start + reading.atS / SecondsPerDay, reading.programmed, reading.achieved};
        const TDeviationAlarm::TChange change = alarm.Feed(sample, Band, Hold);
        if (change != TDeviationAlarm::dacNone)
            changes.emplace_back(reading.atS, change);
    }
    EXPECT_EQ(changes, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Alarm, DeviationAlarmCases, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<AlarmCase>& info) { return std::string(info.param.name); });

namespace {

// The engine with the two demonstration devices, COMX made a real
// controller; the test plays the workers' part, handing over a reading at
// every tick, one second apart.
class DeviationWatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RunStartupSequence();
        for (TDeviceInfo& device : DevicesLocal) {
            device.ControlMode = dcmDirect;
            device.Setpoint_pct = 20;
            device.DeviationHold_s = Hold;
            device.ThreadMFC = &threads.emplace_back();
        }
        DevicesLocal[0].DevType = dtMFCA;
    }
    void TearDown() override
    {
        for (TDeviceInfo& device : DevicesLocal)
            device.ThreadMFC = nullptr;
    }

    // Every controller reads `percent` of full scale, one second on.
    void TickReading(double percent)
    {
        clock.AdvanceSeconds(1);
        for (TMFCThread& thread : threads) {
            thread.GUIIn.DeviceStatus.DataTime = clock.MonotonicNow();
            thread.GUIIn.DeviceStatus.FlowRate_mass = percent / 100 * AlicatCountsFullScale;
        }
        engine.Tick();
    }
    qsizetype LogLines(const QString& part) const { return window.log.filter(part).size(); }

    TempFolder folder;
    TestClock clock;
    FakeWindow window;
    TEngineTick engine{window, window.dataLog};
    std::list<TMFCThread> threads; // stable addresses
};

} // namespace

TEST_F(DeviationWatchTest, RunningControllerAlarmsOnceAndTheAlarmEndsWhenItStops)
{
    for (int i = 0; i < 25; ++i)
        TickReading(50);
    EXPECT_EQ(window.deviationPorts, QStringList{QStringLiteral("COMX")}) << "not the demonstration device";
    EXPECT_TRUE(window.deviationReasons.contains(QStringLiteral("COMX (MFC-A)")));
    EXPECT_EQ(LogLines(QStringLiteral("does not follow its setpoint")), 1);
    EXPECT_EQ(window.log.filter(QStringLiteral("COMX (MFC-A): flow does not follow its setpoint: 50.0 % of full scale "
                                               "for 20.0 %, more than 5 % apart for 10 s"))
                  .size(),
              1);

    DevicesLocal[0].ControlMode = dcmIdle; // stopped
    TickReading(50);
    EXPECT_TRUE(window.deviationPorts.isEmpty());
    EXPECT_EQ(LogLines(QStringLiteral("COMX (MFC-A): deviation alarm off: the device no longer runs")), 1);
    EXPECT_EQ(window.deviationShows, 2);

    // Started again: a fresh start, given its hold time before the check.
    DevicesLocal[0].ControlMode = dcmDirect;
    for (int i = 0; i < 15; ++i)
        TickReading(50);
    EXPECT_TRUE(window.deviationPorts.isEmpty());
}

TEST_F(DeviationWatchTest, BandAndHoldAreTheDevicesOwn)
{
    DevicesLocal[0].DeviationBand_pct = 40; // 50 for 20 lies inside
    for (int i = 0; i < 25; ++i)
        TickReading(50);
    EXPECT_EQ(window.deviationShows, 0);

    DevicesLocal[0].DeviationBand_pct = 20;
    DevicesLocal[0].DeviationHold_s = 3;
    for (int i = 0; i < 5; ++i)
        TickReading(50);
    EXPECT_EQ(window.deviationPorts, QStringList{QStringLiteral("COMX")});
    EXPECT_EQ(LogLines(QStringLiteral("more than 20 % apart for 3 s")), 1);

    for (int i = 0; i < 4; ++i)
        TickReading(37); // 17 off: inside the band, not inside its 16

    EXPECT_EQ(window.deviationPorts, QStringList{QStringLiteral("COMX")});
    for (int i = 0; i < 4; ++i)
        TickReading(30);
    EXPECT_TRUE(window.deviationPorts.isEmpty());
    EXPECT_EQ(LogLines(QStringLiteral("COMX (MFC-A): flow follows its setpoint again, within 16 % for 3 s")), 1);
}
