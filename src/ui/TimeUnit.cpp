#include "ui/TimeUnit.h"

bool TimeUnitByName(const QString& name, TTimeUnit& unit)
{
    if (name == QLatin1String("MINUTE"))
        unit = {1, QStringLiteral("m")};
    else if (name == QLatin1String("HOUR"))
        unit = {60, QStringLiteral("h")};
    else if (name == QLatin1String("DAY"))
        unit = {1440, QStringLiteral("d")};
    else
        return false;
    return true;
}

double RescaledTimeAxisStop(double stop, double oldFactor, double newFactor)
{
    constexpr double ExtensionMinutes = 10;
    return stop * oldFactor / newFactor + ExtensionMinutes / newFactor;
}
