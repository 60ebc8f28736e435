#pragma once

#include <QString>
#include <QStringList>

// Published reference conditions for volumetric flow units, as the rows of
// the "Some ref. conditions" list: a header, grams, then the standards.
QStringList ReferenceConditionRows();

// What choosing a row of that list does to the flow-unit editors.
struct TReferenceChoice {
    bool Applies = false;       // false for the header row (and rows not in the list)
    bool SetsConditions = false; // false for the grams row: the fields keep their values
    double TemperatureC = 0;
    double PressureBarA = 0;
    QString UnitName;            // "g/min" or "ml/min"
    bool ShowConditions = false; // temperature and pressure fields and read-outs
};
TReferenceChoice ChooseReferenceRow(int row);

inline constexpr int ReferenceGramsRow = 1;

// The read-outs beside the fields: "68ºF", "14.696 psi".
QString FahrenheitReadout(double temperatureC);
QString PsiReadout(double pressureBar);
