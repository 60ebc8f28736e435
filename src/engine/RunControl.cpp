#include "engine/RunControl.h"

#include "base/Clock.h"
#include "devices/DeviceRegistry.h"
#include "base/MainThreadWait.h"
#include "base/Prompts.h"
#include "engine/DataLog.h"
#include "engine/DeviceWorker.h"
#include "engine/EngineTick.h"
#include "engine/RunControlView.h"
#include "mfc/MFCThread.h"
#include "pump/PSD4.h"
#include "pump/PSD4Thread.h"
#include "serial/PortLock.h"
#include "base/TextHelpers.h"

#include <QDeadlineTimer>
#include <QLoggingCategory>
#include <QThread>

namespace {

Q_LOGGING_CATEGORY(lcRunControl, "RunControl", QtWarningMsg)

// Between two looks at the threads while they stop; the window keeps
// processing events meanwhile, so their exchanges go on.
constexpr int ShutdownPollMS = 500;
// After each device's thread is freed, so the window can repaint.
constexpr int FreeDevicePauseMS = 50;

void WaitMS(int ms)
{
    WaitProcessingEvents([] { return false; }, ms);
}

} // namespace

TRunControl::TRunControl(TRunControlView& view, TEngineTick& engine, TDataLog& dataLog)
    : view(view)
    , engine(engine)
    , dataLog(dataLog)
{
}

TRunControl::~TRunControl() = default;

bool TRunControl::StartDeviceThread(TDeviceInfo& device)
{
    if (HasWorkerThread(device))
        return false;
    if (device.DevType != dtMFCDemo) {
        auto lock = std::make_unique<TPortLock>();
        QString refusal;
        if (!lock->Acquire(device.COMPort, refusal)) {
            view.MM(refusal);
            ShowMessage(refusal);
            return false;
        }
        portLocks[device.COMPort] = std::move(lock);
    }
    // Freed by TerminateThreads.
    if (IsMFC(device.DevType)) {
        device.ThreadMFC = CreateMFCThread(device.COMPort, device.DevType == dtMFCDemo).release();
        qCDebug(lcRunControl).noquote() << "Create thread: " + device.ThreadMFC->ThreadID + " - " + device.ThreadMFC->Name;
    } else {
        device.ThreadPump = CreatePumpThread(device.COMPort, device.NameRole).release();
        qCDebug(lcRunControl).noquote() << "Create thread: " + device.ThreadPump->Name;
    }
    WorkerThread(device)->start();
    return true;
}

void TRunControl::MarkThreadsToStop()
{
    for (const TDeviceInfo& device : DevicesLocal) {
        if (TWorkerThread* thread = WorkerThread(device))
            thread->MarkToStop();
    }
}

int TRunControl::ActiveThreadCount() const
{
    int count = 0;
    for (const TDeviceInfo& device : DevicesLocal) {
        const TWorkerThread* thread = WorkerThread(device);
        if (thread && !thread->TerminationReported())
            ++count;
    }
    return count;
}

void TRunControl::StartGraphClock()
{
    if (engine.GraphTimeZero == 0)
        engine.GraphTimeZero = MonotonicNow();
}

void TRunControl::RunChanged() const
{
    if (runChanged)
        runChanged();
}

void TRunControl::ButtonSegmentProgramStartClick()
{
    if (!view.FlowDataLogFileEnsure(false)) {
        ShowMessage(QStringLiteral("No data log file chosen, segment program not started."));
        return;
    }
    dataLog.FlowDataSave(true);
    for (const QString& port : view.SelectedPorts()) {
        TDeviceInfo device;
        if (!GetDeviceByPort(port, device) || !HasWorkerThread(device))
            continue;
        view.MM(QStringLiteral("Start segment program for ") + device.NameRole);
        device.ControlMode = dcmSegment;
        device.FlowStartTime = MonotonicNow();
        if (device.ThreadMFC)
            device.ThreadMFC->GUIOut.ToZero = false;
        view.ClearFlowSerie(device);
        if (!StoreDevice(device))
            view.MM(QStringLiteral("Starting segment program failed for: ") + device.NameRole);
        view.RefreshDevice(device);
    }
    StartGraphClock();
    RunChanged();
}

void TRunControl::ButtonSegmentProgramStopClick()
{
    StopDevices(view.SelectedPorts());
}

