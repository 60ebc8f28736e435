#pragma once

class QString;
class TDataLog;
class TEngineView;
struct TDeviceInfo;

// The one-second main loop: hands every configured device its setpoint,
// takes its latest reading, plots it and converts it into the operator's
// unit; every three seconds one data row; then the log save and the segment
// table refresh.
class TEngineTick {
public:
    TEngineTick(TEngineView& view, TDataLog& dataLog);

    void Tick();

    // The moment time 0 of the achieved-flow series stands for; 0 until the
    // first program or direct setpoint starts.
    double GraphTimeZero = 0;
    double LastDataRowTime = 0;
    bool DataHeaderPending = true;

    static constexpr int TickIntervalMS = 1000;
    // Marks a device without a value in its data-row column.
    static constexpr double NoReading = -999999;

private:
    // Each returns the device's value for the data row.
    double ServeMFC(int index);
    double ServePump(int index);
    // Takes the fault the device's worker reports: a new one goes to the
    // message log once, and the device list shows the state it leads to.
    void TakeWorkerFault(int index, const QString& fault);
    double GraphMinutes() const;

    TEngineView& view;
    TDataLog& dataLog;
};
