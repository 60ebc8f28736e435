#pragma once

#include <QString>

#include <map>
#include <memory>

struct TDeviceInfo;
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
    void ButtonApplyFlowClick();
    void DesiredFlowChanged(double setpointPercent);

    // Brings every instrument to a safe state, then frees all threads and
    // lamps; waits at most `timeoutS` for the threads to report. Always true.
    bool TerminateThreads(double timeoutS);
    // Saves the data log, stops every thread, and saves the rows recorded
    // meanwhile.
    void Resetsoftware1Click();
    bool IsTerminating() const { return terminating; }
    // The maintenance tools stop the engine while they work: true, with the
    // operator told so, while any device runs a program or a direct setpoint.
    bool RefuseToolsWhileRunning() const;

    static constexpr double ShutdownTimeoutS = 20;

private:
    void FreeThreadsAndLamps();
    void MarkDevicesUnconfigured();
    void StartGraphClock();

    TRunControlView& view;
    TEngineTick& engine;
    TDataLog& dataLog;
    bool terminating = false;
    std::map<QString, std::unique_ptr<TPortLock>> portLocks; // by port, while its thread runs
};
