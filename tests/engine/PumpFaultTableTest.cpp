#include "FakeViews.h"
#include "FaultMatrix.h"

#include "app/Startup.h"
#include "base/MainThreadWait.h"
#include "engine/DataLog.h"
#include "engine/EngineTick.h"
#include "engine/RunControl.h"
#include "pump/PSD4Thread.h"
#include "serial/SerialPort.h"
#include "sim/VirtualPump.h"
#include "support/RecordingPrompts.h"
#include "support/TempFolder.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace {

enum class Phase { AtStart, MidRun, AtStop };

// One pump fault: when it strikes, how, and what the operator must see.
struct PumpFaultRow {
    const char* name;
    Phase phase;
    std::function<void(VirtualPump&)> inject;
    QString state;   // the device list's "State" while the fault lasts
    // Part of the one message-log line that names it; at stop, the message
    // box that names the pump (none: it stops without one).
    QString logged;
    std::function<void(VirtualPump&)> heal; // none: the fault stays
    bool staysBusy = false; // cannot be brought to rest
};

void PrintTo(const PumpFaultRow& row, std::ostream* out)
{
    *out << row.name;
}

const QString Port = QStringLiteral("COM8");
const QString Dispense = QStringLiteral("/1gIV6000");
// Generous: a pump pass may wait a second for a reply, a silent pump is
// retried every 5 s, a loaded machine adds more.
constexpr int LimitMS = 30000;

// The prototype pump on a virtual line, driven by the engine and run control
// as the window drives it; the test ticks the engine on the real clock.
class PumpFaultTable : public ::testing::TestWithParam<PumpFaultRow> {
protected:
    void SetUp() override
    {
        RunStartupSequence();
        prompts.InputAnswers.enqueue(QStringLiteral("faults"));
        pump.SetInitDurationMS(200);
        ASSERT_TRUE(pump.Start() && pump.Register(Port));
        TDeviceInfo device;
        ASSERT_TRUE(FindKnownDevice(QStringLiteral("2020465"), device));
        device.COMPort = Port;
        device.FluidID = 1001;
        device.Setpoint_gui = 10;
        DevicesLocal[1] = device;
    }
    // The matrix's common checks, the fault healed where it can be.
    void TearDown() override
    {
        const PumpFaultRow& row = GetParam();
        pump.SetFault(LineFault::None);
        pump.SetPumpError(0);
        control.TerminateThreads(TRunControl::ShutdownTimeoutS);
        EXPECT_LT(stalls.LongestMS(), MainThreadStallWatch::FreezeMS) << "the main thread stalled";
        ExpectOperatorTold(row.logged.isEmpty() ? row.state : row.logged, window.log, prompts.Messages,
                           window.shownStates.value(Port));
        ExpectDataLogComplete(window.dataLog);
        if (!row.staysBusy) {
            EXPECT_FALSE(pump.IsBusy()) << "left dosing";
        }
    }

    TDeviceInfo& Device() { return DevicesLocal[IndexOfDevicePort(Port)]; }
    TPSD4Thread& Thread() { return *Device().ThreadPump; }

    // Ticks the engine about once a second until `done`; false after the limit.
    bool TickUntil(const std::function<bool()>& done, int limitMS = LimitMS)
    {
        const QDeadlineTimer limit(limitMS);
        while (!done()) {
            if (limit.hasExpired())
                return false;
            WaitProcessingEvents([] { return false; }, 1000);
            engine.Tick();
        }
        return true;
    }

    QString State() const { return window.states.value(Port); }
    qsizetype LogLines(const QString& part) const { return window.log.filter(part).size(); }
    qsizetype DispenseCommands() const
    {
        qsizetype count = 0;
        for (const QByteArray& line : pump.ReceivedLines())
            count += line.startsWith(Dispense.toLatin1()) ? 1 : 0;
        return count;
    }
    // The pump's column of the last data row.
    QString LastPumpValue() const
    {
        const QStringList columns = window.dataLines.last().split(QLatin1Char('|'));
        return columns.value(2).trimmed(); // time, COMX, the pump
    }

    void Configure()
    {
        ASSERT_TRUE(control.StartDeviceThread(Device()));
        Device().ControlMode = dcmIdle;
    }

    void StartDosing()
    {
        window.selected = {Port};
        control.ButtonApplyFlowClick();
        ASSERT_TRUE(TickUntil([&] { return pump.IsBusy() && State() == QStringLiteral("Direct"); }));
    }

    TempFolder folder;
    RecordingPrompts prompts;
    MainThreadStallWatch stalls;
    VirtualPump pump{QStringLiteral("2020465")};
    FakeWindow window;
    TEngineTick engine{window, window.dataLog};
    TRunControl control{window, engine, window.dataLog};
};

