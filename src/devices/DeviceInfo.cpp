#include "devices/DeviceInfo.h"

#include "base/Clock.h"

QString DeviceTypeName(tDeviceType type)
{
    switch (type) {
    case dtMFCA: return QStringLiteral("MFC-A");
    case dtMFCB: return QStringLiteral("MFC-B");
    case dtMFCC: return QStringLiteral("MFC-C");
    case dtMFCD: return QStringLiteral("MFC-D");
    case dtPump: return QStringLiteral("Pump");
    case dtMFCDemo: return QStringLiteral("MFC");
    }
    return QString();
}

QString DeviceInstrumentName(tDeviceType type)
{
    switch (type) {
    case dtMFCA:
    case dtMFCB:
    case dtMFCC:
    case dtMFCD: return QStringLiteral("Brisol");
    case dtPump: return QStringLiteral("Nivra");
    case dtMFCDemo: return QStringLiteral("Simulated");
    }
    return QString();
}

double DeviceElapsedMinutes(const TDeviceInfo& device)
{
    return (MonotonicNow() - device.FlowStartTime) * MinutesPerDay;
}