void TRunControl::StopDevices(const QStringList& ports)
{
    dataLog.FlowDataSave(true);
    for (const QString& port : ports) {
        TDeviceInfo device;
        if (!GetDeviceByPort(port, device) || !HasWorkerThread(device))
            continue;
        view.MM(QStringLiteral("Stop device ") + device.NameRole);
        device.ControlMode = dcmIdle;
        device.Setpoint_pct = 0;
        if (device.ThreadMFC) {
            device.ThreadMFC->GUIOut.DeviceStatus.Setpoint_pct = 0;
            device.ThreadMFC->GUIOut.ToZero = true; // zero even through a held valve
        }
        if (device.ThreadPump) {
            device.ThreadPump->GUIOut.Command = PSD4StopCommand;
            device.ThreadPump->GUIOut.Setpoint = 0;
        }
        if (!StoreDevice(device))
            view.MM(QStringLiteral("Stopping device failed for: ") + device.NameRole);
        view.RefreshDevice(device);
    }
    RunChanged();
}

void TRunControl::DesiredFlowChanged(double setpointPercent)
{
    TDeviceInfo device;
    if (!view.GetSelectedDevice(device))
        return;
    device.Setpoint_gui = setpointPercent;
    if (!StoreDevice(device))
        view.MM(QStringLiteral("Saving device configuration failed"));
}

void TRunControl::ButtonApplyFlowClick()
{
    if (!view.FlowDataLogFileEnsure(false)) {
        ShowMessage(QStringLiteral("No data log file chosen, flow not applied."));
        return;
    }
    TDeviceInfo device; // after the loop: the last device looked up
    for (const QString& port : view.SelectedPorts()) {
        if (!GetDeviceByPort(port, device))
            continue;
        if (!HasWorkerThread(device)) {
            ShowMessage(QStringLiteral("Cannot apply to unconfigured device: ") + device.NameRole);
            continue;
        }
        device.Setpoint_pct = device.Setpoint_gui;
        view.MM(QStringLiteral("Set device:") + device.NameRole + QStringLiteral(" to flow:")
                + FloatToStr(device.Setpoint_pct) + QStringLiteral(" %"));
        if (device.ControlMode != dcmDirect) {
            device.ControlMode = dcmDirect;
            device.FlowStartTime = MonotonicNow();
        }
        if (device.ThreadMFC)
            device.ThreadMFC->GUIOut.ToZero = false;
        if (StoreDevice(device))
            view.RefreshDevice(device); // the list shows the device as "Direct"
        else
            view.MM(QStringLiteral("Changing setpoint for device failed: ") + device.NameRole);
    }
    view.MM(QStringLiteral("Device:") + device.NameRole + QStringLiteral(" flow(gui):") + FloatToStr(device.Setpoint_pct)
            + QStringLiteral(" %"));
    StartGraphClock();
    RunChanged();
}

void TRunControl::ResumeDevice(const QString& port, tDeviceControlMode mode, double setpointPercent,
                               double flowStartTime)
{
    TDeviceInfo device;
    if (!GetDeviceByPort(port, device) || !HasWorkerThread(device))
        return;
    device.ControlMode = mode;
    device.FlowStartTime = flowStartTime;
    if (mode == dcmDirect)
        device.Setpoint_pct = setpointPercent;
    if (device.ThreadMFC)
        device.ThreadMFC->GUIOut.ToZero = false;
    view.MM(QStringLiteral("Resume ") + (mode == dcmDirect ? QStringLiteral("direct setpoint") : QStringLiteral("segment program"))
            + QStringLiteral(" for ") + device.NameRole + QStringLiteral(" at ")
            + FloatToStr(RoundHalfEven((MonotonicNow() - flowStartTime) * MinutesPerDay * 100) / 100)
            + QStringLiteral(" min"));
    view.ClearFlowSerie(device);
    StoreDevice(device);
    view.RefreshDevice(device);
    if (engine.GraphTimeZero == 0 || flowStartTime < engine.GraphTimeZero)
        engine.GraphTimeZero = flowStartTime;
    RunChanged();
}

