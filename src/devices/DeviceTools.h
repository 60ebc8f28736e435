#pragma once

#include <QString>

#include <functional>

struct TDeviceInfo;
class TPortLock;

// What the Tools page's three operations need of the window.
class TDeviceToolsView {
public:
    virtual ~TDeviceToolsView() = default;
    // The window is disabled (but painted) and the engine timer stopped while
    // a tool talks to its instrument; the tool itself runs off the main thread.
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;
};

// One-off operations on a single instrument, for setup and maintenance: the
// MFC's factory initialisation, priming the pump, moving the pump for a
// syringe change. Each is refused for a device that has a worker thread, holds
// the instrument's port while it works and shows its messages through the
// prompt service.
class TDeviceTools {
public:
    explicit TDeviceTools(TDeviceToolsView& view);

    void ButtonDeviceInitializeClick(const TDeviceInfo& device);
    void ButtonPrimePumpClick(const TDeviceInfo& device, int loops);
    void ButtonChangeSyringeClick(const TDeviceInfo& device);

    // The priming command for `loops` loops (V3000gIA24000OA0G3R for 3).
    static QString PrimeCommand(int loops);

private:
    // A pump tool: the warning shown first, how long homing may take, the
    // command sent once the pump is home and the message once it is done.
    struct TPumpTool {
        QString Warning;
        double HomeLimit_s;
        QString Command;
        QString Done;
    };
    // Refused for anything but an unconfigured pump.
    void RunPumpTool(const TDeviceInfo& device, const TPumpTool& tool);
    // Takes the port into `lock` and runs `task` off the main thread with the
    // window busy; false, with the holder shown, when the port is in use.
    bool RunOnPort(TPortLock& lock, const QString& port, const std::function<void()>& task);

    TDeviceToolsView& view;
};
