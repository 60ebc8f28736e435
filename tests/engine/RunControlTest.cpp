#include "FakeViews.h"

#include "base/Clock.h"
#include "app/Startup.h"
#include "engine/DataLog.h"
#include "engine/EngineTick.h"
#include "engine/RunControl.h"
#include "mfc/MFCThread.h"
#include "pump/PSD4.h"
#include "pump/PSD4Thread.h"
#include "support/RecordingPrompts.h"
#include "support/TempFolder.h"
#include "support/TestClock.h"

#include <gtest/gtest.h>

namespace {

// Run control on the demonstration devices with a recording window. Threads
// are created but never started, so their exchange records are the test's.
class RunControlTest : public ::testing::Test {
protected:
    void SetUp() override { RunStartupSequence(); }
    void TearDown() override
    {
        for (TDeviceInfo& device : DevicesLocal) {
            if (device.ThreadMFC)
                device.ThreadMFC->GUIIn.IsTerminated = true;
            if (device.ThreadPump)
                device.ThreadPump->GUIIn.IsTerminated = true;
        }
        control.TerminateThreads(1);
    }

    void ChooseLogFile()
    {
        prompts.InputAnswers.enqueue(QStringLiteral("run"));
        ASSERT_TRUE(dataLog.FlowDataLogFileEnsure(false));
    }

    TMFCThread* Configure(int index, tDeviceControlMode mode = dcmIdle)
    {
        auto* thread = new TMFCThread; // freed by TerminateThreads
        DevicesLocal[index].ThreadMFC = thread;
        DevicesLocal[index].ControlMode = mode;
        return thread;
    }

    TPSD4Thread* ConfigurePump(int index)
    {
        auto* thread = new TPSD4Thread(QStringLiteral("Pump"), nullptr); // freed by TerminateThreads
        DevicesLocal[index].DevType = dtPump;
        DevicesLocal[index].ThreadPump = thread;
        DevicesLocal[index].ControlMode = dcmDirect;
        return thread;
    }

    TempFolder folder;
    TestClock clock;
    RecordingPrompts prompts;
    FakeWindow window;
    TDataLog& dataLog = window.dataLog;
    TEngineTick engine{window, window.dataLog};
    TRunControl control{window, engine, window.dataLog};
};

} // namespace

TEST_F(RunControlTest, StartRefusesWithoutALogFile)
{
    Configure(0);
    window.selected = {QStringLiteral("COMX")};
    control.ButtonSegmentProgramStartClick();
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("No data log file chosen, segment program not started.")});
    EXPECT_EQ(DevicesLocal[0].ControlMode, dcmIdle);
    EXPECT_EQ(engine.GraphTimeZero, 0);

    control.ButtonApplyFlowClick();
    EXPECT_EQ(prompts.Messages.last(), QStringLiteral("No data log file chosen, flow not applied."));
}

TEST_F(RunControlTest, StartWithNothingSelectedOnlyStartsTheGraphClock)
{
    ChooseLogFile();
    control.ButtonSegmentProgramStartClick();
    EXPECT_EQ(engine.GraphTimeZero, clock.Now());
    EXPECT_TRUE(window.refreshed.isEmpty());
    const double zero = engine.GraphTimeZero;
    clock.AdvanceSeconds(60);
    control.ButtonSegmentProgramStartClick();
    EXPECT_EQ(engine.GraphTimeZero, zero) << "set once for the whole run";
}

TEST_F(RunControlTest, StartRestartsAProgramAndSkipsUnconfiguredDevices)
{
    ChooseLogFile();
    Configure(0, dcmSegment);
    DevicesLocal[0].FlowStartTime = clock.Now() - 0.01;
    window.flowPoints[QStringLiteral("COMX")].append({1, 2});
    window.selected = {QStringLiteral("COMX"), QStringLiteral("COMY")};
    control.ButtonSegmentProgramStartClick();

    EXPECT_EQ(DevicesLocal[0].ControlMode, dcmSegment);
    EXPECT_EQ(DevicesLocal[0].FlowStartTime, clock.Now());
    EXPECT_TRUE(window.flowPoints[QStringLiteral("COMX")].isEmpty());
    EXPECT_EQ(DevicesLocal[1].ControlMode, dcmDirect) << "COMY has no thread";
    EXPECT_EQ(window.log.filter(QStringLiteral("Start segment program for ")).size(), 1);
    EXPECT_EQ(window.refreshed, QStringList{QStringLiteral("COMX")});
}

TEST_F(RunControlTest, ApplyKeepsTheStartOfDirectControl)
{
    ChooseLogFile();
    TMFCThread* thread = Configure(0, dcmDirect);
    const double started = clock.Now() - 0.5;
    DevicesLocal[0].FlowStartTime = started;
    DevicesLocal[0].Setpoint_gui = 35;
    window.selected = {QStringLiteral("COMX")};
    control.ButtonApplyFlowClick();
    EXPECT_EQ(DevicesLocal[0].Setpoint_pct, 35);
    EXPECT_EQ(DevicesLocal[0].FlowStartTime, started);
    EXPECT_TRUE(window.log.contains(QStringLiteral("Set device:Virtual Demo to flow:35 %")));
    EXPECT_EQ(window.log.last(), QStringLiteral("Device:Virtual Demo flow(gui):35 %"));
    EXPECT_EQ(thread->GUIOut.DeviceStatus.Setpoint_pct, 0) << "the engine hands it over at its next tick";
}

