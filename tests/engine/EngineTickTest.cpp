#include "FakeViews.h"

#include "app/Startup.h"
#include "engine/DataLog.h"
#include "engine/EngineTick.h"
#include "mfc/MFCThread.h"
#include "pump/PSD4.h"
#include "pump/PSD4Thread.h"
#include "pump/PumpSpeeds.h"
#include "segments/SegmentProgram.h"
#include "base/TextHelpers.h"
#include "support/RecordingPrompts.h"
#include "support/TempFolder.h"
#include "support/TestClock.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// The engine with the two demonstration devices, a held clock and a window
// that records. Threads are never started: the test plays their part by
// writing what a worker would have handed over into GUIIn.
class EngineTickTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RunStartupSequence();
        for (TDeviceInfo& device : DevicesLocal)
            device.LastHandled = 0;
    }
    void TearDown() override
    {
        for (TDeviceInfo& device : DevicesLocal) {
            device.ThreadMFC = nullptr;
            device.ThreadPump = nullptr;
        }
    }

    // Gives the device a worker that has delivered one reading now.
    TMFCThread& AttachMFC(int index, double counts, double maxFlowgpm)
    {
        mfcThreads.push_back(std::make_unique<TMFCThread>());
        TMFCThread& thread = *mfcThreads.back();
        thread.GUIIn.DeviceStatus.DataTime = clock.Now();
        thread.GUIIn.DeviceStatus.FlowRate_mass = counts;
        thread.GUIIn.DeviceStatus.MaxFlowgpm = maxFlowgpm;
        DevicesLocal[index].ThreadMFC = &thread;
        return thread;
    }

    TPSD4Thread& AttachPump(int index)
    {
        pumpThreads.push_back(std::make_unique<TPSD4Thread>(QStringLiteral("Pump"), nullptr));
        TDeviceInfo& device = DevicesLocal[index];
        device.DevType = dtPump;
        device.SyringeSizeuL = 12.5;
        device.MaxFlow_ulpm = 312.5;
        device.ThreadPump = pumpThreads.back().get();
        return *pumpThreads.back();
    }

    TempFolder folder;
    TestClock clock;
    FakeWindow window;
    TDataLog& dataLog = window.dataLog;
    TEngineTick engine{window, window.dataLog};
    std::vector<std::unique_ptr<TMFCThread>> mfcThreads;
    std::vector<std::unique_ptr<TPSD4Thread>> pumpThreads;
};

QString Row(const FakeWindow& window)
{
    return window.dataLines.isEmpty() ? QString() : window.dataLines.last();
}

} // namespace

TEST_F(EngineTickTest, NoDevicesNoRow)
{
    DevicesLocal.clear();
    engine.Tick();
    EXPECT_TRUE(window.dataLines.isEmpty());
    EXPECT_EQ(window.segmentTableRefreshes, 1);
    EXPECT_FALSE(window.engineLampLit);
}

TEST_F(EngineTickTest, UnconfiguredDevicesGiveQuestionMarksEveryThreeSeconds)
{
    engine.Tick();
    ASSERT_EQ(window.dataLines.size(), 6) << "header block, then the row";
    EXPECT_TRUE(window.dataLines.at(0).startsWith(QStringLiteral("---------------------+-")));
    EXPECT_EQ(Row(window), DataRowTimeColumn(clock.Now()) + DataRowValueColumn(TEngineTick::NoReading)
                               + DataRowValueColumn(TEngineTick::NoReading));
    EXPECT_TRUE(Row(window).endsWith(QStringLiteral("              ? |               ? | ")));

    clock.AdvanceSeconds(2);
    engine.Tick();
    EXPECT_EQ(window.dataLines.size(), 6) << "no row before three seconds have passed";
    clock.AdvanceSeconds(1.5);
    engine.Tick();
    EXPECT_EQ(window.dataLines.size(), 7) << "a row, and no second header";

    engine.DataHeaderPending = true;
    clock.AdvanceSeconds(3.5);
    engine.Tick();
    EXPECT_EQ(window.dataLines.size(), 13);
}

TEST_F(EngineTickTest, RowsStayThreeTicksApartWhileServingTakesTime)
{
    window.clockDuringPauses = &clock;
    AttachMFC(0, 100, 1);
    AttachMFC(1, 100, 1);
    const double start = clock.Now();
    for (int second = 0; second < 12; ++second) {
        clock.Set(start + second / SecondsPerDay); // the timer's one-second beat
        for (const auto& thread : mfcThreads)
            thread->GUIIn.DeviceStatus.DataTime = clock.Now();
        engine.Tick();
    }
    ASSERT_GT(window.pausedMS, 0);
    EXPECT_EQ(window.dataLines.size(), 5 + 4) << "rows at 0, 3, 6 and 9 s";
}

