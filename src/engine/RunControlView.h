#pragma once

#include <QString>
#include <QStringList>

struct TDeviceInfo;
class ThhALed;

// What run control needs of the window. The window implements it; tests
// record the calls.
class TRunControlView {
public:
    virtual ~TRunControlView() = default;

    // Ports of the selected rows of the device list, in list order.
    virtual QStringList SelectedPorts() const = 0;
    // The focused row's device; false when no row is focused.
    virtual bool GetSelectedDevice(TDeviceInfo& device) const = 0;
    virtual void MM(const QString& message) = 0;
    // Shows the device in every control (the record is stored on the way).
    virtual void RefreshDevice(TDeviceInfo& device) = 0;
    // Empties the device's achieved-flow series; the record gets the series.
    virtual void ClearFlowSerie(TDeviceInfo& device) = 0;
    // The data log file, chosen (asking the operator when needed) and shown.
    virtual bool FlowDataLogFileEnsure(bool AlwaysAsk) = 0;

    // While all threads stop: the window is covered, disabled and says so.
    virtual void BeginThreadShutdown() = 0;
    // Back to normal, with the graph cleared.
    virtual void EndThreadShutdown() = 0;
    virtual void FreeLamp(ThhALed* lamp) = 0;
    // Every row of the device list shows "Unknown" as its state.
    virtual void ShowAllDevicesUnknown() = 0;
};
