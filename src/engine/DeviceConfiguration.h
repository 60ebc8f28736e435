#pragma once

#include "devices/DeviceInfo.h"

#include <QString>

class TEngineTick;
class TRunControl;

// What the Configure page holds when "Apply" is pressed.
struct TConfigurePage {
    bool FluidChosen = false; // a row other than the header is chosen in the device's fluid list
    qint32 FluidID = 0;       // that row's gas or fluid number
    QString FlowUnitName;
    double TemperatureC = 0;
    double PressureBarA = 0;
    bool GramsChosen = false; // the grams row of the reference conditions is chosen
    QString DeviceName;
    TRtColor Color = 0;
    double FluidTemperatureC = 0;
    double SyringeSizeuL = 0;
    double DirectSetpoint = 0;
    double DeviationBand_pct = DefaultDeviationBand_pct; // a controller's deviation alarm
    double DeviationHold_s = DefaultDeviationHold_s;
};

// What applying a configuration needs of the window.
class TDeviceConfigurationView {
public:
    virtual ~TDeviceConfigurationView() = default;
    virtual void MM(const QString& message) = 0;
    virtual ThhALed* AddLedForThread() = 0;
    // The lamp's dark colour becomes the device's (alpha dropped).
    virtual void ColourLamp(ThhALed* lamp, TRtColor color) = 0;
    virtual void RefreshDevice(TDeviceInfo& device) = 0;
};

// The device list's "State": "Unknown" without a worker thread; "Error"
// while its instrument is not doing what it was told; "Connecting" until the
// first successful exchange with it; otherwise "Segment", "Direct" or
// "Ready" by the control mode.
QString DeviceStateText(const TDeviceInfo& device);
// The device list's "Device" of a real MFC once shown: type and gas, "MFC-B:N2".
QString DeviceTypeAndGasText(const TDeviceInfo& device);

// Syringes the pump takes, in microlitres.
bool IsKnownSyringeSize(double microlitres);

// Whether applying the page changes what the device doses: its fluid, flow
// unit and reference conditions, or its syringe. Name and colour do not.
bool PageChangesDosing(const TConfigurePage& page, const TDeviceInfo& device);

// Copies the page into the device record. The syringe is taken only when it
// is one the pump takes; otherwise the operator is told and the record keeps
// its syringe and maximum flow. A deviation band or hold time that is not a
// positive number leaves the controller's own. An MFC gas the table does not hold raises
// TarvoError.
void PageToDevice(const TConfigurePage& page, TDeviceInfo& device, TDeviceConfigurationView& view);

// "Apply" on the focused device: refuses without a fluid, copies the page,
// starts the worker thread the first time (with its lamp) and asks for a
// fresh data-table header. A device that is running keeps running when only
// its name or colour changes; otherwise it is stopped first and, like every
// other device, left idle.
bool ApplyConfiguration(TDeviceInfo device, const TConfigurePage& page, TRunControl& runControl, TEngineTick& engine,
                        TDeviceConfigurationView& view);
