#include "FakeViews.h"

#include "base/Clock.h"
#include "base/MainThreadWait.h"
#include "app/Startup.h"
#include "engine/DataLog.h"
#include "engine/EngineTick.h"
#include "engine/RunControl.h"
#include "mfc/MFCThread.h"
#include "pump/PSD4.h"
#include "pump/PSD4Thread.h"
#include "pump/PumpSpeeds.h"
#include "segments/SegmentProgram.h"
#include "base/TextHelpers.h"
#include "sim/VirtualMFC.h"
#include "sim/VirtualPump.h"
#include "support/RecordingPrompts.h"
#include "support/TempFolder.h"
#include "support/TestClock.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

namespace {

// Programs run end to end: real worker threads, the engine ticking, run
// control starting and stopping, a recording window.
class EngineRunTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RunStartupSequence();
        prompts.InputAnswers.enqueue(QStringLiteral("run"));
    }
    void TearDown() override { control.TerminateThreads(TRunControl::ShutdownTimeoutS); }

    // Ticks the engine once the controller on `port` has handed over a reading
    // it has not handled yet; false when none came.
    bool TickOnNewReading(const QString& port)
    {
        const bool read = WaitProcessingEvents(
            [&] { return Device(port).LastHandled < Device(port).ThreadMFC->GUIIn.DeviceStatus.DataTime; },
            ReadingTimeoutMS);
        engine.Tick();
        return read;
    }

    // Generous: a simulated pass takes at most a second.
    static constexpr int ReadingTimeoutMS = 10000;

    TDeviceInfo& Device(const QString& port) { return DevicesLocal[IndexOfDevicePort(port)]; }

    void ReplaceDemonstrationDevice(int index, const TDeviceInfo& device)
    {
        DevicesLocal[index] = device;
    }

    TempFolder folder;
    RecordingPrompts prompts;
    FakeWindow window;
    TDataLog& dataLog = window.dataLog;
    TEngineTick engine{window, window.dataLog};
    TRunControl control{window, engine, window.dataLog};
};

// Waits for a request on the instrument's line. The main thread keeps
// processing events: the worker can only send after its exchange with it.
bool WaitForRequest(const VirtualLine& instrument, const QByteArray& line)
{
    return WaitProcessingEvents([&] { return instrument.ReceivedLines().contains(line); }, 10000);
}

// Waits until the worker has handed over a reading taken at or after `moment`.
bool WaitForReading(const TMFCThread& thread, double moment, int timeoutMS = 10000)
{
    return WaitProcessingEvents([&] { return thread.GUIIn.DeviceStatus.DataTime >= moment; }, timeoutMS);
}

} // namespace

TEST_F(EngineRunTest, DemonstrationDeviceRunsItsProgramThroughToTheLog)
{
    TDeviceInfo& demo = Device(QStringLiteral("COMX"));
    ASSERT_TRUE(control.StartDeviceThread(demo));
    demo.ControlMode = dcmIdle;
    window.selected = {QStringLiteral("COMX")};
    control.ButtonSegmentProgramStartClick();
    ASSERT_EQ(Device(QStringLiteral("COMX")).ControlMode, dcmSegment);

    // Tick on each reading until two are plotted and a data row holds a
    // measured value, within a generous limit.
    const QRegularExpression numberThenQuestion(QStringLiteral("\\| +[0-9]+\\.[0-9]+ \\| +\\? \\| $"));
    const QDeadlineTimer limit(60000);
    while ((window.flowPoints[QStringLiteral("COMX")].size() < 2 || window.dataLines.filter(numberThenQuestion).isEmpty())
           && !limit.hasExpired())
        ASSERT_TRUE(TickOnNewReading(QStringLiteral("COMX")));
    EXPECT_GE(window.flowPoints[QStringLiteral("COMX")].size(), 2);
    const QStringList measuredRows = window.dataLines.filter(numberThenQuestion);
    ASSERT_FALSE(measuredRows.isEmpty()) << window.dataLines.join('\n').toStdString();

    dataLog.FlowDataSave(true);
    dataLog.WaitForSaves();
    QFile log(dataLog.DataLogFileName());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromLatin1(log.readAll()).contains(measuredRows.last() + QStringLiteral("\r\n")));

    control.ButtonSegmentProgramStopClick();
    EXPECT_EQ(Device(QStringLiteral("COMX")).ControlMode, dcmIdle);

    QElapsedTimer reset;
    reset.start();
    control.Resetsoftware1Click();
    EXPECT_LT(reset.elapsed(), 20000 / 2) << "the simulated worker stops at its next pass";
    EXPECT_TRUE(window.log.filter(QStringLiteral("Timeout")).isEmpty());
    for (const TDeviceInfo& device : DevicesLocal) {
        EXPECT_FALSE(HasWorkerThread(device));
        EXPECT_EQ(device.FluidID, 0);
        EXPECT_TRUE(device.SegmentProgram.isEmpty());
    }
    EXPECT_EQ(window.unknownMarks, 1);
}