TEST_F(EngineTickTest, HandlesEachReadingOnce)
{
    DevicesLocal[0].ControlMode = dcmDirect;
    DevicesLocal[0].Setpoint_pct = 40;
    DevicesLocal[0].FluidID = 8;
    TMFCThread& thread = AttachMFC(0, 32000, 0.06);
    engine.GraphTimeZero = clock.Now() - 2.0 / MinutesPerDay;

    engine.Tick();
    EXPECT_EQ(thread.GUIOut.DeviceStatus.GasID, 8);
    EXPECT_EQ(thread.GUIOut.DeviceStatus.Setpoint_pct, 40);
    ASSERT_EQ(window.flowPoints[QStringLiteral("COMX")].size(), 1);
    EXPECT_NEAR(window.flowPoints[QStringLiteral("COMX")].at(0).x, 2.0, 1e-6);
    EXPECT_DOUBLE_EQ(window.flowPoints[QStringLiteral("COMX")].at(0).y, 50.0);
    EXPECT_EQ(DevicesLocal[0].LastHandled, thread.GUIIn.DeviceStatus.DataTime);
    // Half of 0.06 g/min of air, in ml/min at 25 °C and 1.01325 bar.
    EXPECT_NEAR(DevicesLocal[0].FlowUnitUser.GasFlowValue, 0.03 * 844.6628, 1e-4);
    EXPECT_TRUE(Row(window).contains(FormatFloatDecimals(DevicesLocal[0].FlowUnitUser.GasFlowValue, 1, 6)));

    DevicesLocal[0].Setpoint_pct = 70;
    clock.AdvanceSeconds(3.5);
    engine.Tick();
    EXPECT_EQ(thread.GUIOut.DeviceStatus.Setpoint_pct, 40) << "same reading: setpoint not rewritten";
    EXPECT_EQ(window.flowPoints[QStringLiteral("COMX")].size(), 1);
    EXPECT_TRUE(Row(window).contains(QStringLiteral("              ? |               ? | ")));

    thread.GUIIn.DeviceStatus.DataTime = clock.Now();
    thread.GUIIn.IsTerminated = true;
    engine.Tick();
    EXPECT_EQ(thread.GUIOut.DeviceStatus.Setpoint_pct, 40) << "a stopped worker's readings are not handled";
}

TEST_F(EngineTickTest, SegmentModeFollowsTheProgramFromTheDeviceStart)
{
    DevicesLocal[0].ControlMode = dcmSegment;
    DevicesLocal[0].FlowStartTime = clock.Now() - 12.25 / MinutesPerDay;
    TMFCThread& thread = AttachMFC(0, 0, 0.06);
    engine.Tick();
    EXPECT_NEAR(thread.GUIOut.DeviceStatus.Setpoint_pct, 65.0, 1e-6);
}

TEST_F(EngineTickTest, IdleDeviceIsMeasuredButNeitherPlottedNorDriven)
{
    DevicesLocal[0].ControlMode = dcmIdle;
    TMFCThread& thread = AttachMFC(0, 6400, 0.06);
    thread.GUIOut.DeviceStatus.Setpoint_pct = 12;
    engine.Tick();
    EXPECT_EQ(thread.GUIOut.DeviceStatus.Setpoint_pct, 12);
    EXPECT_TRUE(window.flowPoints[QStringLiteral("COMX")].isEmpty());
    EXPECT_GT(DevicesLocal[0].FlowUnitUser.GasFlowValue, 0);
    EXPECT_EQ(Row(window), DataRowTimeColumn(clock.Now()) + DataRowValueColumn(DevicesLocal[0].FlowUnitUser.GasFlowValue)
                               + DataRowValueColumn(TEngineTick::NoReading));
}

