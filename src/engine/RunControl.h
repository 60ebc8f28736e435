#pragma once

#include "devices/DeviceInfo.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>

class TDataLog;
class TEngineTick;
class TPortLock;
class TRunControlView;

// Which devices the engine drives and how: starting and stopping programs,
// direct setpoints, starting a device's worker thread and stopping them all.
class TRunControl {
public:
    TRunControl(TRunControlView& view, TEngineTick& engine, TDataLog& dataLog);
    ~TRunControl();

    // Creates and starts the device's worker thread, which holds the device's
    // port until the threads are stopped. False when it has a thread, or when
    // another user holds the port (the operator is told who).
    bool StartDeviceThread(TDeviceInfo& device);
    void MarkThreadsToStop();
    int ActiveThreadCount() const;

    void ButtonSegmentProgramStartClick();
    void ButtonSegmentProgramStopClick();
    // What "Stop segment program(s)" does to the devices of these ports.
    void StopDevices(const QStringList& ports);
    void ButtonApplyFlowClick();
    void DesiredFlowChanged(double setpointPercent);
    // Takes up a device's program or direct setpoint where an interrupted
    // run left it: `flowStartTime` is its start on the monotonic clock.
    void ResumeDevice(const QString& port, tDeviceControlMode mode, double setpointPercent, double flowStartTime);
    // Called once devices have started, stopped or been reset, so the record
    // of the run follows at once rather than at the next save.
    void SetRunChangedSink(std::function<void()> sink) { runChanged = std::move(sink); }

    // Brings every instrument to a safe state, then frees all threads and
    // lamps; waits at most `timeoutS` for the threads to report. Always true.
    bool TerminateThreads(double timeoutS);
    // Asks first while devices are running; then resets them.
    void Resetsoftware1Click();
    // Saves the data log, stops every thread, and saves the rows recorded
    // meanwhile.
    void ResetDevices();
    bool IsTerminating() const { return terminating; }

    static constexpr double ShutdownTimeoutS = 20;

private:
    // One message box naming every device whose worker did not report its end.
    void NameUnconfirmedDevices() const;
    void FreeThreadsAndLamps();
    void MarkDevicesUnconfigured();
    void StartGraphClock();
    void RunChanged() const;

    TRunControlView& view;
    TEngineTick& engine;
    TDataLog& dataLog;
    bool terminating = false;
    std::function<void()> runChanged;
    std::map<QString, std::unique_ptr<TPortLock>> portLocks; // by port, while its thread runs
};

// Configured devices that run a program or hold a direct setpoint, in
// registry order.
QList<TDeviceInfo> RunningDevices();

// While devices are running, asks the operator whether to stop them and do
// `action` ("close", "reset"), naming each; true when none runs or the
// operator agrees.
bool ConfirmStopOfRunningDevices(const QString& action);

// A maintenance tool would take over the main thread and starve every
// running device: while any runs, says so and returns true.
bool ToolsRefused();
