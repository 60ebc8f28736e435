#pragma once

#include "segments/SegmentProgram.h"

// Editing the rows of the segment list: time, setpoint, type, note.

// A number as a program writes it: decimal digits and ".", never an
// exponent, whose "-" no program may hold.
QString SegmentNumberText(double value);

// -1, 0 or +1 as the first row's time is below, equal to or above the
// second's. A time that does not read sorts after every number.
int CompareSegmentRows(const TSegmentRow& Item1, const TSegmentRow& Item2);
// Stable: rows at one time keep their order.
void SortSegmentRows(QList<TSegmentRow>& rows);

// The segment a page editor describes; `Time` in minutes.
struct TSegmentEdit {
    double Time = 0;
    double Setpoint = 0;
    QString Type;
    QString Note;
};
// Replaces setpoint, type and note of the first row whose time lies within
// 1e-6 minutes of the edit's (its time stays as written), or adds a row;
// then sorts. Returns the index of that row.
int ApplySegmentRow(QList<TSegmentRow>& rows, const TSegmentEdit& edit);
