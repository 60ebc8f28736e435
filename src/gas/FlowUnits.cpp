#include "gas/FlowUnits.h"

#include "base/TextHelpers.h"

#include <QLoggingCategory>

#include <cmath>

namespace {

Q_LOGGING_CATEGORY(lcFlowUnits, "FlowUnits", QtWarningMsg)

// L·bar/(K·mol)
constexpr double GasConstant = 0.08314462618153272;
constexpr double CelsiusToKelvinOffset = 273.15;
// Conditions at which the instruments state their full scale (SCCM).
constexpr double StandardTemperatureK = 298.15;
constexpr double StandardPressureBarA = 1.01325;

const QString LineEnd = QStringLiteral("\r\n");

// SCC and MLN carry no conditions of their own: a volume is always measured
// at the record's Temperature and Pressure_BarA.
bool IsMillilitreSized(TGasFlowVolumeUnit unit)
{
    return unit == gfvuCC || unit == gfvuSCC || unit == gfvuML || unit == gfvuMLN;
}

double LitresPerVolumeUnit(TGasFlowVolumeUnit unit)
{
    if (IsMillilitreSized(unit))
        return 0.001;
    if (unit == gfvuL)
        return 1.0;
    if (unit == gfvuuL)
        return 0.000001;
    return 0;
}

// Kept apart from LitresPerVolumeUnit: multiplying by 1000 and dividing by
// 0.001 differ in the last digit.
double VolumeUnitsPerLitre(TGasFlowVolumeUnit unit)
{
    if (IsMillilitreSized(unit))
        return 1000;
    if (unit == gfvuuL)
        return 1000000;
    return 1;
}

double SecondsPerTimeUnit(TGasFlowTimeUnit unit)
{
    switch (unit) {
    case gftSecond:
        return 1;
    case gfMinute:
        return 60;
    case gftHour:
        return 3600;
    case gftDay:
        return 86400;
    case gftUndefined:
        break;
    }
    return 0;
}

// Absolute reference temperature of a volumetric unit; callers have made sure
// the scale is defined.
double AbsoluteTemperatureK(const TGasFlowDetails& details)
{
    switch (details.TemperatureUnit) {
    case tuC:
        return ConvertTemperature(tcCtoK, details.Temperature);
    case tuF:
        return ConvertTemperature(tcFtoK, details.Temperature);
    case tuK:
    case tuUndefined:
        break;
    }
    return details.Temperature;
}

void AppendLine(QString& text, const QString& line)
{
    text += line + LineEnd;
}

void AppendValueLine(QString& report, const QString& label, double value)
{
    AppendLine(report, label + FloatToStr(value));
}

// Grams per minute of the full scale, a volume in SCCM.
double FullScaleGramsPerMinute(const TGasFlowDetails& details)
{
    return IdealGasMass(details.GasMolarMass, StandardTemperatureK, StandardPressureBarA,
                        details.pGasFlowMax / 1000);
}

void CheckUnitDefined(const TGasFlowDetails& details, const QString& side, QString& errors)
{
    const bool volumetric = details.GasFlowType == gfuVolumetric;
    if (details.GasFlowType == gfuUndefined)
        AppendLine(errors, side + QStringLiteral(" GasFlowType is Undefined"));
    if (details.GasFlowTimeUnit == gftUndefined)
        AppendLine(errors, side + QStringLiteral(" GasFlowTimeUnit is Undefined"));
    if (volumetric && details.TemperatureUnit == tuUndefined)
        AppendLine(errors, side + QStringLiteral(" TemperatureUnit is Undefined"));
    if (volumetric && details.GasFlowVolumeUnit == gfvuUndefined)
        AppendLine(errors, side + QStringLiteral(" GasFlowVolumeUnit is Undefined"));
}

} // namespace

TGasFlowDetails FlowUnitGramsPerMinute;
TGasFlowDetails FlowUnitMillilitresPerMinute;
TGasFlowDetails FlowUnitMicrolitresPerMinute;

void TGasFlowDetails::SetGasFlowMax(double MaxFlowinAlicatSCCM)
{
    pGasFlowMax = MaxFlowinAlicatSCCM;
}

