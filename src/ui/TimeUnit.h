#pragma once

#include <QString>

// The displayed time unit: minutes per unit and the letter of the captions.
struct TTimeUnit {
    double Factor = 1;
    QString Suffix = QStringLiteral("m");
};

// "MINUTE", "HOUR" or "DAY"; false for any other name.
bool TimeUnitByName(const QString& name, TTimeUnit& unit);

// The time axis' end in the new unit, extended by ten minutes.
double RescaledTimeAxisStop(double stop, double oldFactor, double newFactor);
