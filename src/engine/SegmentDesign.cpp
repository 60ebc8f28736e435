#include "engine/SegmentDesign.h"

#include "base/Prompts.h"
#include "devices/DeviceRegistry.h"

namespace {

void StoreProgram(TDeviceInfo& device, const QList<TSegmentRow>& rows, TSegmentDesignView& view)
{
    device.SegmentProgram = SegmentRowsToText(rows);
    // Stored before it is shown: a failed store never shows a program the
    // device does not run.
    if (StoreDevice(device))
        view.RefreshDevice(device);
    else
        ShowMessage(QStringLiteral("Saving device segment program failed"));
}

} // namespace

bool ApplySegment(QList<TSegmentRow>& rows, const TSegmentEdit& edit)
{
    QList<TSegmentRow> edited = rows;
    ApplySegmentRow(edited, edit);
    if (!ValidateSegmentProgram(SegmentRowsToText(edited)))
        return false;
    rows = edited;
    return true;
}

void StoreAppliedProgram(const QList<TSegmentRow>& rows, TSegProgTermination termination, TSegmentDesignView& view)
{
    TDeviceInfo device;
    if (!view.GetSelectedDevice(device)) {
        ShowMessage(QStringLiteral("Could not get assigned device."));
        return;
    }
    device.SegmentProgramTermination = termination;
    StoreProgram(device, rows, view);
}

void StoreProgramAfterDelete(const QList<TSegmentRow>& rows, TSegmentDesignView& view)
{
    TDeviceInfo device;
    if (!view.GetSelectedDevice(device)) {
        ShowMessage(QStringLiteral("Error"));
        return;
    }
    StoreProgram(device, rows, view);
}
