#pragma once

#include "gas/GasItem.h"

#include <QList>

// What several devices deliver together into one stream. A mixture here is a
// TGasItem whose components carry mass flows in g/min; the item's own
// MassFlow_gmin is the total.

// One set of conditions of a report row.
struct TDoubleVec {
    double TempC = 0;
    double PresBarA = 0;
};
using TVecArr = QList<TDoubleVec>;

// Splits the item's mass flow over its components by mass fraction. False,
// nothing changed, when a component has no molar mass or the molar-mass
// weighted sum of the fractions is 0.
bool PopulateComponentMasses(TGasItem& Item);
// Partial pressures and mass fractions of the components from their mass
// flows, and the item's total mass flow; marks the item normalised. Leaves
// the item untouched when a component has no molar mass or nothing flows.
void PopulatePartialPressures(TGasItem& Item);
// Appends to Target the elemental components of Source and of Source's
// mixtures, two levels deep, mass flows kept. Two entries of one gas stay two.
void AppendElementalComponents(const TGasItem& Source, TGasItem& Target);
// Millilitres per minute of a molar flow; -1 for a pressure that is not positive.
double VolumetricFlow_mlmin(double PressureBarA, double TemperatureC, double MolesPerMinute);
// Saturation vapour pressure of water in hPa, over ice at 0 °C and below.
double SaturationVapourPressure(double TemperatureC);
