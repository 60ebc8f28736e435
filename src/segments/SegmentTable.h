#pragma once

#include <QStringList>

// The segment programs of several devices side by side, one row per point
// time. Input: the time unit letter, the minutes per unit (the program's
// number format), then one "port|device type name|program" item per device.
// On success `output` is the table, every line ended by CR LF; otherwise it
// is the reason and the result is false.
bool FormatSegmentTable(const QStringList& input, QString& output);

// The whole text of the segment program view for the same input: a title,
// a rule as wide as the table, the table or the reason, and a line break.
QString MergedSegmentsText(const QStringList& input);
