// The Configure page's handlers, the flow units shown on the pages, and
// DeviceDetailsUI, which shows a device in every control of the window.
#include "ui/GUIF.h"

#include "devices/DeviceRegistry.h"
#include "base/Errors.h"
#include "base/Prompts.h"
#include "engine/FlowUnitDisplay.h"
#include "ui/pages/ConfigureSheet.h"
#include "ui/pages/DirectControlSheet.h"
#include "ui/pages/SegmentSheet.h"

void TGUIF::RtColorPickComboDeviceColorChanged()
{
    configureSheet->RtColorPickComboDeviceColorChanged();
}

void TGUIF::ComboBoxFlowUnitPredefinedChange(int row)
{
    configureSheet->ComboBoxFlowUnitPredefinedChange(row);
}

void TGUIF::EditFlowUnitTemperatureCValueChanged()
{
    configureSheet->EditFlowUnitTemperatureCValueChanged();
}

void TGUIF::EditFlowUnitPressureBarValueChanged()
{
    configureSheet->EditFlowUnitPressureBarValueChanged();
}

void TGUIF::UpdateGasFlowUnits()
{
    TDeviceInfo device;
    if (!GetSelectedDevice(device))
        return;
    const TFlowUnitDisplay display =
        FlowUnitDisplay(device, segmentSheet->SegmentFlow(), directControlSheet->DesiredFlow());
    if (!display.Valid)
        return;
    segmentSheet->ShowMaxFlow(display.MaxFlow, display.UnitName);
    directControlSheet->ShowMaxFlow(display.MaxFlow, display.UnitName);
    if (!display.SegmentResult.isEmpty())
        segmentSheet->ShowResultingFlow(display.SegmentResult);
    if (!display.DirectResult.isEmpty())
        directControlSheet->ShowResultingFlow(display.DirectResult);
    if (device.DevType == dtPump) {
        MM(display.SegmentCommand);
        MM(display.DirectCommand);
    }
}

void TGUIF::DeviceDetailsUI(TDeviceInfo& aDevInfo)
{
    TDeviceInfo focusedDevice;
    const bool focused = GetSelectedDevice(focusedDevice) && focusedDevice.COMPort == aDevInfo.COMPort;
    if (focused) {
        segmentSheet->ShowDevice(aDevInfo);
        directControlSheet->ShowDevice(aDevInfo);
    }
    SegmentSerie(aDevInfo);
    // The caller's record learns its series too, so storing it later keeps it.
    TDeviceInfo stored;
    if (GetDeviceByPort(aDevInfo.COMPort, stored))
        aDevInfo.SerieSegment = stored.SerieSegment;
    ShowDeviceRow(aDevInfo);
    if (focused) {
        configureSheet->ShowDevice(aDevInfo);
        // A pump's maximum flow is its own, in µl/min, not a gas unit's.
        if (aDevInfo.DevType == dtPump)
            segmentSheet->ShowMaxFlow(aDevInfo.MaxFlow_ulpm, QStringLiteral("µl/min"));
        else
            UpdateGasFlowUnits();
    }
    MemoSegmentsUpdate();
}

void TGUIF::ButtonApplyConfigurationClick()
{
    TDeviceInfo device;
    if (!GetSelectedDevice(device))
        return;
    TConfigurePage page = configureSheet->Read(device);
    page.DirectSetpoint = directControlSheet->DesiredFlow();
    try {
        if (ApplyConfiguration(device, page, runControl, engine, *this))
            MixMakerComponentSetup();
    } catch (const TarvoError& error) {
        ShowMessage(error.Message());
    }
}
