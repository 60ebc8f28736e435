#include "engine/FlowUnitDisplay.h"

#include "devices/DeviceInfo.h"
#include "gas/FlowUnits.h"
#include "pump/PumpSpeeds.h"
#include "base/TextHelpers.h"

namespace {

QString Grouped(const QString& digits, bool fromLeft)
{
    QString text;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        const qsizetype position = fromLeft ? i : digits.size() - i;
        if (i > 0 && position % 3 == 0)
            text += QLatin1Char(' ');
        text += digits.at(i);
    }
    return text;
}

// "### ##0.### ### ###"
QString FormatFlow(double value)
{
    return FormatDigitGroups(RoundSignificant(value, FlowShownDigits), 9, true);
}

bool ConvertFlow(const TGasFlowDetails& from, TGasFlowDetails& to)
{
    QString errors, report;
    return ConvertGasFlow(from, to, errors, report);
}

QString PumpResult(TPumpSpeedDetails& details, const TDeviceInfo& device, double flowPercent)
{
    details.DesiredDispense_ugpm = flowPercent / 100 * device.MaxFlow_ulpm * 1000;
    CalculatePumpCommand(details);
    QString text = QStringLiteral("Desired/Achievable || ") + FormatDigitGroups(details.DesiredDispense_ugpm / 1000, 6, false)
                 + QStringLiteral(" / ")
                 + FormatDigitGroups(details.AchievedDispense_ugpm / 1000 / details.FluidDensity, 6, false)
                 + QStringLiteral(" || ") + device.FlowUnitUser.Name + QStringLiteral(" || Relative error:")
                 + FormatDigitGroups(details.Error_pct, 3, false) + QStringLiteral(" %");
    return text.replace(QStringLiteral("  "), QStringLiteral(" "));
}

} // namespace

QString FormatDigitGroups(double value, int maxDecimals, bool groupInteger)
{
    const QString plain = FormatFloatDecimals(value, 0, maxDecimals);
    const bool negative = plain.startsWith(QLatin1Char('-'));
    const QString digits = negative ? plain.mid(1) : plain;
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? digits : digits.left(point);
    QString text = groupInteger ? Grouped(whole, false) : whole;
    if (point >= 0)
        text += QLatin1Char('.') + Grouped(digits.mid(point + 1), true);
    return negative ? QLatin1Char('-') + text : text;
}

TFlowUnitDisplay FlowUnitDisplay(const TDeviceInfo& device, double segmentFlowPercent, double directFlowPercent)
{
    TFlowUnitDisplay display;
    if (device.DevType == dtPump) {
        display.Valid = true;
        display.MaxFlow = device.MaxFlow_ulpm;
        display.UnitName = device.FlowUnitUser.Name;
        TPumpSpeedDetails details;
        details.Init();
        details.SyringeVolume_ul = device.SyringeSizeuL;
        display.SegmentResult = PumpResult(details, device, segmentFlowPercent);
        display.SegmentCommand = details.Command;
        display.DirectResult = PumpResult(details, device, directFlowPercent);
        display.DirectCommand = details.Command;
        return display;
    }

    TGasFlowDetails fullScale = FlowUnitMillilitresPerMinute;
    const double fullScaleMlMin = MaxFlowInUnit(device.FlowUnitDevice);
    fullScale.GasFlowValue = fullScaleMlMin;
    fullScale.GasMolarMass = device.FlowUnitUser.GasMolarMass;
    TGasFlowDetails user = device.FlowUnitUser;
    if (!ConvertFlow(fullScale, user))
        return display;
    display.Valid = true;
    display.MaxFlow = user.GasFlowValue;
    display.UnitName = user.Name;

    const auto result = [&](double percent) {
        TGasFlowDetails flow = fullScale;
        flow.GasFlowValue = fullScaleMlMin * percent / 100;
        TGasFlowDetails converted = device.FlowUnitUser;
        return ConvertFlow(flow, converted) ? FormatFlow(converted.GasFlowValue) + QLatin1Char(' ') + converted.Name
                                            : QString();
    };
    display.SegmentResult = result(segmentFlowPercent);
    display.DirectResult = result(directFlowPercent);
    return display;
}
