#pragma once

struct TDeviceInfo;
class TDataLog;
class TEngineTick;
class TRunControlView;

// Which devices the engine drives and how: starting and stopping programs,
// direct setpoints, starting a device's worker thread and stopping them all.
class TRunControl {
public:
    TRunControl(TRunControlView& view, TEngineTick& engine, TDataLog& dataLog);

    // Creates and starts the device's worker thread; false when it has one.
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

    static constexpr double ShutdownTimeoutS = 20;

private:
    void FreeThreadsAndLamps();
    // One message box naming every controller whose worker has not
    // confirmed zero flow.
    void NameControllersNotAtZero();
    void MarkDevicesUnconfigured();
    void StartGraphClock();

    TRunControlView& view;
    TEngineTick& engine;
    TDataLog& dataLog;
    bool terminating = false;
};
