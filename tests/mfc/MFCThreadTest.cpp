#include "base/Clock.h"
#include "base/MainThreadWait.h"
#include "mfc/MFCThread.h"
#include "sim/VirtualMFC.h"
#include "support/TempFolder.h"

#include <QDeadlineTimer>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

// Time for the initialisation (seven one-shot exchanges at their own pace)
// and a few passes.
constexpr int StartupTimeoutMS = 20000;
constexpr int PassesTimeoutMS = 10000;
// A virtual controller answers at once, so its polls need no long pauses;
// the reply time-out stays at its default.
constexpr quint32 FastPauseMS = 20;

qsizetype CountOf(const QByteArrayList& lines, const QByteArray& line)
{
    return lines.count(line);
}

// The setpoint commands among the lines the instrument heard.
QByteArrayList SetpointCommands(const QByteArrayList& lines)
{
    static const QRegularExpression counts(QStringLiteral("^A-?\\d+$"));
    QByteArrayList commands;
    for (const QByteArray& line : lines) {
        if (counts.match(QString::fromLatin1(line)).hasMatch())
            commands.append(line);
    }
    return commands;
}

// A worker driving a virtual controller over a pseudo-terminal. The test body
// is the main thread: it waits processing events, so the worker's exchanges
// run.
class MFCThreadTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(instrument.Start()); }

    void Create(bool simulated, bool fastPort = true)
    {
        thread = CreateMFCThread(instrument.DevicePath(), simulated);
        if (fastPort)
            thread->MFC->aPort.SetWindowsReadLoopTimeoutMS(FastPauseMS);
    }

    bool WaitFor(const std::function<bool()>& done, int timeoutMS = PassesTimeoutMS)
    {
        return WaitProcessingEvents(done, timeoutMS);
    }

    // Waits for `count` new readings in GUIIn; their time stamps, in order.
    std::vector<double> CollectReadings(int count, int timeoutMS = PassesTimeoutMS)
    {
        std::vector<double> times;
        double last = thread->GUIIn.DeviceStatus.DataTime;
        WaitFor(
            [&] {
                const double now = thread->GUIIn.DeviceStatus.DataTime;
                if (now != last)
                    times.push_back(now);
                last = now;
                return int(times.size()) >= count;
            },
            timeoutMS);
        return times;
    }

    // Started, initialised and reporting at `percent`.
    void StartAt(double percent, bool fastPort = true)
    {
        Create(false, fastPort);
        thread->GUIOut.DeviceStatus.Setpoint_pct = percent;
        thread->start();
        const double counts = percent * 640;
        ASSERT_TRUE(WaitFor(
            [&] {
                const TAlicatData& status = thread->GUIIn.DeviceStatus;
                return status.DataTime != 0 && status.SetpointFromDevice == counts;
            },
            StartupTimeoutMS));
    }

    // The lines the instrument heard since MarkLines(). (Clearing its record
    // instead would free lines the instrument may still be reading.)
    void MarkLines() { mark = instrument.ReceivedLines().size(); }
    QByteArrayList LinesSinceMark() const { return instrument.ReceivedLines().mid(mark); }

    TempFolder folder;
    VirtualMFC instrument;
    qsizetype mark = 0;
    std::unique_ptr<TMFCThread> thread;
};

} // namespace

TEST(MFCThreadCreation, SetsUpTheDriverAsRunControlStartsIt)
{
    const std::unique_ptr<TMFCThread> thread = CreateMFCThread(QStringLiteral("COM7"), false);
    EXPECT_FALSE(thread->isRunning());
    EXPECT_FALSE(thread->Simulated);
    EXPECT_EQ(thread->Name, "COM7");
    EXPECT_EQ(thread->ThreadID, "COM7");
    ASSERT_TRUE(thread->MFC);
    EXPECT_EQ(thread->MFC->GasID, -1);
    EXPECT_EQ(thread->MFC->Role, "A");
    EXPECT_EQ(thread->MFC->aDeviceID, QLatin1Char('A'));
    EXPECT_EQ(thread->MFC->aPort.Port(), "COM7");
    EXPECT_EQ(thread->MFC->aPort.BaudRate(), 19200);
    EXPECT_TRUE(CreateMFCThread(QStringLiteral("COMX"), true)->Simulated);
}

TEST_F(MFCThreadTest, SetpointWishIsSentOnceAndNotRepeatedWhileTheInstrumentHasIt)
{
    StartAt(0);
    ASSERT_EQ(CollectReadings(1).size(), 1u);
    MarkLines();

    thread->GUIOut.DeviceStatus.Setpoint_pct = 50;
    ASSERT_TRUE(WaitFor([&] { return LinesSinceMark().contains("A32000"); }));
    // One exchange later: the pass under way may still poll once, the next
    // one polls and corrects.
    const QByteArrayList lines = LinesSinceMark();
    EXPECT_LE(CountOf(lines.mid(0, lines.indexOf("A32000")), "A"), 2);

    ASSERT_EQ(CollectReadings(4).size(), 4u);
    EXPECT_EQ(thread->GUIIn.DeviceStatus.SetpointFromDevice, 32000);
    EXPECT_EQ(SetpointCommands(LinesSinceMark()), QByteArrayList{"A32000"});
}