TEST_P(PumpFaultTable, IsSeenAndHandled)
{
    const PumpFaultRow& row = GetParam();
    switch (row.phase) {
    case Phase::AtStart: {
        row.inject(pump);
        const quint64 exchangesBefore = MainThreadExchanges();
        QElapsedTimer stall;
        stall.start();
        ASSERT_NO_FATAL_FAILURE(Configure());
        EXPECT_LT(stall.elapsed(), 2000) << "configuring stalls the main thread";
        EXPECT_EQ(MainThreadExchanges(), exchangesBefore) << "no exchange on the main thread";
        ASSERT_TRUE(TickUntil([&] { return State() == row.state; }));
        // Tried every 5 s, not in a loop: over 6 s at most three tries.
        const qsizetype heard = pump.ReceivedLines().size();
        TickUntil([] { return false; }, 6000);
        EXPECT_LE(pump.ReceivedLines().size() - heard, 3);
        row.heal(pump);
        EXPECT_TRUE(TickUntil([&] { return State() == QStringLiteral("Ready"); }));
        break;
    }
    case Phase::MidRun: {
        ASSERT_NO_FATAL_FAILURE(Configure());
        ASSERT_NO_FATAL_FAILURE(StartDosing());
        EXPECT_EQ(DispenseCommands(), 1);
        row.inject(pump);
        ASSERT_TRUE(TickUntil([&] { return State() == row.state; }));
        // Two more watches: no new command, one log line, no flow.
        const qsizetype rows = window.dataLines.size();
        ASSERT_TRUE(TickUntil([&] { return window.dataLines.size() > rows + 1; }));
        EXPECT_EQ(LastPumpValue(), QStringLiteral("?"));
        EXPECT_EQ(LogLines(row.logged), 1) << window.log.join('\n').toStdString();
        EXPECT_EQ(DispenseCommands(), 1) << "not commanded again by itself";
        EXPECT_EQ(LogLines(QStringLiteral("overload")), row.logged.contains(QStringLiteral("overload")) ? 1 : 0);
        if (row.heal) {
            row.heal(pump);
            ASSERT_TRUE(TickUntil([&] { return State() == QStringLiteral("Direct"); }));
            EXPECT_TRUE(TickUntil([&] { return LastPumpValue() != QStringLiteral("?"); }));
        } else {
            // Stop and start commands it again.
            control.ButtonSegmentProgramStopClick();
            ASSERT_TRUE(TickUntil([&] { return !pump.IsBusy() && State() == QStringLiteral("Ready"); }));
            ASSERT_NO_FATAL_FAILURE(StartDosing());
            EXPECT_EQ(DispenseCommands(), 2);
        }
        break;
    }
    case Phase::AtStop: {
        ASSERT_NO_FATAL_FAILURE(Configure());
        ASSERT_NO_FATAL_FAILURE(StartDosing());
        row.inject(pump);
        QElapsedTimer closing;
        closing.start();
        // A pump that never stops is given less than the full wait.
        control.TerminateThreads(row.logged.isEmpty() ? TRunControl::ShutdownTimeoutS : 3);
        if (row.logged.isEmpty()) {
            EXPECT_LT(closing.elapsed(), 5000);
            EXPECT_TRUE(window.log.filter(QStringLiteral("Timeout")).isEmpty());
            EXPECT_TRUE(prompts.Messages.isEmpty()) << prompts.Messages.join('\n').toStdString();
            EXPECT_FALSE(pump.IsBusy());
        } else {
            EXPECT_EQ(prompts.Messages, QStringList{row.logged});
        }
        break;
    }
    }
}

const QString NoAnswer = QStringLiteral("COM8 (Pump): The pump does not answer");

INSTANTIATE_TEST_SUITE_P(
    Pump, PumpFaultTable,
    ::testing::Values(
        PumpFaultRow{"SilentAtConfiguration", Phase::AtStart, [](VirtualPump& p) { p.SetFault(LineFault::Silent); },
                     QStringLiteral("Connecting"), QString(), [](VirtualPump& p) { p.SetFault(LineFault::None); }},
        PumpFaultRow{"OverloadMidRun", Phase::MidRun, [](VirtualPump& p) { p.Overload(); }, QStringLiteral("Error"),
                     QStringLiteral("COM8 (Pump): Ready, Syringe overload"), nullptr},
        PumpFaultRow{"SilentMidRun", Phase::MidRun, [](VirtualPump& p) { p.SetFault(LineFault::Silent); },
                     QStringLiteral("Error"), NoAnswer, [](VirtualPump& p) { p.SetFault(LineFault::None); }},
        PumpFaultRow{"GarbledMidRun", Phase::MidRun, [](VirtualPump& p) { p.SetFault(LineFault::Garbled); },
                     QStringLiteral("Error"), NoAnswer, [](VirtualPump& p) { p.SetFault(LineFault::None); }},
        PumpFaultRow{"ErrorLetterOnStop", Phase::AtStop, [](VirtualPump& p) { p.SetStopError('i'); }, QString(),
                     QString(), nullptr},
        PumpFaultRow{"NeverStops", Phase::AtStop, [](VirtualPump& p) { p.SetStaysBusy(true); }, QString(),
                     QStringLiteral("COM8 (Pump) did not confirm it stopped and may still be dosing: switch it off."),
                     nullptr, true},
        PumpFaultRow{"ErrorLetterAtConfiguration", Phase::AtStart, [](VirtualPump& p) { p.SetPumpError('c'); },
                     QStringLiteral("Connecting"), QString(), [](VirtualPump& p) { p.SetPumpError(0); }},
        PumpFaultRow{"ErrorLetterMidRun", Phase::MidRun, [](VirtualPump& p) { p.SetPumpError('c'); },
                     QStringLiteral("Error"), QStringLiteral("COM8 (Pump): Busy, Invalid operand"),
                     [](VirtualPump& p) { p.SetPumpError(0); }},
        PumpFaultRow{"SilentAtStop", Phase::AtStop, [](VirtualPump& p) { p.SetFault(LineFault::Silent); }, QString(),
                     QStringLiteral("COM8 (Pump) did not confirm it stopped and may still be dosing: switch it off."),
                     nullptr, true}),
    [](const ::testing::TestParamInfo<PumpFaultRow>& info) { return std::string(info.param.name); });

} // namespace
