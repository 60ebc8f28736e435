// The flow designer's part in the window: its refresh, the time mark on the
// graph and applying a design to the devices.
#include "ui/GUIF.h"

#include "base/Prompts.h"
#include "devices/DeviceRegistry.h"
#include "engine/FlowDesigner.h"
#include "ui/pages/DesignerSheet.h"
#include "ui/widgets/RtPointSeries.h"

namespace {

// Translucent, so the curves stay visible through the mark.
constexpr int HighlightAlpha = 30;

} // namespace

void TGUIF::MixMakerComponentSetup()
{
    designerSheet->MixMakerComponentSetup();
}

void TGUIF::RtDoubleEditDesignMixTimeValueChanged()
{
    designerSheet->RtDoubleEditDesignMixTimeValueChanged();
}

void TGUIF::ShowNewMix(const QString& Caller)
{
    designerSheet->ShowNewMix(Caller);
}

void TGUIF::ShowDesignTime(double minutes)
{
    timeHighlight->SetLineColor(QColor(0xFF, 0, 0, HighlightAlpha));
    timeHighlight->SetPoints({{minutes, 0}, {minutes, 100}, {minutes, 0}});
}

void TGUIF::BitBtnDesignerApplyClick()
{
    const TDesignApplied applied =
        ApplyDesign(designerSheet->DesignedFlows(), designerSheet->DesignTime(), designerSheet->Note());
    for (const QString& line : applied.LogLines)
        MM(line);
    for (const QString& port : applied.AppliedPorts) {
        TDeviceInfo device;
        if (GetDeviceByPort(port, device))
            DeviceDetailsUI(device);
    }
    if (!applied.Refusals.isEmpty())
        ShowMessage(applied.Refusals.join(u'\n'));
}
