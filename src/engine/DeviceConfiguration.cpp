#include "engine/DeviceConfiguration.h"

#include "devices/DeviceRegistry.h"
#include "base/Prompts.h"
#include "base/WorkerThread.h"
#include "engine/DeviceWorker.h"
#include "engine/EngineTick.h"
#include "engine/RunControl.h"
#include "gas/FlowUnits.h"
#include "gas/GasList.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double KnownSyringeSizesuL[] = {12.5, 25, 50, 100, 125, 250, 500, 1000, 1250, 2500, 5000, 12500};
// A pump doses at most 25 syringe volumes a minute.
constexpr double SyringesPerMinute = 25;
// The pump's fluid takes no part in gas conversions; a stand-in molar mass
// keeps its unit record valid.
constexpr double PumpFluidMolarMass = 10.0;

// Whether flows can be shown in the operator's unit; `errors` from the
// conversion when not (a reference pressure of 0, for one).
bool UserUnitConverts(const TGasFlowDetails& user, QString& errors)
{
    TGasFlowDetails from = FlowUnitMillilitresPerMinute;
    from.GasFlowValue = 1;
    from.GasMolarMass = user.GasMolarMass;
    TGasFlowDetails to = user;
    QString report;
    const bool converts = ConvertGasFlow(from, to, errors, report);
    errors = errors.trimmed();
    return converts;
}

bool IsPositiveNumber(double value)
{
    return std::isfinite(value) && value > 0;
}

} // namespace

QString DeviceStateText(const TDeviceInfo& device)
{
    const TWorkerThread* thread = WorkerThread(device);
    if (!thread)
        return QStringLiteral("Unknown");
    if (!device.WorkerFault.isEmpty() || thread->Faulted())
        return QStringLiteral("Error");
    if (thread->Connecting())
        return QStringLiteral("Connecting");
    switch (device.ControlMode) {
    case dcmSegment: return QStringLiteral("Segment");
    case dcmDirect: return QStringLiteral("Direct");
    case dcmIdle: return QStringLiteral("Ready");
    }
    return QStringLiteral("Unknown");
}

QString DeviceTypeAndGasText(const TDeviceInfo& device)
{
    TGasItem gas;
    TryGetGas_ID(device.FluidID, gas); // an unknown number leaves the name "Undefined"
    return DeviceTypeName(device.DevType) + u':' + gas.NameShort;
}

bool IsKnownSyringeSize(double microlitres)
{
    return std::find(std::begin(KnownSyringeSizesuL), std::end(KnownSyringeSizesuL), microlitres)
        != std::end(KnownSyringeSizesuL);
}

bool PageChangesDosing(const TConfigurePage& page, const TDeviceInfo& device)
{
    if (page.FluidID != device.FluidID)
        return true;
    if (device.DevType == dtPump) {
        // A syringe the pump does not take is ignored, so it changes nothing.
        const bool newSyringe = IsKnownSyringeSize(page.SyringeSizeuL) && page.SyringeSizeuL != device.SyringeSizeuL;
        return newSyringe || page.FluidTemperatureC != device.FluidTemperatureC;
    }
    const TGasFlowDetails& unit = device.FlowUnitUser;
    return page.FlowUnitName != unit.Name || page.TemperatureC != unit.Temperature
        || page.PressureBarA != unit.Pressure_BarA || page.GramsChosen != (unit.GasFlowType == gfuGrams);
}

void PageToDevice(const TConfigurePage& page, TDeviceInfo& device, TDeviceConfigurationView& view)
{
    TGasItem fluid;
    if (device.DevType == dtPump) {
        device.FluidID = page.FluidID;
        device.FlowUnitUser.GasMolarMass = PumpFluidMolarMass;
        if (TryGetGas_ID(device.FluidID, fluid))
            device.FlowUnitUser.GasName = fluid.NameShort;
        view.MM(QStringLiteral("Selected G(fluid)ID:") + QString::number(device.FluidID));
    } else {
        device.FluidID = page.FluidID;
        GetGas_ID(device.FluidID, fluid);
        device.FlowUnitUser.GasMolarMass = fluid.GetMolarMass();
        device.FlowUnitDevice.GasMolarMass = fluid.GetMolarMass();
        // The data log's header names the gas from the user unit.
        device.FlowUnitUser.GasName = fluid.NameShort;
        device.FlowUnitUser.Name = page.FlowUnitName;
        device.FlowUnitUser.Temperature = page.TemperatureC;
        device.FlowUnitUser.Pressure_BarA = page.PressureBarA;
        device.FlowUnitUser.GasFlowType = page.GramsChosen ? gfuGrams : gfuVolumetric;
        // A band of 0 would sound at every flicker of the reading, one that is
        // not a number never: neither is taken.
        if (IsPositiveNumber(page.DeviationBand_pct))
            device.DeviationBand_pct = page.DeviationBand_pct;
        if (IsPositiveNumber(page.DeviationHold_s))
            device.DeviationHold_s = page.DeviationHold_s;
    }
    device.NameRole = page.DeviceName;
    device.Color = page.Color;
    device.FluidTemperatureC = page.FluidTemperatureC;
    device.Setpoint_gui = page.DirectSetpoint;
    if (device.DevType == dtPump) {
        if (IsKnownSyringeSize(page.SyringeSizeuL)) {
            device.SyringeSizeuL = page.SyringeSizeuL;
            device.MaxFlow_ulpm = SyringesPerMinute * page.SyringeSizeuL;
            StoreDevice(device);
        } else {
            ShowMessage(QStringLiteral("Invalid syringe volume, value ignored"));
        }
    }
}

bool ApplyConfiguration(TDeviceInfo device, const TConfigurePage& page, TRunControl& runControl, TEngineTick& engine,
                        TDeviceConfigurationView& view)
{
    if (!page.FluidChosen) {
        ShowMessage(device.DevType == dtPump ? QStringLiteral("No fluid selected for Pump")
                                             : QStringLiteral("No fluid selected for MFC"));
        return false;
    }
    // A new colour or name leaves a running device running; anything that
    // changes what it doses stops it first, as the stop button does, rather
    // than leave the instrument flowing at its last setpoint unserved.
    const bool keepsRunning = IsRunning(device) && !PageChangesDosing(page, device);
    if (IsRunning(device) && !keepsRunning) {
        runControl.StopDevices({device.COMPort});
        GetDeviceByPort(device.COMPort, device);
    }
    PageToDevice(page, device, view);
    QString problem;
    if (IsMFC(device.DevType) && !UserUnitConverts(device.FlowUnitUser, problem)) {
        // Applied, the unit would leave every flow display at its old number.
        ShowMessage(problem);
        return false;
    }
    if (runControl.StartDeviceThread(device))
        device.Led = view.AddLedForThread();
    if (device.Led)
        view.ColourLamp(device.Led, device.Color);
    if (!keepsRunning)
        device.ControlMode = dcmIdle;
    if (!StoreDevice(device)) {
        ShowMessage(QStringLiteral("Saving device configuration failed"));
        return false;
    }
    view.RefreshDevice(device);
    engine.DataHeaderPending = true;
    return true;
}
