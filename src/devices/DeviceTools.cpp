#include "devices/DeviceTools.h"

#include "base/MainThreadWait.h"
#include "base/Prompts.h"
#include "devices/DeviceInfo.h"
#include "mfc/AlicatMFC.h"
#include "pump/PSD4.h"
#include "serial/PortLock.h"
#include "serial/SerialPort.h"

namespace {

const QString PumpInitCommand = QStringLiteral("ZN1R");
// A prime starts from a homed plunger; homing a pump may take this long.
constexpr double PrimeInitLimit_s = 60;
constexpr double SyringeInitLimit_s = 15;
// After the last command, for the confirmation.
constexpr double AfterCommandLimit_s = 5;
const QString SyringeChangeCommand = QStringLiteral("V4000IA24000R");

// Connects, homes the pump and, once it is free, sends `command`; true when
// the pump is free again within the last limit. A pump that does not identify
// itself refuses every command, so nothing moves then.
bool HomeThenRun(const QString& port, double homeLimit_s, const QString& command)
{
    TPSD4 pump;
    pump.Connect(port);
    QString feedback;
    pump.Initialize(PumpInitCommand, feedback);
    if (!pump.WaitUntilFree(homeLimit_s))
        return false;
    TSerialResponse reply;
    pump.SendCommand(command, reply, true);
    return pump.WaitUntilFree(AfterCommandLimit_s);
}

} // namespace

TDeviceTools::TDeviceTools(TDeviceToolsView& view)
    : view(view)
{
}

QString TDeviceTools::PrimeCommand(int loops)
{
    return QStringLiteral("V3000gIA24000OA0G") + QString::number(loops) + QLatin1Char('R');
}

bool TDeviceTools::RunOnPort(TPortLock& lock, const QString& port, const std::function<void()>& task)
{
    view.BeginBusy();
    QString refusal;
    const bool held = lock.Acquire(port, refusal);
    if (held)
        RunOffMainThread(task);
    view.EndBusy();
    if (!held)
        ShowMessage(refusal);
    return held;
}

void TDeviceTools::ButtonDeviceInitializeClick(const TDeviceInfo& device)
{
    if (HasWorkerThread(device)) {
        ShowMessage(QStringLiteral("Device thread is running, cannot proceed. Initialize can only be performed "
                                   "before Configuration is first applied"));
        return;
    }
    if (device.DevType == dtPump) {
        ShowMessage(QStringLiteral("There is no Initialize procedure for Pump device"));
        return;
    }
    if (device.DevType == dtMFCDemo) {
        ShowMessage(QStringLiteral("There is no Initialize procedure for demo device"));
        return;
    }
    ShowMessage(QStringLiteral("Clicking OK will start initialization of MFC device."));
    TPortLock lock;
    const bool ran = RunOnPort(lock, device.COMPort, [&device] {
        TAlicatMFC mfc;
        mfc.aPort.SetPort(device.COMPort);
        // Failures are traced by the driver; the operator is told it is done.
        mfc.Initialize(TAIBrisolNivra);
    });
    if (ran)
        ShowMessage(QStringLiteral("Initialization done."));
}

void TDeviceTools::RunPumpTool(const TDeviceInfo& device, const TPumpTool& tool)
{
    if (device.DevType != dtPump) {
        ShowMessage(QStringLiteral("No pump selected"));
        return;
    }
    if (HasWorkerThread(device)) {
        ShowMessage(QStringLiteral("Cannot perform on already configured and running pump"));
        return;
    }
    ShowMessage(tool.Warning);
    bool free = false;
    // The port stays held until the operator has read the last message.
    TPortLock lock;
    RunOnPort(lock, device.COMPort, [&] { free = HomeThenRun(device.COMPort, tool.HomeLimit_s, tool.Command); });
    if (free)
        ShowMessage(tool.Done);
}

void TDeviceTools::ButtonPrimePumpClick(const TDeviceInfo& device, int loops)
{
    RunPumpTool(device, {QStringLiteral("For safety, this will disable the form and stop any new changes on devices "
                                        "until completed. Software will be unresponsive until pump stops."),
                         PrimeInitLimit_s, PrimeCommand(loops),
                         QStringLiteral("One priming loop done, software is now reponsive again.")});
}

void TDeviceTools::ButtonChangeSyringeClick(const TDeviceInfo& device)
{
    RunPumpTool(device, {QStringLiteral("For safety, this will disable the form and stop any new changes on devices "
                                        "until completed."),
                         SyringeInitLimit_s, SyringeChangeCommand,
                         QStringLiteral("Change the syringe and click OK only after done.")});
}
