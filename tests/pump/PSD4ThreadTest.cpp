#include "pump/PSD4Thread.h"

#include "base/MainThreadWait.h"
#include "pump/PSD4.h"
#include "serial/SerialPort.h"
#include "sim/VirtualPump.h"

#include <gtest/gtest.h>

#include <QSet>

namespace {

const QString Dispense = QStringLiteral("gIV6000A24000OV8A0GR");

// A worker on a virtual pump, created as run control creates it but not yet
// started. The worker's exchanges run on this (the main) thread, so every
// wait here processes events.
class PumpThread : public ::testing::Test {
protected:
    void SetUp() override
    {
        line.SetInitDurationMS(50);
        ASSERT_TRUE(line.Start());
        thread = CreatePumpThread(line.DevicePath(), QStringLiteral("Nivra test"));
        // The pump answers within milliseconds; short pauses keep the passes quick.
        thread->Pump->COM()->SetWindowsReadLoopTimeoutMS(20);
        thread->Pump->COM()->SetReadoutTimeoutMS(200);
    }

    // What the pump was told, without the status queries that watch it.
    QByteArrayList Commands() const
    {
        QByteArrayList commands = line.ReceivedLines();
        commands.removeAll("/1Q");
        return commands;
    }

    bool WaitFor(const std::function<bool()>& done)
    {
        constexpr int LimitMS = 20000;
        return WaitProcessingEvents(done, LimitMS);
    }

    // Lets the worker run `passes` more passes (each ends with a new DataTime).
    bool WaitPasses(int passes)
    {
        QSet<double> seen{thread->GUIIn.DataTime};
        return WaitFor([&] {
            seen.insert(thread->GUIIn.DataTime);
            return seen.size() > passes;
        });
    }

    // Started, connected and initialised in the worker, then dispensing.
    bool StartDispensing()
    {
        thread->start();
        if (!WaitFor([&] { return thread->GUIIn.Connected; }))
            return false;
        EXPECT_TRUE(line.IsInitialized());
        line.ClearReceivedLines();
        thread->GUIOut.Command = Dispense;
        thread->GUIOut.Setpoint = 0.5;
        return WaitFor([&] { return thread->GUIIn.Setpoint == 0.5; });
    }

    VirtualPump line;
    std::unique_ptr<TPSD4Thread> thread;
};

} // namespace

TEST_F(PumpThread, ConnectsInTheWorkerInTheDescribedOrder)
{
    EXPECT_TRUE(line.ReceivedLines().isEmpty()) << "creating the worker touches no port";
    thread->start();
    ASSERT_TRUE(WaitFor([&] { return thread->GUIIn.Connected; }));
    const QByteArrayList lines = line.ReceivedLines();
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.mid(0, 2), (QByteArrayList{"/1?22", "/1ZN1R"}));
    EXPECT_EQ(lines.last(), QByteArray("/1Q")) << "waited until the pump was free";
}

TEST_F(PumpThread, SendsACommandOnlyWhenItChanges)
{
    ASSERT_TRUE(StartDispensing());
    // The running command is stopped before the new one goes out.
    const QByteArrayList applied{"/1TR", "/1" + Dispense.toLatin1()};
    EXPECT_EQ(Commands(), applied);
    EXPECT_TRUE(line.IsBusy());

    ASSERT_TRUE(WaitPasses(3));
    EXPECT_EQ(Commands(), applied);

    // "TR" is the zero-rate command: sent alone, and the setpoint reads 0.
    thread->GUIOut.Command = QStringLiteral("TR");
    thread->GUIOut.Setpoint = 0.7;
    ASSERT_TRUE(WaitFor([&] { return thread->GUIIn.Setpoint == 0; }));
    ASSERT_TRUE(WaitPasses(2));
    EXPECT_EQ(Commands(), applied + QByteArrayList{"/1TR"});
    EXPECT_FALSE(line.IsBusy());
    EXPECT_GT(thread->GUIIn.DataTime, 0);
}

TEST_F(PumpThread, StopRequestEndsTheWorker)
{
    ASSERT_TRUE(StartDispensing());
    thread->GUIOut.ToTerminate = true;
    ASSERT_TRUE(WaitFor([&] { return thread->GUIIn.IsTerminated; }));
    EXPECT_EQ(thread->GUIIn.Command, QStringLiteral("TR"));
    EXPECT_EQ(thread->GUIIn.Setpoint, 0.5); // the last applied command's
    EXPECT_TRUE(thread->GUIIn.aMessage.isEmpty());
    EXPECT_TRUE(WaitFor([&] { return thread->isFinished(); }));
    EXPECT_EQ(line.ReceivedLines().last(), QByteArray("/1T"));
    EXPECT_FALSE(line.IsBusy());
}

TEST_F(PumpThread, PumpThatStaysBusyFailsToTerminate)
{
    ASSERT_TRUE(StartDispensing());
    line.SetStaysBusy(true);
    thread->GUIOut.ToTerminate = true;
    ASSERT_TRUE(WaitFor([&] { return thread->GUIIn.aMessage == QStringLiteral("Failed to terminate"); }));
    EXPECT_FALSE(thread->GUIIn.IsTerminated);
    EXPECT_FALSE(thread->isFinished());
    thread.reset(); // ends the worker although its pump never stops
}

TEST_F(PumpThread, DestroyReturnsWhenThePumpNeverAnswers)
{
    // The port's real pauses: each unanswered command takes over a second.
    thread->Pump->COM()->SetWindowsReadLoopTimeoutMS(333);
    thread->Pump->COM()->SetReadoutTimeoutMS(1000);
    line.SetFault(LineFault::Silent);
    thread->GUIOut.Command = Dispense;
    thread->start();
    ASSERT_TRUE(WaitFor([&] { return line.ReceivedLines().contains("/1?22"); }));
    thread.reset(); // while the worker waits for a reply
}

TEST_F(PumpThread, DestroyReturnsWhileTheWorkerWaitsForItsExchange)
{
    thread->start();
    // No events processed until the destructor: the worker's first exchange
    // can only run inside it.
    thread.reset();
}
