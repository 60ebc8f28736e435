#include "gas/MixtureCalculations.h"

#include <algorithm>
#include <cmath>

namespace {

// L·bar/(K·mol)
constexpr double GasConstant = 0.0831446261815324;
constexpr double ZeroCelsiusK = 273.15;

bool AnyWithoutMolarMass(const TGasItem& Item)
{
    return std::any_of(Item.Components.cbegin(), Item.Components.cend(),
                       [](const TGasItem& component) { return component.GetMolarMass() == 0; });
}

} // namespace

bool PopulateComponentMasses(TGasItem& Item)
{
    if (Item.MassFlow_gmin == 0) {
        for (TGasItem& component : Item.Components)
            component.MassFlow_gmin = 0;
        return true;
    }
    if (Item.Components.isEmpty()) {
        Item.PartialPressure = 1;
        Item.MassFraction = 1;
        return true;
    }
    if (AnyWithoutMolarMass(Item))
        return false;
    double weighted = 0;
    for (const TGasItem& component : std::as_const(Item.Components))
        weighted += component.GetMolarMass() * component.PartialPressure;
    if (weighted == 0)
        return false;
    for (TGasItem& component : Item.Components) {
        component.MassFraction = component.GetMolarMass() * (component.PartialPressure / weighted);
        component.MassFlow_gmin = component.MassFraction * Item.MassFlow_gmin;
    }
    return true;
}

void PopulatePartialPressures(TGasItem& Item)
{
    if (AnyWithoutMolarMass(Item))
        return;
    double moles = 0;
    double mass = 0;
    for (const TGasItem& component : std::as_const(Item.Components)) {
        moles += component.MassFlow_gmin / component.GetMolarMass();
        mass += component.MassFlow_gmin;
    }
    if (moles == 0)
        return;
    for (TGasItem& component : Item.Components) {
        component.PartialPressure = component.MassFlow_gmin / component.GetMolarMass() / moles;
        component.MassFraction = component.MassFlow_gmin / mass;
        if (IsFluidID(component.AlicatID))
            Item.FluidPartialPressure = component.PartialPressure;
    }
    Item.ComponentsNormalized = true;
    Item.MassFlow_gmin = mass;
}

void AppendElementalComponents(const TGasItem& Source, TGasItem& Target)
{
    for (const TGasItem& component : Source.Components) {
        if (component.GasType() == tElemental) {
            Target.Components.append(component);
            continue;
        }
        for (const TGasItem& part : component.Components) {
            if (part.GasType() == tElemental)
                Target.Components.append(part);
        }
    }
}

double VolumetricFlow_mlmin(double PressureBarA, double TemperatureC, double MolesPerMinute)
{
    if (PressureBarA <= 0)
        return -1;
    return GasConstant * MolesPerMinute * (TemperatureC + ZeroCelsiusK) / PressureBarA * 1000;
}

double SaturationVapourPressure(double TemperatureC)
{
    // Huang's formulas give pascal.
    const double t = TemperatureC;
    if (t > 0) {
        const double exponent = 34.494 - 4924.99 / (t + 237.1);
        return std::exp(exponent) / std::pow(t + 105, 1.57) / 100;
    }
    const double exponent = 43.494 - 6545.8 / (t + 278);
    return std::exp(exponent) / std::pow(t + 868, 2) / 100;
}
