#include "devices/DeviceSearch.h"

#include "base/Errors.h"
#include "base/TextHelpers.h"
#include "devices/DeviceRegistry.h"
#include "mfc/AlicatMFC.h"
#include "pump/PSD4.h"
#include "serial/PortLock.h"

namespace {

const QString LineEnd = QStringLiteral("\r\n");
const QString IdentifyMFC = QStringLiteral("A??M5\r");

void AppendLine(QString& report, const QString& line)
{
    report += line + LineEnd;
}

void AppendSectionHead(QString& report, const QString& title, const QString& port)
{
    report += LineEnd;
    AppendLine(report, title);
    AppendLine(report, QStringLiteral("    Query port:") + port);
}

} // namespace

bool SearchMFCOnPort(const QString& Port, QString& Report, TDeviceInfo& Device)
{
    AppendSectionHead(Report, QStringLiteral("  Details for MFC search"), Port);
    QString status;
    QString reply;
    TPortLock lock;
    QString refusal;
    bool answered = false;
    if (lock.Acquire(Port, refusal)) {
        // Asked twice: only the second answer counts, the first may meet an
        // instrument still waking up or a line holding noise.
        TAlicatMFC::SendASCII(Port, IdentifyMFC, true, status, reply);
        answered = TAlicatMFC::SendASCII(Port, IdentifyMFC, true, status, reply);
    }
    if (!answered) {
        AppendLine(Report, QStringLiteral("    => Failed to communicate"));
        return false;
    }
    AppendLine(Report, QStringLiteral("    Port ") + Port + QStringLiteral(" was opened, command sent"));
    AppendLine(Report, QStringLiteral("    Response  : *") + reply + QLatin1Char('*'));
    AppendLine(Report, QStringLiteral("    Status    : ") + status);
    if (FindKnownDevice(TrimControl(reply), Device)) {
        AppendLine(Report, QStringLiteral("    => *** MFC found ***"));
        return true;
    }
    AppendLine(Report, QStringLiteral("    => Invalid serial number for MFC"));
    return false;
}

bool SearchPumpOnPort(const QString& Port, QString& Report, TDeviceInfo& Device)
{
    AppendSectionHead(Report, QStringLiteral("  Details for Pump search"), Port);
    TPortLock lock;
    QString refusal;
    TPSD4 pump;
    if (!lock.Acquire(Port, refusal) || !pump.Connect(Port)) {
        AppendLine(Report, QStringLiteral("    => No pump on port"));
        return false;
    }
    // A pump whose stored strings do not make a number is a pump with a wrong
    // serial, like one that stores an unknown number: the search goes on.
    QString serialText = QStringLiteral("unreadable");
    bool found = false;
    try {
        const qint32 serial = pump.Serial();
        serialText = QString::number(serial);
        found = serial > 0 && FindKnownDevice(serialText, Device);
    } catch (const EConvertError&) {
    }
    if (found)
        AppendLine(Report, QStringLiteral("    => Pump found:") + Device.NameRole);
    else
        AppendLine(Report, QStringLiteral("    => Pump found but wrong serial"));
    AppendLine(Report, QStringLiteral("    => Pump serial:") + serialText);
    return found;
}

int SearchPorts(const QStringList& ports, TDeviceSearchView& view)
{
    view.MM(QStringLiteral("Found ports: ") + ports.join(QLatin1Char(',')));
    int found = 0;
    for (const QString& port : ports) {
        view.MM(QStringLiteral("Scanning port: ") + port);
        QString report;
        TDeviceInfo device;
        view.MM(QStringLiteral("...for MFC"));
        if (SearchMFCOnPort(port, report, device)) {
            view.MM(QStringLiteral("Valid MFC found!!!"));
        } else {
            view.MM(QStringLiteral("...for Pump"));
            if (SearchPumpOnPort(port, report, device)) {
                view.MM(QStringLiteral("Pump found!!!"));
            } else {
                view.MM(QStringLiteral("No valid MFC or Pump on port"));
                view.MM(report);
                continue;
            }
        }
        view.DeviceFound(port, device);
        ++found;
    }
    return found;
}

TDeviceInfo AddFoundDevice(const QString& port, const TDeviceInfo& known)
{
    TDeviceInfo device;
    if (GetDeviceByPort(port, device))
        return device;
    device = known;
    device.COMPort = port;
    DevicesLocal.append(device);
    return device;
}
