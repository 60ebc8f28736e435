#pragma once

#include "segments/SegmentProgram.h"

#include <QList>
#include <QPointF>

// The polyline of a segment program on the chart: (minutes, percent) points.
// A step holds the previous setpoint up to its time and then jumps; a ramp
// runs straight from the previous point; an unreadable line is left out.
// With `tspttKeep` the last setpoint runs on for 1 % of the last time. The
// whole drawing is moved `startMinutes` to the right.
QList<QPointF> SegmentSeriesPoints(const QString& program, TSegProgTermination termination, double startMinutes = 0);