TEST_F(EngineTickTest, PumpSegmentFollowsAHalfMinuteStaircase)
{
    TPSD4Thread& thread = AttachPump(1);
    TDeviceInfo& pump = DevicesLocal[1];
    pump.ControlMode = dcmSegment;
    pump.SegmentProgram = QStringLiteral("0 0 Step\r\n5 20 Ramp\r\n10 5 Ramp");
    struct Case { double elapsed; double sampledAt; };
    const Case cases[] = {{0.74, 0.75}, {0.49, 0.25}, {0.5, 0.75}, {7.1, 7.25}};
    for (const Case& c : cases) {
        pump.FlowStartTime = clock.Now() - c.elapsed / MinutesPerDay;
        engine.Tick();
        const double fraction = SetpointAtTime(pump.SegmentProgram, c.sampledAt).Setpoint / 100;
        TPumpSpeedDetails details;
        details.Init();
        details.SyringeVolume_ul = 12.5;
        details.DesiredDispense_ugpm = 312.5 * fraction * 1000;
        CalculatePumpCommand(details);
        EXPECT_EQ(thread.GUIOut.Command, details.Command) << c.elapsed;
        // The fraction the command delivers, not the wish.
        EXPECT_DOUBLE_EQ(thread.GUIOut.Setpoint, details.AchievedDispense_ugpm / 1000 / 312.5) << c.elapsed;
    }
    EXPECT_TRUE(window.log.contains(QStringLiteral("Floor time+offset, m : 7.25")));
    EXPECT_TRUE(window.log.contains(QStringLiteral("              Command: ") + thread.GUIOut.Command));
}

TEST_F(EngineTickTest, PumpRowShowsTheRunningCommandsFlow)
{
    TPSD4Thread& thread = AttachPump(1);
    DevicesLocal[1].ControlMode = dcmDirect;
    DevicesLocal[1].Setpoint_pct = 10; // 31.25 uL/min, within reach
    thread.GUIIn.Setpoint = 0.2; // the pump still runs the previous command
    engine.Tick();
    EXPECT_NEAR(thread.GUIOut.Setpoint, 0.1, 0.001);
    EXPECT_FALSE(thread.GUIOut.Command.isEmpty());
    EXPECT_TRUE(window.log.filter(QStringLiteral("reach")).isEmpty());
    EXPECT_TRUE(Row(window).endsWith(DataRowValueColumn(0.2 * 312.5)));
    ASSERT_EQ(window.flowPoints[QStringLiteral("COMY")].size(), 1);
    EXPECT_DOUBLE_EQ(window.flowPoints[QStringLiteral("COMY")].at(0).y, 20);

    DevicesLocal[1].ControlMode = dcmIdle;
    thread.GUIOut.Command.clear();
    engine.Tick();
    EXPECT_TRUE(thread.GUIOut.Command.isEmpty()) << "an idle pump is sent nothing";
}

// The prototype's table maximum (312.5 uL/min) lies beyond the fastest
// command (97.6 uL/min): 40 % and 60 % both get that command, and the log
// shows what it delivers.
TEST_F(EngineTickTest, PumpWishBeyondItsReachLogsWhatItDoses)
{
    TPSD4Thread& thread = AttachPump(1);
    DevicesLocal[1].ControlMode = dcmDirect;
    const QString beyond = QStringLiteral("beyond the pump's reach");
    for (const double percent : {40.0, 40.0, 60.0}) {
        DevicesLocal[1].Setpoint_pct = percent;
        engine.Tick();
        EXPECT_NEAR(thread.GUIOut.Setpoint * 312.5, 97.6077, 1e-3) << percent;
    }
    EXPECT_EQ(window.log.filter(beyond),
              (QStringList{QStringLiteral("COMY (Pump): 125 µL/min is beyond the pump's reach; it doses 97.61 µL/min"),
                           QStringLiteral("COMY (Pump): 187.5 µL/min is beyond the pump's reach; it doses 97.61 µL/min")}));
    thread.GUIIn.Setpoint = thread.GUIOut.Setpoint;
    clock.AdvanceSeconds(3);
    engine.Tick();
    EXPECT_TRUE(Row(window).endsWith(DataRowValueColumn(thread.GUIOut.Setpoint * 312.5)));
}

TEST_F(EngineTickTest, SavesTheLogAtMostOnceAMinute)
{
    RecordingPrompts prompts;
    prompts.InputAnswers.enqueue(QStringLiteral("run"));
    ASSERT_TRUE(dataLog.FlowDataLogFileEnsure(false));
    engine.Tick();
    dataLog.WaitForSaves(); // written on a thread of its own
    const double firstSave = dataLog.LastDataLogSave();
    EXPECT_GT(firstSave, 0);
    clock.AdvanceSeconds(30);
    engine.Tick();
    dataLog.WaitForSaves();
    EXPECT_EQ(dataLog.LastDataLogSave(), firstSave);
    clock.AdvanceSeconds(31);
    engine.Tick();
    dataLog.WaitForSaves();
    EXPECT_GT(dataLog.LastDataLogSave(), firstSave);
}
