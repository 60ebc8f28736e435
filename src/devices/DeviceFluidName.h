#pragma once

#include <QString>

struct TDeviceInfo;

// The name a device's fluid is shown under: an MFC's gas short name,
// "Mixture" for a built-in mixture, "Unknown" for a mixture as defined,
// "Unconfigured" while no gas is chosen; "Pump" for the pump. An MFC gas
// number the table does not hold raises TarvoError.
QString DeviceFluidName(const TDeviceInfo& device);