bool TGasFlowDetails::IsValid(QString& Feedback) const
{
    QString problems;
    if (Name.isEmpty())
        AppendLine(problems, QStringLiteral("Lacking \"Name\""));
    if (std::isnan(GasFlowValue))
        AppendLine(problems, QStringLiteral("\"GasFlowValue\" is not a valid float"));
    if (std::isnan(GasMolarMass))
        AppendLine(problems, QStringLiteral("\"GasMolarMass\" is not a valid float"));
    if (GasMolarMass <= 0)
        AppendLine(problems, QStringLiteral("\"GasMolarMass\" value not above zero"));
    if (GasName.isEmpty())
        AppendLine(problems, QStringLiteral("Lacking \"GasName\""));
    if (GasFlowType == gfuUndefined)
        AppendLine(problems, QStringLiteral("\"GasFlowType\" is undefined"));
    if (GasFlowType == gfuVolumetric) {
        if (GasFlowVolumeUnit == gfvuUndefined)
            AppendLine(problems, QStringLiteral("\"GasFlowVolumeUnit\" is undefined"));
        if (std::isnan(Temperature))
            AppendLine(problems, QStringLiteral("\"Temperature\" is not a valid float\""));
        if (TemperatureUnit == tuC && Temperature < -273.15)
            AppendLine(problems, QStringLiteral("Absolute zero or below \"Temperature\" ºC"));
        if (TemperatureUnit == tuF && Temperature < -459.67)
            AppendLine(problems, QStringLiteral("Absolute zero or below \"Temperature\" ºF"));
        if (TemperatureUnit == tuK && Temperature < 0.1)
            AppendLine(problems, QStringLiteral("Absolute zero or below \"Temperature\" ºK"));
        if (TemperatureUnit == tuUndefined)
            AppendLine(problems, QStringLiteral("\"TemperatureUnit\" undefined"));
        if (Pressure_BarA <= 0)
            AppendLine(problems, QStringLiteral("Absolute zero or below \"Pressure\""));
    }
    if (GasFlowTimeUnit == gftUndefined)
        AppendLine(problems, QStringLiteral("\"GasFlowTimeUnit\" is undefined"));

    Feedback.clear();
    if (problems.isEmpty())
        return true;
    AppendLine(Feedback, QStringLiteral("Gas flow details failure, cannot proceed to calculations:"));
    AppendLine(Feedback, QStringLiteral("Name:") + Name);
    Feedback += problems;
    return false;
}

TGasFlowDetails TGasFlowDetails::Clone() const
{
    return *this;
}

namespace {

// A per-minute unit at standard pressure.
TGasFlowDetails StandardUnit(const QString& name, TGasFlowType type, TGasFlowVolumeUnit volumeUnit,
                             double temperatureC)
{
    TGasFlowDetails unit;
    unit.Name = name;
    unit.GasFlowType = type;
    unit.GasFlowVolumeUnit = volumeUnit;
    unit.GasFlowTimeUnit = gfMinute;
    unit.Temperature = temperatureC;
    unit.TemperatureUnit = tuC;
    unit.Pressure_BarA = StandardPressureBarA;
    return unit;
}

} // namespace

void InitializeStandardFlowUnits()
{
    FlowUnitGramsPerMinute = StandardUnit(QStringLiteral("g/min"), gfuGrams, gfvuUndefined, 0);
    FlowUnitMillilitresPerMinute = StandardUnit(QStringLiteral("ml/min"), gfuVolumetric, gfvuMLN, 25);
    FlowUnitMillilitresPerMinute.GasName = QStringLiteral("Air");
    FlowUnitMillilitresPerMinute.GasMolarMass = 28.9647;
    FlowUnitMicrolitresPerMinute = StandardUnit(QStringLiteral("µl/min"), gfuVolumetric, gfvuMLN, 20);
}

