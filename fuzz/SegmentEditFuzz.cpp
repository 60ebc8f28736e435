// A typed line merged into a program, and every line read back. The first
// line of the input is the typed line, the rest the program.
#include "base/Errors.h"
#include "fuzz/FuzzInput.h"
#include "segments/SegmentProgram.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString input = FuzzText(data, size);
    const qsizetype cut = input.indexOf(QLatin1Char('\n'));
    const QString line = cut < 0 ? input : input.left(cut);
    QString program = cut < 0 ? QString() : input.mid(cut + 1);
    try {
        InsertSegmentLine(program, line);
    } catch (const EConvertError&) {
        // A time that does not read leaves the program as it was.
    }
    const int count = SegmentCount(program);
    TSegment segment;
    for (int i = -1; i <= count && i < 64; ++i)
        ReadSegment(i, program, segment);
    return 0;
}
