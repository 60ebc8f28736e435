#include "engine/MixtureRecipe.h"

#include "base/Errors.h"
#include "base/Prompts.h"
#include "base/TextHelpers.h"
#include "devices/DeviceRegistry.h"
#include "gas/FlowUnits.h"
#include "gas/GasList.h"
#include "gas/MixtureReports.h"
#include "pump/PumpSpeeds.h"
#include "segments/SegmentRows.h"

namespace {

const QString LineEnd = QStringLiteral("\r\n");

bool IsRecipeCharacter(QChar ch)
{
    const char16_t c = ch.unicode();
    return c == ' ' || c == '.' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Operators write ports as they like ("com6", "ttyusb0"): neither side's
// case counts.
bool GetRecipeDevice(const QString& port, TDeviceInfo& device)
{
    const QString wanted = TrimControl(port);
    for (const TDeviceInfo& candidate : std::as_const(DevicesLocal)) {
        if (TrimControl(candidate.COMPort).compare(wanted, Qt::CaseInsensitive) == 0) {
            device = candidate;
            return true;
        }
    }
    return false;
}

// A line's items: trimmed, then split at every single blank.
QStringList RecipeItems(const QString& line)
{
    return TrimControl(line).split(QLatin1Char(' '));
}

void AddMFCLine(const TDeviceInfo& device, double setpoint, TGasItem& item, QString& summary, QString& errors)
{
    TGasFlowDetails deviceUnit = device.FlowUnitDevice;
    deviceUnit.GasFlowValue = MaxFlowInUnit(deviceUnit);
    deviceUnit.GasMolarMass = item.GetMolarMass();
    QString conversionErrors;
    QString report;
    TGasFlowDetails grams;
    SetGramsPerMinute(grams);
    if (ConvertGasFlow(deviceUnit, grams, conversionErrors, report))
        item.MassFlow_gmin = grams.GasFlowValue * setpoint / 100;
    else
        errors = QStringLiteral("Failed to convert gas flow to g/min");
    TGasFlowDetails userUnit = device.FlowUnitUser;
    if (ConvertGasFlow(deviceUnit, userUnit, conversionErrors, report))
        userUnit.GasFlowValue = userUnit.GasFlowValue * setpoint / 100;
    else
        errors = QStringLiteral("Failed to convert gas flow to user unit: ") + userUnit.Name;
    summary = QStringLiteral("P:") + device.COMPort + QStringLiteral(", G:") + item.NameShort + QStringLiteral(", FU:")
            + FormatFloatDecimals(userUnit.GasFlowValue, 3, 3) + u' ' + userUnit.Name + QStringLiteral(", FD:")
            + FormatFloatDecimals(deviceUnit.GasFlowValue * setpoint / 100, 3, 3) + u' ' + deviceUnit.Name
            + QStringLiteral(", FM:") + FormatFloatDecimals(item.MassFlow_gmin, 6, 6) + QStringLiteral(" g/min")
            + LineEnd;
}

void AddPumpLine(const TDeviceInfo& device, double setpoint, TGasItem& item, QString& summary)
{
    TPumpSpeedDetails pump;
    pump.Init();
    pump.SyringeVolume_ul = device.SyringeSizeuL;
    pump.DesiredDispense_ugpm = setpoint / 100 * device.MaxFlow_ulpm * 1000;
    CalculatePumpCommand(pump);
    item.MassFlow_gmin = pump.AchievedDispense_ugpm / 1000 / 1000;
    summary = QStringLiteral("P:") + device.COMPort + QStringLiteral(", G:") + item.NameShort
            + QStringLiteral(", Flow(vol):") + FormatFloatDecimals(pump.AchievedDispense_ugpm / 1000 / pump.FluidDensity, 0, 6)
            + QStringLiteral(" µl/min, Flow(mass):") + FormatFloatDecimals(item.MassFlow_gmin, 0, 6)
            + QStringLiteral(" g/min, Temp(No effect):") + FloatToStr(device.FluidTemperatureC) + QStringLiteral("ºC")
            + LineEnd;
}

// One line of the recipe; false with Errors set on a problem that ends the parse.
bool ParseRecipeLine(const QString& line, int lineNumber, QString& summary, TGasItem& item, QString& errors)
{
    const QString number = QString::number(lineNumber);
    for (QChar ch : line) {
        if (!IsRecipeCharacter(ch)) {
            errors = QStringLiteral("Illegal character '") + ch + QStringLiteral("' on line: ") + number + LineEnd;
            return false;
        }
    }
    const QStringList items = RecipeItems(line);
    if (items.size() < 2 || items.size() > 3) {
        errors = QStringLiteral("Recipe has less than 2 or more than 3 items on line: ") + number + LineEnd
               + QStringLiteral(" => Unable to determine meaning") + LineEnd;
        return false;
    }
    TDeviceInfo device;
    if (!GetRecipeDevice(items.at(0), device)) {
        errors = QStringLiteral("No device on port: ") + items.at(0) + LineEnd;
        return false;
    }
    double setpoint = 0;
    try {
        setpoint = StrToFloatLenient(items.at(1));
    } catch (const EConvertError&) {
        errors = QStringLiteral("Cannot convert '") + items.at(1) + QStringLiteral("' to a number") + LineEnd;
        return false;
    }
    if (setpoint < 0 || setpoint > 100) {
        errors = QStringLiteral("Invalid setpoint on line ") + number + LineEnd;
        return false;
    }
    if (items.size() == 3) {
        const QChar type = items.at(2).isEmpty() ? QChar() : items.at(2).at(0).toUpper();
        if (type != u'S' && type != u'R') {
            errors = QStringLiteral("Invalid segment type on line ") + number + QStringLiteral(" (use S or R)") + LineEnd;
            return false;
        }
    }
    if (!TryGetGas_ID(device.FluidID, item)) {
        errors = QStringLiteral("GasID on ") + device.COMPort + QStringLiteral(" matches no known gas, device not configured?")
               + LineEnd;
        return false;
    }
    if (IsMFC(device.DevType))
        AddMFCLine(device, setpoint, item, summary, errors);
    else
        AddPumpLine(device, setpoint, item, summary);
    return true;
}

} // namespace

TVecArr MixtureConditions()
{
    constexpr double NormalBarA = 1.01325;
    return {{0, NormalBarA}, {21, NormalBarA}, {25, NormalBarA}, {25, 2 * NormalBarA}, {150, NormalBarA}};
}

bool ParseRecipe(const QString& Recipe, QString& Summary, TGasItem& Mixture, QString& Errors)
{
    const QStringList lines = ProgramLines(Recipe);
    for (int index = 0; index < lines.size(); ++index) {
        const QString& line = lines.at(index);
        if (TrimControl(line).isEmpty())
            continue;
        TGasItem item;
        item.Init();
        QString lineSummary;
        if (!ParseRecipeLine(line, index + 1, lineSummary, item, Errors))
            break;
        if (Errors.isEmpty()) {
            Summary += lineSummary;
            PopulateComponentMasses(item);
            Mixture.Components.append(item);
        }
    }
    return Errors.isEmpty();
}

QString EvaluateRecipe(const QString& Recipe, const QString& MixtureName, bool& Valid)
{
    TGasItem mixture;
    mixture.Init();
    mixture.NameShort = MixtureName;
    QString summary;
    QString errors;
    Valid = ParseRecipe(Recipe, summary, mixture, errors);
    if (!Valid)
        return errors;

    TGasItem flat = mixture.Clone(false);
    flat.Components.clear();
    AppendElementalComponents(mixture, flat);
    PopulatePartialPressures(flat);
    QString text = QStringLiteral("Mixture: '") + MixtureName + u'\'' + LineEnd + LineEnd + MixtureInputsReport(mixture)
                 + QStringLiteral("  Components:") + LineEnd + MixtureComponentsReport(mixture)
                 + QStringLiteral("  Partial pressures:") + LineEnd + PartialPressuresReport(flat)
                 + QStringLiteral("  Volumetric flows, ml/min:") + LineEnd
                 + VolumetricFlowsReport(flat, MixtureConditions());
    if (flat.GetHasFluid())
        text += QStringLiteral("  Mixture has fluid:") + LineEnd + HumidityReport(flat, MixtureConditions());
    return text;
}

void AddRecipeSegments(const QString& Recipe, bool RecipeValid, double Minutes, const QString& Note,
                       TMixtureRecipeView& view)
{
    if (!RecipeValid) {
        ShowMessage(QStringLiteral("Cannot add invalid recipe"));
        return;
    }
    const QString time = SegmentNumberText(RoundHalfEven(Minutes));
    const QString note = SanitizeNote(Note);
    for (const QString& line : ProgramLines(Recipe)) {
        // Trimmed as the parser trims it, so every line it accepted is added.
        const QStringList items = RecipeItems(line);
        TDeviceInfo device;
        double setpoint = 0;
        if (items.size() < 2 || !GetRecipeDevice(items.at(0), device) || !TryStrToFloatDot(items.at(1), setpoint))
            continue;
        view.MM(QStringLiteral("Segment Program Modify for Device: ") + device.COMPort);
        // Only the exact "R" ramps: "Ramp" or "Rapid" pass the parser and step.
        const bool ramp = items.size() == 3 && items.at(2).toUpper() == QLatin1String("R");
        const QString segment = time + u' ' + SegmentNumberText(setpoint) + u' '
                              + (ramp ? QStringLiteral("Ramp") : QStringLiteral("Step")) + u' ' + note;
        view.MM(QStringLiteral("Try adding: ") + segment);
        QString program = device.SegmentProgram;
        InsertSegmentLine(program, TrimControl(segment));
        if (!ValidateSegmentProgram(program))
            return;
        view.MM(QStringLiteral("Resulting segment program: ") + LineEnd + program);
        device.SegmentProgram = program;
        if (!StoreDevice(device)) {
            ShowMessage(QStringLiteral("Saving device configuration failed"));
            return;
        }
        view.RefreshDevice(device);
    }
}