TEST_F(MFCThreadTest, GasWishIsSelectedOnceAndItsFullScaleReported)
{
    StartAt(0);
    thread->GUIOut.DeviceStatus.GasID = 1;
    ASSERT_TRUE(WaitFor([&] { return thread->GUIIn.DeviceStatus.GasSN == "Ar"; }));
    ASSERT_EQ(CollectReadings(3).size(), 3u);
    // Only the wished gas: a fresh record wishes for none.
    QByteArrayList gasCommands = instrument.ReceivedLines();
    gasCommands.removeIf([](const QByteArray& line) { return !line.startsWith("AG "); });
    EXPECT_EQ(gasCommands, QByteArrayList{"AG 1"});
    EXPECT_EQ(CountOf(instrument.ReceivedLines(), "AFPF 37 67"), 1);
    EXPECT_NEAR(thread->GUIIn.DeviceStatus.MaxFlowgpm, instrument.FullScale_gpm(), 0.005); // as printed: two decimals
}

// At the port's real pace: 333 ms pauses, 1000 ms for a reply.
TEST_F(MFCThreadTest, StopRequestBringsTheInstrumentToZeroBeforeTheThreadEnds)
{
    StartAt(50, false);
    MarkLines();

    thread->GUIOut.ToTerminate = true;
    ASSERT_TRUE(WaitFor([&] { return thread->GUIIn.IsTerminated; }));
    EXPECT_EQ(SetpointCommands(LinesSinceMark()), QByteArrayList{"A0"});
    EXPECT_EQ(instrument.Setpoint_counts(), 0);
    EXPECT_EQ(thread->GUIIn.DeviceStatus.SetpointFromDevice, 0);
    EXPECT_TRUE(WaitFor([&] { return thread->isFinished(); }));
}

TEST_F(MFCThreadTest, StatusCodesSuspendSetpointCorrection)
{
    StartAt(50);
    instrument.SetStatusCodes({QStringLiteral("HLD")});
    ASSERT_TRUE(WaitFor([&] { return thread->GUIIn.DeviceStatus.ErrorFlags.Contains(TAlicatError::HLD); }));

    thread->GUIOut.DeviceStatus.Setpoint_pct = 25;
    ASSERT_EQ(CollectReadings(4).size(), 4u);
    EXPECT_FALSE(instrument.ReceivedLines().contains("A16000"));
    EXPECT_EQ(instrument.Setpoint_counts(), 32000);

    instrument.SetStatusCodes({});
    EXPECT_TRUE(WaitFor([&] { return instrument.Setpoint_counts() == 16000; }));
}

TEST_F(MFCThreadTest, UnreadableStatusLineCostsOnePassAndThePause)
{
    StartAt(0);
    ASSERT_EQ(CollectReadings(1).size(), 1u);
    const double before = thread->GUIIn.DeviceStatus.DataTime;

    instrument.CorruptNextStatusLines(1);
    const std::vector<double> after = CollectReadings(3);
    ASSERT_EQ(after.size(), 3u);
    EXPECT_TRUE(thread->isRunning());
    // The failed pass left no reading and paused 500 ms before the next poll.
    double longestGap = after[0] - before;
    for (size_t i = 1; i < after.size(); ++i)
        longestGap = std::max(longestGap, after[i] - after[i - 1]);
    EXPECT_GE(longestGap * SecondsPerDay, 0.5);
}

TEST_F(MFCThreadTest, SimulatedThreadOpensNoPortAndReportsSlowSmallReadings)
{
    Create(true);
    thread->start();
    const std::vector<double> times = CollectReadings(4);
    ASSERT_EQ(times.size(), 4u);
    for (size_t i = 1; i < times.size(); ++i) {
        const double passSeconds = (times[i] - times[i - 1]) * SecondsPerDay;
        EXPECT_GE(passSeconds, 0.5);
        // A pass sleeps up to 999 ms; the bound is loose so that a loaded
        // machine or a sanitizer cannot break it, yet a stalled pass shows.
        EXPECT_LT(passSeconds, 5);
    }
    EXPECT_GE(thread->GUIIn.DeviceStatus.FlowRate_mass, 0);
    EXPECT_LT(thread->GUIIn.DeviceStatus.FlowRate_mass, 1);

    thread->GUIOut.ToTerminate = true;
    EXPECT_TRUE(WaitFor([&] { return thread->GUIIn.IsTerminated; }));
    EXPECT_TRUE(instrument.ReceivedLines().isEmpty());
    EXPECT_EQ(instrument.ProgramBaudRate(), 0);
}

TEST_F(MFCThreadTest, SilentInstrumentKeepsTheStoppingThreadAliveUntilDestroyed)
{
    StartAt(50);
    instrument.SetFault(LineFault::Silent);
    MarkLines();
    thread->GUIOut.ToTerminate = true;
    // It keeps sending setpoint 0 to an instrument that never confirms it.
    ASSERT_TRUE(WaitFor([&] { return CountOf(LinesSinceMark(), "A0") >= 2; }));
    EXPECT_FALSE(thread->GUIIn.IsTerminated);
    thread.reset(); // returns once the current pass is over
}

TEST_F(MFCThreadTest, DestroyingAThreadWaitingForItsExchangeReturns)
{
    StartAt(0);
    MarkLines();
    // The main thread stops processing events: after its next poll the worker
    // ends its pass and waits for the main thread to take its reading.
    const QDeadlineTimer deadline(PassesTimeoutMS);
    while (!LinesSinceMark().contains("A") && !deadline.hasExpired())
        QThread::msleep(1);
    ASSERT_TRUE(LinesSinceMark().contains("A"));
    thread.reset();
}
