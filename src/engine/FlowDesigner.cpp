#include "engine/FlowDesigner.h"

#include "base/Errors.h"
#include "base/TextHelpers.h"
#include "devices/DeviceRegistry.h"
#include "gas/GasList.h"
#include "gas/MixtureCalculations.h"
#include "gas/MixtureReports.h"

#include <cmath>

namespace {

constexpr double TenthsPerMinute = 10;
// The smallest designed flow, as a fraction of full scale: 0.01 %.
constexpr double SmallestFlowFraction = 1.0 / 10000;

} // namespace

int DesignerTimeSliderMaximum(double minutes)
{
    return int(TenthsPerMinute * std::floor(minutes) + TenthsPerMinute);
}

int DesignerTimeSliderPosition(double minutes)
{
    return int(RoundHalfEven(minutes * TenthsPerMinute));
}

double DesignerFullScale(const TDeviceInfo& device)
{
    const double fullScale = MaxFlowInUnit(device.FlowUnitUser);
    return std::isfinite(fullScale) && fullScale > 0 ? fullScale : 0;
}

double DesignerProgrammedPercent(const TDeviceInfo& device, double minutes)
{
    return SetpointAtTime(device.SegmentProgram, minutes).Setpoint;
}

double DesignedFlowFromSlider(double fullScale, int position, int maximum)
{
    return maximum > 0 ? fullScale * position / maximum : 0;
}

int DesignerSliderFromFlow(double flow, double fullScale, int maximum)
{
    return int(RoundHalfEven(flow / fullScale * maximum));
}

double SnappedDesignedFlow(double flow, double fullScale)
{
    const double smallest = fullScale * SmallestFlowFraction;
    if (flow <= 0 || flow >= smallest)
        return flow;
    return flow < smallest / 2 ? 0 : smallest;
}

QString DesignedMixtureText(const QList<TDesignedFlow>& flows)
{
    QString text;
    QString leftOut;
    TGasItem mixture;
    mixture.Init();
    for (const TDesignedFlow& flow : flows) {
        TDeviceInfo device;
        if (!GetDeviceByPort(flow.COMPort, device))
            continue;
        TGasItem component;
        // Without its gas a device has no molar mass: the mixture would be
        // all NaN.
        if (!TryGetGas_ID(device.FluidID, component)) {
            leftOut += QStringLiteral("%1: no gas configured, left out of the mixture\r\n").arg(flow.COMPort);
            continue;
        }
        // A device without a full scale has no share of it to deliver.
        const double fullScale = DesignerFullScale(device);
        component.MassFlow_gmin = fullScale > 0 ? MaxFlowGramsPerMinute(device.FlowUnitDevice) * (flow.Flow / fullScale) : 0;
        if (!PopulateComponentMasses(component))
            text = QStringLiteral("Unable to PopulateComponentMasses (Element without molar mass, or sum of partial "
                                  "pressures is zero.");
        mixture.Components.append(component);
    }
    if (mixture.Components.isEmpty())
        return leftOut;
    NormalizeMixture(mixture, mixture);
    PopulatePartialPressures(mixture);
    return leftOut + text + QStringLiteral(" *************************** \r\n") + MixtureDetails(mixture);
}

TDesignApplied ApplyDesign(const QList<TDesignedFlow>& flows, double minutes, const QString& note)
{
    TDesignApplied applied;
    const auto refuse = [&applied](const QString& port, const QString& reason) {
        applied.Refusals << QStringLiteral("Design not applied to %1: %2").arg(port, reason);
        applied.LogLines << applied.Refusals.last();
    };
    const QString sanitizedNote = SanitizeNote(note);
    for (const TDesignedFlow& flow : flows) {
        TDeviceInfo device;
        if (!GetDeviceByPort(flow.COMPort, device))
            continue;
        const double fullScale = DesignerFullScale(device);
        if (!(minutes >= 0)) {
            refuse(flow.COMPort, QStringLiteral("the time is below 0"));
            continue;
        }
        if (fullScale <= 0) {
            refuse(flow.COMPort, QStringLiteral("no full scale configured"));
            continue;
        }
        const double percent = flow.Flow / fullScale * 100;
        if (!(percent >= 0 && percent <= 100)) {
            refuse(flow.COMPort, QStringLiteral("the flow is outside 0 to full scale"));
            continue;
        }
        // The time as the program writes its times.
        QString line = FormatFloatDecimals(minutes, 0, 6) + u' ' + FloatToStr(percent) + QStringLiteral(" Step");
        if (!sanitizedNote.isEmpty())
            line += u' ' + sanitizedNote;
        try {
            InsertSegmentLine(device.SegmentProgram, line);
        } catch (const TarvoError& error) {
            refuse(flow.COMPort, error.Message());
            continue;
        }
        StoreDevice(device);
        applied.LogLines << QStringLiteral("Design applied to %1: %2").arg(flow.COMPort, line);
        applied.AppliedPorts << flow.COMPort;
    }
    return applied;
}
