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
        const bool toZero = ThreadIn.ToTerminate || ThreadIn.ToZero;
        if (ThreadIn.ToZero != zeroing) {
            // A Stop given or withdrawn: its confirmation starts afresh.
            zeroing = ThreadIn.ToZero;
            zeroShown = false;
            zeroDeadline.setRemainingTime(ZeroConfirmTimeoutMS);
        }
        if (toZero) {
            // Zero flow before anything else.
            ThreadIn.DeviceStatus.Setpoint_pct = 0;
            if (!zeroShown)
                MFC->ApplySetpoint_pct(ThreadIn.DeviceStatus);
        }
        const bool gasReady = SelectWishedGas();

        TAlicatData status;
        if (MFC->ReadStatus(status)) {
            qCDebug(lcThreadMfc).noquote() << Name + " Status read OK ";
            failedPasses = 0;
            if (ShowsWishedGas(status) && gasReady) {
                ThreadOut.DeviceStatus = status;
                ThreadOut.DeviceStatus.DataTime = MonotonicNow();
                ThreadOut.DeviceStatus.MaxFlowgpm = MFC->MaxFlow_gpm;
                ThreadOut.DeviceStatus.MaxFlowStepgpm = MFC->MaxFlowStep_gpm;
            }

            const double deviceCounts = status.SetpointFromDevice;
            QString errors;
            if (toZero) {
                zeroShown = BringToZero(status);
                if (ThreadIn.ToTerminate && zeroShown) {
                    ThreadOut.IsTerminated = true;
                    ReportFaults();
                    return;
                }
            } else if (status.Errors(errors)) {
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
            ++failedPasses;
            InterruptibleSleepMS(FailedReadPauseMS);
        }
        qCDebug(lcThreadMfc).noquote() << "In loop port:" + QString::fromLatin1(MFC->aPort.Port());
    } catch (const TarvoError& error) {
        qCDebug(lcThreadMfc).noquote() << Name + " Exception in main loop: " + error.Message();
        ++failedPasses;
        InterruptibleSleepMS(ExceptionPauseMS);
    }
    ReportFaults();
}

bool TMFCThread::SelectWishedGas()
{
    const qint32 wish = ThreadIn.DeviceStatus.GasID;
    if (wish < 0 || wish > AlicatLastGasNumber)
        return true; // nothing to select: the status lines are taken as they come
    if (wish != refusedGas)
        gasRefused = false; // another wish is asked for at once
    const qint32 before = MFC->GasID;
    if (!gasRefused || gasRetry.hasExpired()) {
        MFC->ChangeGas(ThreadIn.DeviceStatus);
        if (MFC->GasID != wish && MFC->GasRefused) {
            gasRefused = true;
            refusedGas = wish;
            gasRetry.setRemainingTime(GasRetryIntervalMS);
        }
    }
    if (MFC->GasID != wish)
        return false;
    gasRefused = false;
    // A full scale that could not be read after the gas change is asked for again.
    if (!MFC->FullScaleKnown && before == wish)
        MFC->ReadFullScale();
    return MFC->FullScaleKnown;
}

bool TMFCThread::ShowsWishedGas(const TAlicatData& status)
{
    const qint32 wish = ThreadIn.DeviceStatus.GasID;
    if (wish < 0 || wish > AlicatLastGasNumber)
        return true;
    const bool shown = TAlicatMFC::ShowsGas(status, wish);
    if (shown && MFC->GasID != wish) {
        // Selected after all (from the front panel, or late): its full scale is still to be read.
        MFC->GasID = wish;
        MFC->FullScaleKnown = false;
        gasRefused = false;
    } else if (!shown && MFC->GasID == wish) {
        // The unit shows another gas than it took: as good as refused.
        MFC->GasID = -1;
        gasRefused = true;
        refusedGas = wish;
        gasRetry.setRemainingTime(GasRetryIntervalMS);
    }
    return shown;
}

bool TMFCThread::BringToZero(const TAlicatData& status)
{
    const bool held = status.ErrorFlags.Contains(TAlicatError::HLD);
    if (!held && std::abs(status.SetpointFromDevice) <= SetpointToleranceCounts)
        return true;
    // A held valve ignores setpoints: release it, then send zero again.
    if (held)
        MFC->CancelHold();
    MFC->ApplySetpoint_pct(ThreadIn.DeviceStatus);
    return false;
}

void TMFCThread::ReportFaults()
{
    QStringList faults;
    if (gasRefused)
        faults << Name + QStringLiteral(": the controller refused gas %1; asking again every %2 s")
                             .arg(refusedGas)
                             .arg(GasRetryIntervalMS / 1000);
    else if (MFC->GasID >= 0 && MFC->GasID == ThreadIn.DeviceStatus.GasID && !MFC->FullScaleKnown)
        faults << Name + QStringLiteral(": full scale not readable; reading it again");
    if (zeroing && !zeroShown && zeroDeadline.hasExpired())
        faults << Name + QStringLiteral(" did not confirm zero flow within %1 s and may still be flowing")
                             .arg(ZeroConfirmTimeoutMS / 1000);
    if (failedPasses >= FailedPassesForFault)
        faults << Name + QStringLiteral(": no valid status in two passes in a row");
    ThreadOut.Fault = faults.join(QStringLiteral(". "));
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
