#include "gas/GasItem.h"

#include "base/Errors.h"
#include "base/Prompts.h"
#include "base/TextHelpers.h"

#include <algorithm>

namespace {

// L·bar/(K·mol)
constexpr double GasConstant = 0.0831446261815324;
constexpr double NormalTemperatureK = 273.15;
constexpr double NormalPressureBarA = 1.01325;

// Percent with at most one decimal and no leading zero below 1: 21, 1.5, .4.
QString PercentText(double fraction)
{
    QString text = FormatFloatDecimals(fraction * 100, 0, 1);
    if (text.startsWith(QLatin1String("0.")))
        text.remove(0, 1);
    else if (text.startsWith(QLatin1String("-0.")))
        text.remove(1, 1);
    return text;
}

} // namespace

QString GasTypeName(TGasType type)
{
    switch (type) {
    case tElemental:
        return QStringLiteral("tElemental");
    case tMixture:
        return QStringLiteral("tMixture");
    case tDesignTimeMix:
        return QStringLiteral("tDesignTimeMix");
    }
    return QString();
}

bool IsFluidID(qint32 ID)
{
    return ID >= 1000 && ID <= 9999;
}

TGasType TGasItem::GasType() const
{
    if (Components.isEmpty())
        return tElemental;
    return ComponentsNormalized ? tMixture : tDesignTimeMix;
}

bool TGasItem::GetCorrosive() const
{
    if (Components.isEmpty())
        return _CorrosiveFlag;
    return std::all_of(Components.cbegin(), Components.cend(),
                       [](const TGasItem& component) { return component.GetCorrosive(); });
}

QString TGasItem::GetNameLong() const
{
    if (_NameLong != QLatin1String("Undefined") || Components.isEmpty())
        return _NameLong;
    QStringList parts;
    for (const TGasItem& component : Components)
        parts << PercentText(component.PartialPressure) + QLatin1Char('%') + component.GetNameLong();
    return parts.join(QLatin1String(", "));
}

double TGasItem::MolesPerGram() const
{
    const double molarMass = GetMolarMass();
    if (molarMass == 0)
        throw TarvoError(QStringLiteral("Moles per gram pre-work division by zero for: ") + _NameLong
                         + QLatin1Char(' ') + GasTypeName(GasType()));
    return 1 / molarMass;
}

double TGasItem::mlnPerGram() const
{
    const double litres = MolesPerGram() * GasConstant * NormalTemperatureK / NormalPressureBarA;
    return litres * 1000;
}

double TGasItem::GramPermln() const
{
    const double millilitres = mlnPerGram();
    return millilitres > 0 ? 1 / millilitres : 0;
}

bool TGasItem::GetHasFluid() const
{
    if (!ComponentsNormalized) {
        ShowMessage(QStringLiteral("GasHasFluid on nonflat mixture"));
        return false;
    }
    return std::any_of(Components.cbegin(), Components.cend(), [](const TGasItem& component) {
        return IsFluidID(component.AlicatID);
    });
}

void TGasItem::Init()
{
    NameShort = QStringLiteral("Undefined");
    _NameLong = QStringLiteral("Undefined");
    Formula.clear();
    AlicatID = -1;
    PartialPressure = 1.0;
    _CorrosiveFlag = true;
    _MolarMass = 0;
    Components.clear();
}

TGasItem TGasItem::Clone(bool CopyMass) const
{
    TGasItem copy;
    copy.NameShort = NameShort;
    copy.Formula = Formula;
    copy.AlicatID = AlicatID;
    copy.PartialPressure = PartialPressure;
    copy._MolarMass = _MolarMass;
    copy.ComponentsNormalized = ComponentsNormalized;
    copy._NameLong = GetNameLong();
    copy._CorrosiveFlag = GetCorrosive();
    if (CopyMass)
        copy.MassFlow_gmin = MassFlow_gmin;
    copy.Components.reserve(Components.size());
    for (const TGasItem& component : Components)
        copy.Components.append(component.Clone(CopyMass));
    return copy;
}

double TGasItem::GetMolarMass() const
{
    switch (GasType()) {
    case tElemental:
        return _MolarMass;
    case tMixture: {
        double sum = 0;
        for (const TGasItem& component : Components)
            sum += component.GetMolarMass() * component.PartialPressure;
        return sum;
    }
    case tDesignTimeMix:
        break;
    }
    return 1.0;
}
