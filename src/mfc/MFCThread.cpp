#include "mfc/MFCThread.h"

#include "base/Clock.h"
#include "base/Errors.h"
#include "base/InterruptibleSleep.h"
#include "base/TextHelpers.h"

#include <QLoggingCategory>
#include <QRandomGenerator>

#include <cmath>

namespace {

Q_LOGGING_CATEGORY(lcThreadMfc, "ThreadMFC", QtWarningMsg)

constexpr double CountsPerPercent = AlicatCountsFullScale / 100;
// The instrument reports whole counts; a setpoint within half a count of the
// wish is the wish.
constexpr double SetpointToleranceCounts = 0.5;
// A demonstration device answers like a real one polled at its usual pace.
constexpr int SimulatedPassMinMS = 500;
constexpr int SimulatedPassSpreadMS = 500;
// Lets a silent or unplugged instrument breathe before the next poll.
constexpr int FailedReadPauseMS = 250;
// After an unreadable status line, before the next poll.
constexpr int ExceptionPauseMS = 500;

} // namespace

TMFCThread::~TMFCThread()
{
    qCDebug(lcThreadMfc).noquote() << "Destroy thread: " + Name;
    EndWorker();
}

void TMFCThread::Prepare()
{
    if (!Simulated)
        MFC->Initialize(TAIBrisolNivra);
}

void TMFCThread::Pass()
{
    if (Simulated)
        SimulatedPass();
    else
        RealPass();
}

void TMFCThread::Finish()
{
    ThreadOut.IsTerminated = true;
}

void TMFCThread::SimulatedPass()
{
    qCDebug(lcThreadMfc).noquote() << Name + " Simulated ";
    InterruptibleSleepMS(SimulatedPassMinMS + int(QRandomGenerator::global()->bounded(SimulatedPassSpreadMS)));
    ThreadOut.DeviceStatus.DataTime = MonotonicNow();
    ThreadOut.DeviceStatus.FlowRate_mass = QRandomGenerator::global()->bounded(1000) / 1000.0;
    if (ThreadIn.ToTerminate)
        ThreadOut.IsTerminated = true;
}

void TMFCThread::RealPass()
{
    try {
        if (ThreadIn.ToTerminate) {
            // Zero flow before the thread ends.
            ThreadIn.DeviceStatus.Setpoint_pct = 0;
            MFC->ApplySetpoint_pct(ThreadIn.DeviceStatus);
        }
        MFC->ChangeGas(ThreadIn.DeviceStatus);

        TAlicatData status;
        if (MFC->ReadStatus(status)) {
            qCDebug(lcThreadMfc).noquote() << Name + " Status read OK ";
            ThreadOut.DeviceStatus = status;
            ThreadOut.DeviceStatus.DataTime = MonotonicNow();
            ThreadOut.DeviceStatus.MaxFlowgpm = MFC->MaxFlow_gpm;

            const double deviceCounts = ThreadOut.DeviceStatus.SetpointFromDevice;
            if (ThreadIn.ToTerminate && std::abs(deviceCounts) <= SetpointToleranceCounts) {
                ThreadOut.IsTerminated = true;
                return;
            }
            QString errors;
            if (ThreadOut.DeviceStatus.Errors(errors)) {
                // The instrument cannot follow a setpoint now (valve held,
                // flow out of range, ...); correcting it would only repeat.
                qCDebug(lcThreadMfc).noquote() << Name + " Errors: " + errors;
            } else {
                const double desiredCounts = ThreadIn.DeviceStatus.Setpoint_pct * CountsPerPercent;
                qCDebug(lcThreadMfc).noquote() << Name + " No errors";
                qCDebug(lcThreadMfc).noquote() << " Main loop, Device setpoint: " + FloatToStr(deviceCounts);
                qCDebug(lcThreadMfc).noquote() << " Main loop, Desired setpoint: " + FloatToStr(desiredCounts);
                if (std::abs(deviceCounts - desiredCounts) <= SetpointToleranceCounts)
                    qCDebug(lcThreadMfc).noquote() << Name + " Setpoint data upto date";
                else
                    MFC->ApplySetpoint_pct(ThreadIn.DeviceStatus);
            }
        } else {
            qCDebug(lcThreadMfc).noquote() << Name + " ReadStatus failed";
            InterruptibleSleepMS(FailedReadPauseMS);
        }
        qCDebug(lcThreadMfc).noquote() << "In loop port:" + QString::fromLatin1(MFC->aPort.Port());
    } catch (const TarvoError& error) {
        qCDebug(lcThreadMfc).noquote() << Name + " Exception in main loop: " + error.Message();
        InterruptibleSleepMS(ExceptionPauseMS);
    }
}

std::unique_ptr<TMFCThread> CreateMFCThread(const QString& comPort, bool simulated)
{
    auto thread = std::make_unique<TMFCThread>();
    thread->Simulated = simulated;
    thread->MFC = std::make_unique<TAlicatMFC>();
    thread->MFC->GasID = -1;
    thread->MFC->Role = QStringLiteral("A");
    thread->MFC->aDeviceID = QLatin1Char('A');
    thread->MFC->aPort.SetPort(comPort);
    thread->MFC->aPort.SetBaudRate(AlicatBaudRate);
    thread->Name = comPort;
    thread->ThreadID = comPort;
    thread->ThreadIn.IsTerminated = false;
    thread->ThreadIn.ToTerminate = false;
    thread->GUIOut.ToTerminate = false;
    return thread;
}
