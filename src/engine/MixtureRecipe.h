#pragma once

#include "gas/MixtureCalculations.h"

#include <QString>

struct TDeviceInfo;

// A mixture recipe: one line per device, "PORT SETPOINT [S|R]", the setpoint
// in percent of the device's full scale. Ports match without regard to case.

// The conditions of the volumetric-flow and humidity tables.
TVecArr MixtureConditions();

// Appends one component per line to Mixture (the device's gas with its mass
// flow in g/min) and one line per device to Summary. On a problem Errors
// holds its message and no later line adds anything; true when none.
bool ParseRecipe(const QString& Recipe, QString& Summary, TGasItem& Mixture, QString& Errors);

// The Mixtures page's result: the mixture's reports, or the parse problem.
// Valid tells which.
QString EvaluateRecipe(const QString& Recipe, const QString& MixtureName, bool& Valid);

// What adding a recipe's segments needs of the window.
class TMixtureRecipeView {
public:
    virtual ~TMixtureRecipeView() = default;
    virtual void MM(const QString& message) = 0;
    virtual void RefreshDevice(TDeviceInfo& device) = 0;
};

// "Add": every line becomes a segment at Minutes (rounded to whole minutes)
// in its device's program, replacing a segment at that time. Lines whose
// port has no device are skipped. A segment that would make a program
// invalid, or a failed store, ends the adding with a message box.
void AddRecipeSegments(const QString& Recipe, bool RecipeValid, double Minutes, const QString& Note,
                       TMixtureRecipeView& view);
