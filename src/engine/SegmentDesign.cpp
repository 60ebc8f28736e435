#include "engine/SegmentDesign.h"

#include "base/Prompts.h"
#include "devices/DeviceRegistry.h"

namespace {

void StoreProgram(TDeviceInfo& device, const QString& program, TSegmentDesignView& view)
{
    device.SegmentProgram = program;
    // Stored before it is shown: a failed store never shows a program the
    // device does not run.
    if (StoreDevice(device))
        view.RefreshDevice(device);
    else
        ShowMessage(QStringLiteral("Saving device segment program failed"));
}

} // namespace

bool ApplySegment(QList<TSegmentRow>& rows, const TSegmentEdit& edit, TSegProgTermination termination,
                  TSegmentDesignView& view)
{
    QList<TSegmentRow> edited = rows;
    ApplySegmentRow(edited, edit);
    const QString program = SegmentRowsToText(edited);
    if (!ValidateSegmentProgram(program))
        return false;
    rows = edited;
    TDeviceInfo device;
    if (!view.GetSelectedDevice(device)) {
        ShowMessage(QStringLiteral("Could not get assigned device."));
        return true;
    }
    device.SegmentProgramTermination = termination;
    StoreProgram(device, program, view);
    return true;
}

void DeleteSegment(QList<TSegmentRow>& rows, int index, TSegmentDesignView& view)
{
    if (index < 0 || index >= rows.size())
        return;
    rows.removeAt(index);
    TDeviceInfo device;
    if (!view.GetSelectedDevice(device)) {
        ShowMessage(QStringLiteral("Error"));
        return;
    }
    StoreProgram(device, SegmentRowsToText(rows), view);
}
