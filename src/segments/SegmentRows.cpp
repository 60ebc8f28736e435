#include "segments/SegmentRows.h"

#include "base/TextHelpers.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double SameTimeMinutes = 0.000001;
constexpr int MostDecimals = 15;

bool RowTime(const TSegmentRow& row, double& minutes)
{
    return TryStrToFloatDot(row.value(0), minutes);
}

} // namespace

QString SegmentNumberText(double value)
{
    return FormatFloatDecimals(value, 0, MostDecimals);
}

int CompareSegmentRows(const TSegmentRow& Item1, const TSegmentRow& Item2)
{
    double time1 = 0;
    double time2 = 0;
    const bool read1 = RowTime(Item1, time1);
    const bool read2 = RowTime(Item2, time2);
    if (!read1 || !read2)
        return int(!read1) - int(!read2);
    return time1 < time2 ? -1 : (time1 > time2 ? 1 : 0);
}

void SortSegmentRows(QList<TSegmentRow>& rows)
{
    std::stable_sort(rows.begin(), rows.end(), [](const TSegmentRow& a, const TSegmentRow& b) {
        return CompareSegmentRows(a, b) < 0;
    });
}

int ApplySegmentRow(QList<TSegmentRow>& rows, const TSegmentEdit& edit)
{
    TSegmentRow cells = {SegmentNumberText(edit.Setpoint), edit.Type};
    if (!edit.Note.isEmpty())
        cells.append(edit.Note);
    TSegmentRow* target = nullptr;
    for (TSegmentRow& row : rows) {
        double minutes = 0;
        if (RowTime(row, minutes) && std::fabs(minutes - edit.Time) <= SameTimeMinutes) {
            target = &row;
            break;
        }
    }
    if (target) {
        *target = TSegmentRow{target->value(0)} + cells;
    } else {
        rows.append(TSegmentRow{SegmentNumberText(edit.Time)} + cells);
        target = &rows.last();
    }
    const TSegmentRow applied = *target;
    SortSegmentRows(rows);
    return int(std::find(rows.cbegin(), rows.cend(), applied) - rows.cbegin());
}
