#include "pump/PSD4Thread.h"

#include "base/Clock.h"
#include "base/InterruptibleSleep.h"
#include "pump/PSD4.h"
#include "serial/SerialPort.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcThreadPump, "ThreadPUMP", QtWarningMsg)

namespace {
// Pause of a pass with nothing to do; the pump runs its command on its own.
constexpr int IdlePauseMS = 250;
constexpr double InitLimit_s = 15;
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

void TPSD4Thread::Pass()
{
    if (ThreadIn.ToTerminate) {
        if (Pump->Stop()) {
            ThreadOut.IsTerminated = true;
            ThreadOut.Command = PSD4StopCommand;
        } else {
            ThreadOut.aMessage = QStringLiteral("Failed to terminate");
        }
    } else if (ThreadIn.Command != Pump->LastCommand) {
        ApplyCommand();
    } else {
        InterruptibleSleepMS(IdlePauseMS);
    }
    ThreadOut.DataTime = MonotonicNow();
}

void TPSD4Thread::ApplyCommand()
{
    const QString oldCommand = Pump->LastCommand;
    TSerialResponse reply;
    // The running command loops until it is stopped.
    if (Pump->SendCommand(PSD4StopCommand, reply, true)) {
        qCDebug(lcThreadPump).noquote() << Name << "New command applied" << "Old: " + oldCommand << "New: " + PSD4StopCommand;
        ThreadOut.Setpoint = 0;
    }
    if (ThreadIn.Command == PSD4StopCommand)
        return;
    if (Pump->SendCommand(ThreadIn.Command, reply, true)) {
        qCDebug(lcThreadPump).noquote() << Name << "New command applied" << "Old: " + oldCommand
                                        << "New: " + ThreadIn.Command;
        ThreadOut.Setpoint = ThreadIn.Setpoint;
    }
}

std::unique_ptr<TPSD4Thread> CreatePumpThread(const QString& comPort, const QString& nameRole)
{
    auto pump = std::make_unique<TPSD4>();
    // Results are not checked: a pump that is not identified refuses every
    // command, and its worker keeps trying.
    pump->Connect(comPort);
    QString feedback;
    pump->Initialize(QStringLiteral("ZN1R"), feedback);
    pump->WaitUntilFree(InitLimit_s);
    return std::make_unique<TPSD4Thread>(nameRole, std::move(pump));
}
