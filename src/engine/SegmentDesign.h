#pragma once

#include "segments/SegmentRows.h"

struct TDeviceInfo;

// What editing the focused device's segment program needs of the window.
class TSegmentDesignView {
public:
    virtual ~TSegmentDesignView() = default;
    virtual bool GetSelectedDevice(TDeviceInfo& device) const = 0;
    // Shows the device in every control: list, graph, segment table.
    virtual void RefreshDevice(TDeviceInfo& device) = 0;
};

// "Add / Apply Segment". A segment that would make the program invalid (a
// negative time, say) is refused with the validation's message and the rows
// stay as they were: false. Otherwise the rows take it and the focused device
// gets the program and termination; without a focused device the operator
// is told and only the rows have it.
bool ApplySegment(QList<TSegmentRow>& rows, const TSegmentEdit& edit, TSegProgTermination termination,
                  TSegmentDesignView& view);
// "Delete segment" on row `index` of the rows.
void DeleteSegment(QList<TSegmentRow>& rows, int index, TSegmentDesignView& view);
