// A program text through validation, evaluation and the segment table.
#include "fuzz/FuzzInput.h"
#include "segments/SegmentProgram.h"
#include "segments/SegmentTable.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString program = FuzzText(data, size);
    const bool valid = ValidateSegmentProgram(program);
    SegmentCount(program);
    const double end = ProgramEndTime(program);
    for (double minutes : {-1.0, 0.0, 0.5, 7.0, end, end + 1, 1e9}) {
        const TSegment point = SetpointAtTime(program, minutes);
        // A valid program never asks for a setpoint outside 0-100 %.
        if (valid && std::isfinite(minutes) && (!(point.Setpoint >= 0) || point.Setpoint > 100))
            std::abort();
    }
    QList<TSegmentRow> rows;
    TextToSegmentRows(program, rows);
    const QString text = SegmentRowsToText(rows);
    QString table;
    FormatSegmentTable({QStringLiteral("COM1"), text}, table);
    MergedSegmentsText({QStringLiteral("COM1"), text});
    return 0;
}
