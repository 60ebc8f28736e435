#include "gas/MixtureReports.h"

#include "base/TextHelpers.h"

#include <QLoggingCategory>

namespace {

Q_LOGGING_CATEGORY(lcMixture, "Mixture", QtWarningMsg)

const QString LineEnd = QStringLiteral("\r\n");
constexpr double PartsPerMillion = 1000000;

// A number too wide for its column keeps every digit and pushes the row
// out: a relative humidity of 2010.774 % cut to "010.774" would read as 10 %.
QString Right(const QString& number, int width)
{
    return number.rightJustified(width, QLatin1Char(' '));
}

QString Left(const QString& text, int width)
{
    return text.leftJustified(width, QLatin1Char(' '), true);
}

// "0.000 000": six decimals, a blank after the third.
QString SixDecimals(double value)
{
    QString text = FormatFloatDecimals(value, 6, 6);
    if (text.contains(QLatin1Char('.')))
        text.insert(text.size() - 3, QLatin1Char(' '));
    return text;
}

// "# ### ###": a whole number, digits grouped by three.
QString GroupedWhole(double value)
{
    QString text = FormatFloatDecimals(value, 0, 0);
    const qsizetype firstDigit = text.startsWith(QLatin1Char('-')) ? 1 : 0;
    for (qsizetype at = text.size() - 3; at > firstDigit; at -= 3)
        text.insert(at, QLatin1Char(' '));
    return text;
}

// "0.0## ###": one to six decimals, a blank after the third.
QString UpToSixDecimals(double value)
{
    QString text = FormatFloatDecimals(value, 1, 6);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    if (point >= 0 && text.size() - point - 1 > 3)
        text.insert(point + 4, QLatin1Char(' '));
    return text;
}

QString MassFlowLine(const TGasItem& item)
{
    return QStringLiteral("    ") + Left(item.NameShort, 10) + QStringLiteral("    ")
         + SixDecimals(item.MassFlow_gmin) + QStringLiteral(" g/min") + LineEnd;
}

void AppendLeafLines(const TGasItem& item, QString& text)
{
    if (item.Components.isEmpty()) {
        text += MassFlowLine(item);
        return;
    }
    for (const TGasItem& component : item.Components)
        AppendLeafLines(component, text);
}

} // namespace

QString MixtureDetails(const TGasItem& Item)
{
    if (!Item.ComponentsNormalized) {
        qCDebug(lcMixture) << "MixtureDetails function cannot be called with design-time mixture.";
        return QString();
    }
    QString text = QStringLiteral("             Molar mass        Mass     Partial") + LineEnd
                 + QStringLiteral("Components   g/mol         fraction    pressure") + LineEnd;
    for (const TGasItem& component : Item.Components) {
        text += PadLeft(component.NameShort, 10) + QStringLiteral("   ") + Right(SixDecimals(component.GetMolarMass()), 10)
              + QStringLiteral("  ") + Right(SixDecimals(component.MassFraction), 10) + QStringLiteral("  ")
              + Right(SixDecimals(component.PartialPressure), 10) + QStringLiteral("  ") + LineEnd;
    }
    text += LineEnd + QStringLiteral("      Flow   Unit      Temperature     Pressure") + LineEnd;
    // The summary's own atmosphere: 1.013 bar, not the normal 1.01325.
    constexpr double SummaryPressureBarA = 1.013;
    const double moles = Item.MassFlow_gmin / Item.GetMolarMass();
    const struct {
        double temperatureC;
        const char* rest;
    } flows[] = {{0, "   mln/min           0ºC    1.013 bar"},
                 {25, "   ml/min           25ºC    1.013 bar"},
                 {150, "   ml/min          150ºC    1.013 bar"}};
    for (const auto& flow : flows) {
        text += Right(FormatFloatDecimals(VolumetricFlow_mlmin(SummaryPressureBarA, flow.temperatureC, moles), 1, 1), 10)
              + QString::fromUtf8(flow.rest) + LineEnd;
    }
    text += Right(SixDecimals(Item.MassFlow_gmin), 10) + QStringLiteral("   g/min") + LineEnd;
    text += Right(SixDecimals(moles), 10) + QStringLiteral("   mol/min") + LineEnd;
    return text;
}

QString MixtureInputsReport(const TGasItem& Item)
{
    QString text = QStringLiteral("  Inputs:") + LineEnd;
    for (const TGasItem& component : Item.Components)
        text += MassFlowLine(component);
    return text;
}

QString MixtureComponentsReport(const TGasItem& Item)
{
    QString text;
    AppendLeafLines(Item, text);
    return text;
}

QString PartialPressuresReport(const TGasItem& Item)
{
    QString text;
    for (const TGasItem& component : Item.Components) {
        const double ppm = component.PartialPressure * PartsPerMillion;
        text += QStringLiteral("    ") + Left(component.NameShort, 12);
        if (ppm > 1)
            text += QStringLiteral("    ") + Right(GroupedWhole(ppm) + QStringLiteral(" ppm"), 13);
        else
            text += QStringLiteral("     ") + Right(UpToSixDecimals(ppm) + QStringLiteral(" ppm"), 12);
        text += LineEnd;
    }
    return text;
}

QString VolumetricFlowsReport(const TGasItem& Item, const TVecArr& Conditions)
{
    QString text = QStringLiteral("   ºC     BarA  ");
    for (const TGasItem& component : Item.Components)
        text += PadLeft(component.NameShort, 9) + QLatin1Char(' ');
    text += QStringLiteral("      Tot") + LineEnd;
    for (const TDoubleVec& row : Conditions) {
        text += Right(FloatToStr(row.TempC), 5) + QStringLiteral("  ") + Right(FloatToStr(row.PresBarA), 7)
              + QStringLiteral("  ");
        double total = 0;
        for (const TGasItem& component : Item.Components) {
            const double molarMass = component.GetMolarMass();
            if (molarMass > 0) {
                const double flow = VolumetricFlow_mlmin(row.PresBarA, row.TempC, component.MassFlow_gmin / molarMass);
                total += flow;
                text += Right(FormatFloatDecimals(flow, 1, 1), 9);
            } else {
                text += Right(QStringLiteral("Err"), 9);
            }
            text += QLatin1Char(' ');
        }
        text += Right(FormatFloatDecimals(total, 1, 1), 9) + LineEnd;
    }
    return text;
}

QString HumidityReport(const TGasItem& Item, const TVecArr& Conditions)
{
    const double current = Item.FluidPartialPressure;
    QString text = QStringLiteral("    ºC      BarA  Max ppm/100%RH  Current ppm     RH %") + LineEnd;
    for (const TDoubleVec& row : Conditions) {
        if (row.PresBarA == 0)
            continue;
        const double saturationBarA = SaturationVapourPressure(row.TempC) / 1000; // hPa to bar
        const double saturation = saturationBarA / row.PresBarA;
        text += QStringLiteral("  ") + Right(FloatToStr(row.TempC), 4) + QStringLiteral("  ")
              + Right(FloatToStr(row.PresBarA), 8) + QStringLiteral("  ")
              + Right(GroupedWhole(saturation * PartsPerMillion), 14) + QStringLiteral("  ")
              + Right(GroupedWhole(current * PartsPerMillion), 11) + QStringLiteral("  ")
              + Right(FormatFloatDecimals(current / saturation * 100, 3, 3), 7) + QStringLiteral("  ") + LineEnd;
    }
    return text;
}
