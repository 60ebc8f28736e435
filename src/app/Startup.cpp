#include "app/Startup.h"

#include "devices/DeviceRegistry.h"
#include "gas/GasList.h"

#include <QLocale>

void RunStartupSequence()
{
    // Every number is written and read with "." whatever the system locale says.
    QLocale::setDefault(QLocale::c());
    InitializeGasList();
    InitializeStandardFlowUnits();
    DevicesLocal.clear();
    AddDemonstrationDevices();
    BuildKnownDevices();
}
