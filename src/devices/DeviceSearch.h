#pragma once

#include <QString>
#include <QStringList>

struct TDeviceInfo;

// Probes one port for a mass flow controller: its identification must name a
// known instrument. On success `Device` is that instrument's known-device
// row. The probe's findings are appended to `Report`, line by line.
bool SearchMFCOnPort(const QString& Port, QString& Report, TDeviceInfo& Device);
// Probes one port for a syringe pump whose stored serial number is known.
bool SearchPumpOnPort(const QString& Port, QString& Report, TDeviceInfo& Device);

// Where the search reports to. The search calls it from the thread it runs on.
class TDeviceSearchView {
public:
    virtual ~TDeviceSearchView() = default;
    // One line of the message log (several lines for a port's report).
    virtual void MM(const QString& message) = 0;
    // An instrument of the known-device table answered on `port`.
    virtual void DeviceFound(const QString& port, const TDeviceInfo& known) = 0;
};

// Walks the ports in order, each probed for an MFC and, failing that, for a
// pump, and tells the view each port's result as it comes; the number of
// instruments found. Each probe holds its port while it talks to it: a port
// another user holds counts as one that cannot be used.
int SearchPorts(const QStringList& ports, TDeviceSearchView& view);

// A found instrument joins DevicesLocal under its port, unless the port is
// already there; the record as it is now listed.
TDeviceInfo AddFoundDevice(const QString& port, const TDeviceInfo& known);