bool ConvertGasFlow(const TGasFlowDetails& From, TGasFlowDetails& To, QString& Errors, QString& Report)
{
    Errors.clear();
    Report.clear();
    AppendValueLine(Report, QStringLiteral("       Volume: "), From.GasFlowValue);

    CheckUnitDefined(From, QStringLiteral("From"), Errors);
    CheckUnitDefined(To, QStringLiteral("To"), Errors);
    if (!Errors.isEmpty())
        return false;

    const bool fromVolumetric = From.GasFlowType == gfuVolumetric;
    double fromTemperatureK = 0;
    if (fromVolumetric) {
        fromTemperatureK = AbsoluteTemperatureK(From);
        if (fromTemperatureK <= 0)
            AppendLine(Errors, QStringLiteral("GasFrom: Absolute zero temperature. Cannot perform math."));
        // Below zero is refused as well: it would turn into a negative mass.
        if (!(From.Pressure_BarA > 0))
            AppendLine(Errors, QStringLiteral("GasFrom: Absolute zero pressure. Cannot perform math."));
        if (!Errors.isEmpty())
            return false;
    }

    AppendLine(Report, QStringLiteral("Gas from details: "));
    AppendLine(Report, QStringLiteral("            Unit: ") + From.Name);
    AppendLine(Report, QStringLiteral("       Time unit: ") + GasFlowTimeUnitName(From.GasFlowTimeUnit));

    double mass = From.GasFlowValue;
    if (fromVolumetric) {
        const double litres = From.GasFlowValue * LitresPerVolumeUnit(From.GasFlowVolumeUnit);
        mass = IdealGasMass(From.GasMolarMass, fromTemperatureK, From.Pressure_BarA, litres);
        AppendValueLine(Report, QStringLiteral("       Volume: "), From.GasFlowValue);
        AppendValueLine(Report, QStringLiteral("       Volume, L: "), litres);
        AppendValueLine(Report, QStringLiteral("  Pressure, barA: "), From.Pressure_BarA);
        AppendValueLine(Report, QStringLiteral("  Temperature, K: "), fromTemperatureK);
    }

    // Also refuses a NaN molar mass.
    if (!(From.GasMolarMass > 0)) {
        Report += QStringLiteral(" GasFromMolarMass = 0 ");
        return false;
    }
    const double moles = mass / From.GasMolarMass;
    AppendValueLine(Report, QStringLiteral("      Molar mass: "), From.GasMolarMass);
    AppendValueLine(Report, QStringLiteral("         Mass, g: "), mass);
    AppendValueLine(Report, QStringLiteral("           Moles: "), moles);
    Report += LineEnd;

    const double toMass = ConvertFlowTimeUnit(From.GasFlowTimeUnit, To.GasFlowTimeUnit, mass);
    const double toMoles = ConvertFlowTimeUnit(From.GasFlowTimeUnit, To.GasFlowTimeUnit, moles);
    AppendLine(Report, QStringLiteral("  Gas to details: "));
    AppendLine(Report, QStringLiteral("            Unit: ") + To.Name);
    AppendLine(Report, QStringLiteral("       Time unit: ") + GasFlowTimeUnitName(To.GasFlowTimeUnit));
    AppendValueLine(Report, QStringLiteral("      Molar mass: "), From.GasMolarMass);
    AppendValueLine(Report, QStringLiteral("         Mass, g: "), toMass);
    AppendValueLine(Report, QStringLiteral("           Moles: "), toMoles);

    if (To.GasFlowType == gfuGrams) {
        To.GasFlowValue = toMass;
        To.GasMolarMass = From.GasMolarMass;
        return true;
    }

    // No volume exists at a reference pressure of zero or below; refuse
    // before dividing by it, so no infinite or negative flow reaches a caller.
    if (!(To.Pressure_BarA > 0)) {
        AppendLine(Errors, QStringLiteral("GasTo: Absolute zero pressure. Cannot perform math."));
        return false;
    }
    const double toTemperatureK = AbsoluteTemperatureK(To);
    const double toLitres = IdealGasVolume(toMoles, toTemperatureK, To.Pressure_BarA);
    AppendLine(Report, QStringLiteral("Continuing to volumetrics"));
    AppendValueLine(Report, QStringLiteral("  Pressure, barA: "), To.Pressure_BarA);
    AppendValueLine(Report, QStringLiteral(" Temperature, ºC: "), To.Temperature);
    AppendValueLine(Report, QStringLiteral(" Temperature, ºK: "), toTemperatureK);
    AppendValueLine(Report, QStringLiteral("       Volume, L: "), toLitres);

    To.GasFlowValue = toLitres * VolumeUnitsPerLitre(To.GasFlowVolumeUnit);
    To.GasMolarMass = From.GasMolarMass;
    AppendLine(Report, QStringLiteral("          Volume: ") + FloatToStr(To.GasFlowValue) + QLatin1Char(' ') + To.Name);
    return true;
}

