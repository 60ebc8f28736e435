#include "ui/SegmentSeriesPoints.h"

namespace {
constexpr double KeepExtension = 1.01;
}

QList<QPointF> SegmentSeriesPoints(const QString& program, TSegProgTermination termination, double startMinutes)
{
    QList<QPointF> points;
    bool first = true;
    TSegment previous;
    const int count = SegmentCount(program);
    for (int line = 0; line < count; ++line) {
        TSegment segment;
        ReadSegment(line, program, segment);
        const bool step = segment.aType.compare(QLatin1String("Step"), Qt::CaseInsensitive) == 0;
        const bool ramp = segment.aType.compare(QLatin1String("Ramp"), Qt::CaseInsensitive) == 0;
        if (!step && !ramp)
            continue; // unreadable, or a type the drawing does not know
        if (step) {
            if (first) {
                points << QPointF(0, 0) << QPointF(segment.Time, 0);
            } else {
                points << QPointF(segment.Time, previous.Setpoint);
            }
        } else if (first && segment.Time > 0 && segment.Setpoint > 0) {
            points << QPointF(0, 0);
        }
        points << QPointF(segment.Time, segment.Setpoint);
        previous = segment;
        first = false;
    }
    if (!first && termination == tspttKeep)
        points << QPointF(KeepExtension * previous.Time, previous.Setpoint);
    for (QPointF& point : points)
        point.rx() += startMinutes;
    return points;
}
