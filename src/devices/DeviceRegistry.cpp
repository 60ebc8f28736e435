#include "devices/DeviceRegistry.h"

#include "base/TextHelpers.h"

#include <algorithm>

QList<TDeviceInfo> DevicesLocal;
QList<TDeviceInfo> KnownDevices;

int IndexOfDevicePort(const QString& port)
{
    const QString wanted = TrimControl(port);
    for (int i = 0; i < DevicesLocal.size(); ++i) {
        if (TrimControl(DevicesLocal.at(i).COMPort) == wanted)
            return i;
    }
    return -1;
}

bool GetDeviceByPort(const QString& port, TDeviceInfo& device)
{
    const int index = IndexOfDevicePort(port);
    if (index < 0)
        return false;
    device = DevicesLocal.at(index);
    return true;
}

bool StoreDevice(const TDeviceInfo& device)
{
    const int index = IndexOfDevicePort(device.COMPort);
    if (index < 0)
        return false;
    DevicesLocal[index] = device;
    return true;
}

bool FindKnownDevice(const QString& serialText, TDeviceInfo& device)
{
    if (serialText.isEmpty())
        return false;
    for (const TDeviceInfo& known : KnownDevices) {
        if (known.Serial.isEmpty())
            continue;
        if (serialText.contains(known.Serial) || known.Serial.contains(serialText)) {
            device = known;
            return true;
        }
    }
    return false;
}

void SortDevicesLocalArray()
{
    std::sort(DevicesLocal.begin(), DevicesLocal.end(), [](const TDeviceInfo& a, const TDeviceInfo& b) {
        const int byName = a.NameRole.compare(b.NameRole, Qt::CaseInsensitive);
        if (byName != 0)
            return byName < 0;
        return a.DevType < b.DevType;
    });
}
