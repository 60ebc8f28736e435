#include "pump/PSD4Thread.h"

#include "base/Clock.h"
#include "base/InterruptibleSleep.h"
#include "pump/PSD4.h"
#include "serial/SerialPort.h"

#include <QLoggingCategory>

#include <atomic>

Q_LOGGING_CATEGORY(lcThreadPump, "ThreadPUMP", QtWarningMsg)

namespace {
// Pause of a pass with nothing to do; the pump runs its command on its own.
constexpr int IdlePauseMS = 250;
// While a dispensing command should run, the pump is asked this often how
// it is doing.
constexpr int WatchIntervalMS = 2000;
// A pump that does not answer is tried again after this long, not at once.
constexpr int SilentRetryMS = 5000;
constexpr double InitLimit_s = 15;
const QString InitCommand = QStringLiteral("ZN1R");
const QString StatusQuery = QStringLiteral("Q");
const QString NoAnswer = QStringLiteral("The pump does not answer");

std::atomic<quint32> faultEpisodes{0};

bool Dispensing(const QString& command)
{
    return !command.isEmpty() && command != PSD4StopCommand;
}

bool NotInitialised(EnumPumpState state)
{
    return state == ps_Syringe_not_initialized__Occurs_when_the_syringefails_to_initialize;
}
} // namespace

TPSD4Thread::TPSD4Thread(const QString& name, std::unique_ptr<TPSD4> pump)
    : Pump(std::move(pump))
{
    Name = name;
}

TPSD4Thread::~TPSD4Thread()
{
    qCDebug(lcThreadPump).noquote() << "Destroy thread: " + Name;
    EndWorker();
}

bool TPSD4Thread::Identified() const
{
    return Pump->State() != ps_Undefined;
}

void TPSD4Thread::Prepare()
{
    ConnectPump();
}

void TPSD4Thread::Pass()
{
    if (ThreadIn.ToTerminate)
        StopPump();
    else if (silent && !retryAt.hasExpired())
        InterruptibleSleepMS(IdlePauseMS);
    else if (!Identified())
        ConnectPump();
    else if (ThreadIn.Command != running)
        ApplyCommand();
    else if (silent || (Dispensing(running) && watchAt.hasExpired()))
        Watch();
    else
        InterruptibleSleepMS(IdlePauseMS);
    ThreadOut.DataTime = MonotonicNow();
}

void TPSD4Thread::ConnectPump()
{
    if (!Pump->Connect(Port)) {
        qCDebug(lcThreadPump).noquote() << Name << "Pump not identified on" << Port;
        Silent();
        return;
    }
    silent = false;
    QString feedback;
    Pump->Initialize(InitCommand, feedback);
    Pump->WaitUntilFree(InitLimit_s);
    ThreadOut.Connected = true;
}

void TPSD4Thread::InitialiseAgainWhenAsked()
{
    if (!NotInitialised(Pump->State()))
        return;
    qCDebug(lcThreadPump).noquote() << Name << "Pump reports it is not initialised: initialising";
    QString feedback;
    Pump->Initialize(InitCommand, feedback);
    Pump->WaitUntilFree(InitLimit_s);
}

void TPSD4Thread::ApplyCommand()
{
    const QString oldCommand = running;
    TSerialResponse reply;
    // The running command loops until it is stopped.
    Pump->SendCommand(PSD4StopCommand, reply, true);
    if (!Pump->LastReplyGood()) {
        Silent();
        return;
    }
    qCDebug(lcThreadPump).noquote() << Name << "New command applied" << "Old: " + oldCommand << "New: " + PSD4StopCommand;
    silent = false;
    running = PSD4StopCommand;
    ThreadOut.Setpoint = 0;
    if (ThreadIn.Command == PSD4StopCommand) {
        ClearFault();
        return;
    }
    InitialiseAgainWhenAsked();
    Pump->SendCommand(ThreadIn.Command, reply, true);
    if (!Pump->LastReplyGood()) {
        Silent();
        return;
    }
    // Refused or not: the pump is not commanded again until a new wish.
    running = ThreadIn.Command;
    watchAt = QDeadlineTimer(WatchIntervalMS);
    if (Pump->State() != ps_No_error) {
        Fault(Pump->StatusAsString());
        return;
    }
    qCDebug(lcThreadPump).noquote() << Name << "New command applied" << "Old: " + oldCommand << "New: " + running;
    ThreadOut.Setpoint = ThreadIn.Setpoint;
    ClearFault();
}

void TPSD4Thread::Watch()
{
    TSerialResponse reply;
    Pump->SendCommand(StatusQuery, reply, true);
    watchAt = QDeadlineTimer(WatchIntervalMS);
    if (!Pump->LastReplyGood()) {
        Silent();
        return;
    }
    silent = false;
    InitialiseAgainWhenAsked();
    if (!Dispensing(running)) {
        ClearFault();
        return;
    }
    // Busy without an error is dosing; ready, or any error, is not.
    if (Pump->Busy() && Pump->State() == ps_No_error)
        ClearFault();
    else
        Fault(Pump->StatusAsString());
}

void TPSD4Thread::StopPump()
{
    if (!Identified() && !Pump->Connect(Port)) {
        ThreadOut.aMessage = QStringLiteral("Failed to terminate");
        InterruptibleSleepMS(SilentRetryMS);
        return;
    }
    if (Pump->Stop()) {
        ThreadOut.IsTerminated = true;
        ThreadOut.Command = PSD4StopCommand;
    } else {
        ThreadOut.aMessage = QStringLiteral("Failed to terminate");
    }
}

void TPSD4Thread::Silent()
{
    silent = true;
    retryAt = QDeadlineTimer(SilentRetryMS);
    if (ThreadOut.Connected)
        Fault(NoAnswer);
}

void TPSD4Thread::Fault(const QString& text)
{
    if (ThreadOut.Fault.isEmpty()) {
        ThreadOut.FaultEpisode = ++faultEpisodes;
        qCDebug(lcThreadPump).noquote() << Name << "Fault: " + text;
    }
    ThreadOut.Fault = text;
}

void TPSD4Thread::ClearFault()
{
    ThreadOut.Fault.clear();
}

std::unique_ptr<TPSD4Thread> CreatePumpThread(const QString& comPort, const QString& nameRole)
{
    auto thread = std::make_unique<TPSD4Thread>(nameRole, std::make_unique<TPSD4>());
    thread->Port = comPort;
    return thread;
}