double ConvertFlowTimeUnit(TGasFlowTimeUnit FromUnit, TGasFlowTimeUnit ToUnit, double Value)
{
    const double fromSeconds = SecondsPerTimeUnit(FromUnit);
    // An undefined time base holds no rate: nothing to express it in.
    if (fromSeconds == 0)
        return 0;
    return Value * SecondsPerTimeUnit(ToUnit) / fromSeconds;
}

double ConvertTemperature(TTemperatureConversion Conversion, double Value)
{
    switch (Conversion) {
    case tcCtoF:
        return Value * 1.8 + 32;
    case tcCtoK:
        return Value + CelsiusToKelvinOffset;
    case tcFtoC:
        return (Value - 32) * 5 / 9;
    case tcFtoK:
        return (Value - 32) * 5 / 9 + CelsiusToKelvinOffset;
    case tcKtoC:
        return Value - CelsiusToKelvinOffset;
    case tcKtoF:
        return (Value - CelsiusToKelvinOffset) * 1.8 + 32;
    }
    return Value;
}

double IdealGasMass(double MolarMass, double TemperatureK, double PressureBarA, double VolumeL)
{
    const double moles = PressureBarA * VolumeL / (TemperatureK * GasConstant);
    return moles * MolarMass;
}

double IdealGasVolume(double Moles, double TemperatureK, double PressureBarA)
{
    return Moles * GasConstant * TemperatureK / PressureBarA;
}

QString GasFlowTimeUnitName(TGasFlowTimeUnit unit)
{
    switch (unit) {
    case gftSecond:
        return QStringLiteral("second");
    case gfMinute:
        return QStringLiteral("minute");
    case gftHour:
        return QStringLiteral("hour");
    case gftDay:
        return QStringLiteral("day");
    case gftUndefined:
        break;
    }
    return QStringLiteral("undefined");
}

double MaxFlowInUnit(const TGasFlowDetails& Details)
{
    switch (Details.GasFlowType) {
    case gfuVolumetric:
        // A full scale cannot be stated at a reference pressure of zero or below.
        if (!(Details.Pressure_BarA > 0))
            return 0;
        return Details.pGasFlowMax * StandardPressureBarA * (Details.Temperature + CelsiusToKelvinOffset)
            / (StandardTemperatureK * Details.Pressure_BarA);
    case gfuGrams:
        return FullScaleGramsPerMinute(Details);
    case gfuUndefined:
        break;
    }
    return 0;
}

double MaxFlowGramsPerMinute(const TGasFlowDetails& Details)
{
    qCDebug(lcFlowUnits).noquote() << "MaxFlowGramsPerMinute full scale, SCCM:" << FloatToStr(Details.pGasFlowMax);
    qCDebug(lcFlowUnits).noquote() << "MaxFlowGramsPerMinute temperature, K:" << FloatToStr(StandardTemperatureK);
    qCDebug(lcFlowUnits).noquote() << "MaxFlowGramsPerMinute molar mass:" << FloatToStr(Details.GasMolarMass);
    return FullScaleGramsPerMinute(Details);
}

void SetGramsPerMinute(TGasFlowDetails& Details)
{
    Details.Name = QStringLiteral("g/min");
    Details.GasFlowType = gfuGrams;
    Details.GasFlowVolumeUnit = gfvuUndefined;
    Details.GasFlowTimeUnit = gfMinute;
    // Meaningless for a mass unit; set so that no stale volumetric conditions remain.
    Details.Temperature = 1000;
    Details.TemperatureUnit = tuC;
    Details.Pressure_BarA = 1000;
}
