#pragma once

#include "gas/MixtureCalculations.h"

#include <QString>

// Fixed-width text reports of a mixture for a fixed-pitch font; every line
// ends with CR LF.

// Components with molar mass, mass fraction and partial pressure, then the
// total flow at 0, 25 and 150 °C. Empty for an item that is not a normalised
// mixture.
QString MixtureDetails(const TGasItem& Item);
// "  Inputs:" and one line per top-level component with its mass flow.
QString MixtureInputsReport(const TGasItem& Item);
// One line per elemental leaf, depth first, with its mass flow.
QString MixtureComponentsReport(const TGasItem& Item);
// One line per component with its partial pressure in ppm.
QString PartialPressuresReport(const TGasItem& Item);
// Component and total volumetric flows in ml/min, one row per condition.
QString VolumetricFlowsReport(const TGasItem& Item, const TVecArr& Conditions);
// Water content at saturation and as delivered, and the relative humidity,
// one row per condition; rows with pressure 0 are left out.
QString HumidityReport(const TGasItem& Item, const TVecArr& Conditions);
