#include "devices/DeviceFluidName.h"

#include "devices/DeviceInfo.h"
#include "gas/GasList.h"

QString DeviceFluidName(const TDeviceInfo& device)
{
    if (device.DevType == dtPump)
        return QStringLiteral("Pump");
    TGasItem gas;
    GetGas_ID(device.FluidID, gas);
    switch (gas.GasType()) {
    case tElemental: return gas.NameShort;
    case tMixture: return QStringLiteral("Mixture");
    case tDesignTimeMix: return QStringLiteral("Unknown");
    }
    return QStringLiteral("Unknown");
}
