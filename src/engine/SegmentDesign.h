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

// "Add / Apply Segment" on the rows of the list. A segment that would make
// the program invalid (a negative time, say) is refused with the
// validation's message and the rows stay as they were: false.
bool ApplySegment(QList<TSegmentRow>& rows, const TSegmentEdit& edit);
// Then the focused device takes the rows as its program, and the
// termination; without a focused device the operator is told.
void StoreAppliedProgram(const QList<TSegmentRow>& rows, TSegProgTermination termination, TSegmentDesignView& view);
// After "Delete segment": the focused device takes what is left.
void StoreProgramAfterDelete(const QList<TSegmentRow>& rows, TSegmentDesignView& view);