bool TRunControl::TerminateThreads(double timeoutS)
{
    terminating = true;
    view.BeginThreadShutdown();
    view.MM(QStringLiteral("DevicesLocal size: ") + QString::number(DevicesLocal.size()));
    const int first = ActiveThreadCount();
    view.MM(QStringLiteral("Active threads: ") + QString::number(first));
    view.MM(QStringLiteral("Mark threads to stop"));
    MarkThreadsToStop();

    // Real time, not the program's clock: the wait must end even when the
    // clock is held still.
    const QDeadlineTimer deadline(qint64(timeoutS * 1000));
    while (ActiveThreadCount() > 0 && !deadline.hasExpired()) {
        WaitMS(ShutdownPollMS);
        view.MM(QStringLiteral("Waiting for threads to stop. Active threads: ") + QString::number(ActiveThreadCount())
                + QLatin1Char('/') + QString::number(first));
    }
    const int left = ActiveThreadCount();
    if (left > 0) {
        view.MM(QStringLiteral("Timeout: ") + QString::number(left) + QStringLiteral(" thread(s) did not stop within ")
                + FloatToStr(timeoutS) + QStringLiteral(" s, forcing termination"));
        NameUnconfirmedDevices();
    }
    view.MM(QStringLiteral("Active threads: ") + QString::number(left));
    view.MM(QStringLiteral("Terminate threads"));

    FreeThreadsAndLamps();
    view.MM(QStringLiteral("All threads terminated, marking devices unconfigured"));
    view.ShowAllDevicesUnknown();
    MarkDevicesUnconfigured();
    // The graph is cleared with the devices: its time starts again with the
    // next start, or new readings would be drawn far right of their programs.
    engine.GraphTimeZero = 0;
    view.EndThreadShutdown();
    terminating = false;
    return true;
}

void TRunControl::NameUnconfirmedDevices() const
{
    // The operator has to act on each: one box names them all.
    QStringList lines;
    for (const TDeviceInfo& device : DevicesLocal) {
        const TWorkerThread* thread = WorkerThread(device);
        if (!thread || thread->TerminationReported())
            continue;
        const QString named = device.COMPort + QStringLiteral(" (") + DeviceTypeName(device.DevType) + QStringLiteral(")");
        if (device.DevType == dtPump)
            lines.append(named + QStringLiteral(" did not confirm it stopped and may still be dosing: switch it off."));
        else
            lines.append(named + QStringLiteral(" did not confirm zero flow and may still be flowing: close its gas supply."));
    }
    if (!lines.isEmpty())
        ShowMessage(lines.join(QLatin1Char('\n')));
}

void TRunControl::FreeThreadsAndLamps()
{
    for (int i = DevicesLocal.size() - 1; i >= 0; --i) {
        // The entry lets go of its thread and lamp before they are freed: the
        // engine keeps ticking while a thread's end is awaited and must not
        // meet a thread that is half destroyed.
        TDeviceInfo& device = DevicesLocal[i];
        TWorkerThread* thread = WorkerThread(device);
        device.ThreadMFC = nullptr;
        device.ThreadPump = nullptr;
        ThhALed* lamp = std::exchange(device.Led, nullptr);
        delete thread;
        if (lamp)
            view.FreeLamp(lamp);
        WaitMS(FreeDevicePauseMS);
    }
    portLocks.clear();
}

void TRunControl::MarkDevicesUnconfigured()
{
    for (int i = DevicesLocal.size() - 1; i >= 0; --i) {
        TDeviceInfo device = DevicesLocal.at(i);
        device.WorkerFault.clear();
        device.FluidID = 0;
        device.SegmentProgram.clear();
        StoreDevice(device);
        view.RefreshDevice(device);
    }
}

QList<TDeviceInfo> RunningDevices()
{
    QList<TDeviceInfo> running;
    for (const TDeviceInfo& device : DevicesLocal) {
        if (IsRunning(device))
            running.append(device);
    }
    return running;
}

bool ConfirmStopOfRunningDevices(const QString& action)
{
    const QList<TDeviceInfo> running = RunningDevices();
    if (running.isEmpty())
        return true;
    QStringList names;
    for (const TDeviceInfo& device : running)
        names.append(device.COMPort + QStringLiteral(" (") + DeviceTypeName(device.DevType) + u')');
    const bool one = running.size() == 1;
    const QString question = QStringLiteral("%1 %2: %3. %4 and %5?")
                                 .arg(QString::number(running.size()),
                                      one ? QStringLiteral("device is running") : QStringLiteral("devices are running"),
                                      names.join(QStringLiteral(", ")),
                                      one ? QStringLiteral("Stop it") : QStringLiteral("Stop them"), action);
    return CurrentPrompts().AskYesNo(question);
}

bool ToolsRefused()
{
    if (RunningDevices().isEmpty())
        return false;
    ShowMessage(QStringLiteral("Stop all running devices before using the tools."));
    return true;
}

void TRunControl::Resetsoftware1Click()
{
    if (ConfirmStopOfRunningDevices(QStringLiteral("reset")))
        ResetDevices();
}

void TRunControl::ResetDevices()
{
    dataLog.FlowDataSave(true);
    TerminateThreads(ShutdownTimeoutS);
    // The engine kept recording while the instruments were brought to rest.
    dataLog.FlowDataSave(true);
    // The program may end right after: the file must be on disk first.
    dataLog.WaitForSaves();
    RunChanged();
}
