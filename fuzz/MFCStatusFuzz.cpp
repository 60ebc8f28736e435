// An instrument's reply read as a controller status line: a line that is
// accepted gives finite readings and a printable gas label; one that is
// refused leaves the reading as it was.
#include "base/TextEncoding.h"
#include "base/TextHelpers.h"
#include "mfc/AlicatMFC.h"

#include <QByteArray>

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString line = TrimControl(DecodeCp1252(bytes));
    TAlicatData reading;
    reading.GasSN = QStringLiteral("before");
    if (!ParseStatusLine(line, QLatin1Char('A'), QStringLiteral("MFC-A"), reading)) {
        if (reading.GasSN != QLatin1String("before") || reading.DataTime != 0)
            std::abort();
        return 0;
    }
    for (const double value : {reading.Pressure, reading.Temp, reading.FlowRate_vol, reading.FlowRate_mass,
                               reading.SetpointFromDevice, reading.Totalizer}) {
        if (std::isnan(value))
            std::abort();
    }
    if (reading.GasSN.isEmpty())
        std::abort();
    for (const QChar ch : reading.GasSN) {
        if (ch.unicode() <= 32 || ch.unicode() >= 127)
            std::abort();
    }
    QString explanations;
    if (reading.Errors(explanations) == reading.ErrorFlags.IsEmpty())
        std::abort();
    return 0;
}