// A held clock, advanced a few seconds of program time before each tick:
// every setpoint the engine hands over can be checked against the program at
// exactly that elapsed time.
TEST_F(EngineRunTest, VirtualControllerFollowsTheProgram)
{
    TestClock clock;
    VirtualMFC instrument;
    instrument.SetSerialNumber(QStringLiteral("432389"));
    ASSERT_TRUE(instrument.Start());
    ASSERT_TRUE(instrument.Register(QStringLiteral("COM6")));

    TDeviceInfo mfc;
    ASSERT_TRUE(FindKnownDevice(QStringLiteral("432389"), mfc));
    mfc.COMPort = QStringLiteral("COM6");
    mfc.FluidID = 8;
    mfc.SegmentProgram = QStringLiteral("0 0 Step\r\n1 100 Ramp\r\n1.5 20 Step\r\n2 60 Ramp");
    ReplaceDemonstrationDevice(0, mfc);
    ASSERT_TRUE(control.StartDeviceThread(Device(QStringLiteral("COM6"))));
    TMFCThread& thread = *Device(QStringLiteral("COM6")).ThreadMFC;
    // Initialisation takes seven exchanges before the first status is read.
    ASSERT_TRUE(WaitForReading(thread, clock.Now(), 30000)) << "initialisation, then the first status";

    window.selected = {QStringLiteral("COM6")};
    control.ButtonSegmentProgramStartClick();
    const double start = Device(QStringLiteral("COM6")).FlowStartTime;

    QSet<int> handedOverCounts;
    for (int i = 0; i < 20; ++i) {
        clock.AdvanceSeconds(6);
        ASSERT_TRUE(WaitForReading(thread, clock.Now()));
        engine.Tick();
        const double elapsed = (clock.Now() - start) * MinutesPerDay;
        const double wanted = SetpointAtTime(mfc.SegmentProgram, elapsed).Setpoint;
        ASSERT_DOUBLE_EQ(thread.GUIOut.DeviceStatus.Setpoint_pct, wanted) << elapsed;
        handedOverCounts.insert(int(RoundHalfEven(wanted * 640)));
    }
    // Give the worker one more exchange to send the last setpoint.
    const QByteArray last = "A" + QByteArray::number(int(RoundHalfEven(thread.GUIOut.DeviceStatus.Setpoint_pct * 640)));
    EXPECT_TRUE(WaitForRequest(instrument, last));

    int setpointCommands = 0;
    const QRegularExpression setpoint(QStringLiteral("^A([0-9]+)$"));
    for (const QByteArray& line : instrument.ReceivedLines()) {
        const auto match = setpoint.match(QString::fromLatin1(line));
        if (!match.hasMatch() || match.captured(1) == QStringLiteral("0"))
            continue; // polls, set-up, zero at start-up
        ++setpointCommands;
        EXPECT_TRUE(handedOverCounts.contains(match.captured(1).toInt())) << line.toStdString();
    }
    EXPECT_GE(setpointCommands, 5);

    control.TerminateThreads(TRunControl::ShutdownTimeoutS);
    EXPECT_TRUE(window.log.filter(QStringLiteral("Timeout")).isEmpty());
    EXPECT_EQ(instrument.Setpoint_counts(), 0) << "stopped at zero flow";
}

TEST_F(EngineRunTest, VirtualPumpReceivesTheStaircase)
{
    TestClock clock;
    VirtualPump instrument(QStringLiteral("2020465"));
    instrument.SetInitDurationMS(200);
    ASSERT_TRUE(instrument.Start());
    ASSERT_TRUE(instrument.Register(QStringLiteral("COM7")));

    TDeviceInfo pump;
    ASSERT_TRUE(FindKnownDevice(QStringLiteral("2020465"), pump));
    pump.COMPort = QStringLiteral("COM7");
    pump.FluidID = 1001;
    ReplaceDemonstrationDevice(1, pump);
    ASSERT_TRUE(control.StartDeviceThread(Device(QStringLiteral("COM7"))));
    TPSD4Thread& thread = *Device(QStringLiteral("COM7")).ThreadPump;

    window.selected = {QStringLiteral("COM7")};
    control.ButtonSegmentProgramStartClick();
    const double start = Device(QStringLiteral("COM7")).FlowStartTime;

    QStringList staircase;
    for (int i = 0; i < 12; ++i) {
        clock.AdvanceSeconds(20);
        engine.Tick();
        const double elapsed = (clock.Now() - start) * MinutesPerDay;
        const double sampled = std::floor(elapsed * 2) / 2 + 0.25;
        TPumpSpeedDetails details;
        details.Init();
        details.SyringeVolume_ul = pump.SyringeSizeuL;
        details.DesiredDispense_ugpm = pump.MaxFlow_ulpm * SetpointAtTime(pump.SegmentProgram, sampled).Setpoint * 10;
        CalculatePumpCommand(details);
        ASSERT_EQ(thread.GUIOut.Command, details.Command) << elapsed;
        if (staircase.isEmpty() || staircase.last() != details.Command) {
            staircase.append(details.Command);
            EXPECT_TRUE(WaitForRequest(instrument, "/1" + details.Command.toLatin1())) << details.Command.toStdString();
            WaitProcessingEvents([&] { return thread.GUIIn.Setpoint == thread.GUIOut.Setpoint; }, 5000);
        }
    }
    EXPECT_GE(staircase.size(), 4);
    int commandsSent = 0;
    for (const QByteArray& line : instrument.ReceivedLines())
        commandsSent += line.startsWith("/1gIV6000") ? 1 : 0;
    EXPECT_EQ(commandsSent, staircase.size()) << "each step of the staircase is sent once";

    control.TerminateThreads(TRunControl::ShutdownTimeoutS);
    EXPECT_FALSE(instrument.IsBusy()) << "stopped";
    EXPECT_TRUE(window.log.filter(QStringLiteral("Timeout")).isEmpty());
}
