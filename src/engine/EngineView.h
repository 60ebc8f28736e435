#pragma once

#include <QString>
#include <QStringList>

struct TDeviceInfo;
class ThhALed;

// What the engine tick needs of the window. The window implements it; tests
// record the calls.
class TEngineView {
public:
    virtual ~TEngineView() = default;

    virtual void SetEngineLamp(bool lit) = 0;
    virtual void SetDeviceLamp(ThhALed* lamp, bool lit) = 0;
    // One achieved-flow point (minutes since the graph's time zero, percent).
    virtual void FlowSerie(const TDeviceInfo& device, double x, double y) = 0;
    virtual void MM(const QString& message) = 0;
    // The device's "State" in the device list, as it stands now.
    virtual void ShowDeviceState(const TDeviceInfo& device) = 0;
    // The controllers whose flow does not follow their setpoint, by port:
    // their rows are marked and the deviation lamp shows `reasons` as its
    // tool tip. An empty list unmarks every row and puts the lamp out.
    virtual void ShowDeviationAlarm(const QStringList& ports, const QString& reasons) = 0;
    virtual bool AutoScrollChecked() const = 0;
    virtual void ScrollDataTableToEnd() = 0;
    virtual void MemoSegmentsUpdate() = 0;
    // Holds the main thread: after a served device, and to stretch a short tick.
    virtual void Pause(int ms) = 0;
};
