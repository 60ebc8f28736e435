#pragma once

#include "devices/DeviceInfo.h"

#include <QList>

// The application's devices, in device-list order; no two share a COMPort.
extern QList<TDeviceInfo> DevicesLocal;
// The instruments the rig is configured for, built at start-up.
extern QList<TDeviceInfo> KnownDevices;

bool GetDeviceByPort(const QString& port, TDeviceInfo& device);
int IndexOfDevicePort(const QString& port);
bool StoreDevice(const TDeviceInfo& device);
bool FindKnownDevice(const QString& serialText, TDeviceInfo& device);
void SortDevicesLocalArray();

void AddDemonstrationDevices();
void BuildKnownDevices();