TEST_F(RunControlTest, ApplyNamesTheUnconfiguredDevice)
{
    ChooseLogFile();
    Configure(0, dcmIdle);
    DevicesLocal[0].Setpoint_gui = 20;
    DevicesLocal[1].NameRole = QStringLiteral("Anode side");
    window.selected = {QStringLiteral("COMX"), QStringLiteral("COMY")};
    control.ButtonApplyFlowClick();
    EXPECT_EQ(DevicesLocal[0].ControlMode, dcmDirect);
    EXPECT_EQ(DevicesLocal[0].FlowStartTime, clock.Now());
    EXPECT_EQ(DevicesLocal[0].Setpoint_pct, 20);
    EXPECT_EQ(prompts.Messages, QStringList{QStringLiteral("Cannot apply to unconfigured device: Anode side")});
    EXPECT_EQ(engine.GraphTimeZero, clock.Now());
}

TEST_F(RunControlTest, TypedSetpointBelongsToTheFocusedDevice)
{
    window.focused = QStringLiteral("COMY");
    control.DesiredFlowChanged(42);
    EXPECT_EQ(DevicesLocal[1].Setpoint_gui, 42);
    EXPECT_EQ(DevicesLocal[0].Setpoint_gui, 0);
}

TEST_F(RunControlTest, StopIdlesThePumpWithItsStopCommand)
{
    TPSD4Thread* pump = ConfigurePump(1);
    DevicesLocal[1].Setpoint_pct = 60;
    pump->GUIOut.Command = QStringLiteral("gIV6000A24000OV8A0GR");
    pump->GUIOut.Setpoint = 0.6;
    TMFCThread* mfc = Configure(0, dcmSegment);
    mfc->GUIOut.DeviceStatus.Setpoint_pct = 30;
    window.selected = {QStringLiteral("COMX"), QStringLiteral("COMY")};
    control.ButtonSegmentProgramStopClick();

    EXPECT_EQ(pump->GUIOut.Command, QStringLiteral("TR"));
    EXPECT_EQ(pump->GUIOut.Setpoint, 0);
    EXPECT_EQ(mfc->GUIOut.DeviceStatus.Setpoint_pct, 0);
    for (const TDeviceInfo& device : DevicesLocal) {
        EXPECT_EQ(device.ControlMode, dcmIdle);
        EXPECT_EQ(device.Setpoint_pct, 0);
    }
    EXPECT_TRUE(prompts.Messages.isEmpty()) << "stopping needs no log file";
}

TEST_F(RunControlTest, ResetWithoutThreadsUnconfiguresAtOnce)
{
    control.Resetsoftware1Click();
    EXPECT_TRUE(window.log.filter(QStringLiteral("Waiting for threads")).isEmpty());
    EXPECT_TRUE(window.log.filter(QStringLiteral("Timeout")).isEmpty());
    EXPECT_TRUE(window.log.contains(QStringLiteral("All threads terminated, marking devices unconfigured")));
    for (const TDeviceInfo& device : DevicesLocal) {
        EXPECT_FALSE(HasWorkerThread(device));
        EXPECT_EQ(device.FluidID, 0);
        EXPECT_TRUE(device.SegmentProgram.isEmpty());
    }
    EXPECT_EQ(window.unknownMarks, 1);
    EXPECT_EQ(window.graphClears, 1);
    EXPECT_FALSE(window.shuttingDown);
}

TEST_F(RunControlTest, ResetFreesAThreadThatNeverReports)
{
    Configure(0);
    TMFCThread* stopping = Configure(1);
    stopping->GUIIn.IsTerminated = true;
    control.TerminateThreads(1.2);

    EXPECT_TRUE(window.log.contains(QStringLiteral("Active threads: 1")));
    EXPECT_GE(window.log.filter(QStringLiteral("Waiting for threads to stop. Active threads: 1/1")).size(), 2);
    EXPECT_TRUE(window.log.contains(QStringLiteral("Timeout: 1 thread(s) did not stop within 1.2 s, forcing termination")));
    EXPECT_FALSE(HasWorkerThread(DevicesLocal[0]));
    EXPECT_FALSE(HasWorkerThread(DevicesLocal[1]));
    EXPECT_EQ(control.ActiveThreadCount(), 0);
}

TEST_F(RunControlTest, CountsAndMarksEveryKindOfThread)
{
    TMFCThread* mfc = Configure(0);
    TPSD4Thread* pump = ConfigurePump(1);
    EXPECT_EQ(control.ActiveThreadCount(), 2);
    control.MarkThreadsToStop();
    EXPECT_TRUE(mfc->GUIOut.ToTerminate);
    EXPECT_TRUE(pump->GUIOut.ToTerminate);
    pump->GUIIn.IsTerminated = true;
    EXPECT_EQ(control.ActiveThreadCount(), 1);
    TDeviceInfo configured = DevicesLocal[0];
    EXPECT_FALSE(control.StartDeviceThread(configured)) << "a device has one worker at most";
}
