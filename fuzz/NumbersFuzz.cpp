// Number reading: decimal numbers only, never NaN or infinity, and the
// strict reader agrees with its non-throwing form.
#include "base/Errors.h"
#include "base/TextHelpers.h"
#include "fuzz/FuzzInput.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = FuzzText(data, size);
    double tried = 0;
    const bool ok = TryStrToFloatDot(text, tried);
    if (ok && std::isnan(tried))
        std::abort();
    try {
        const double value = StrToFloatDot(text);
        if (!ok || !(value == tried))
            std::abort();
    } catch (const EConvertError&) {
        if (ok)
            std::abort();
    }
    try {
        if (std::isnan(StrToFloatLenient(text)))
            std::abort();
    } catch (const EConvertError&) {
    }
    if (ok && std::isfinite(tried)) {
        FloatToStr(tried);
        FormatFloatDecimals(tried, 1, 6);
        RoundHalfEven(tried);
    }
    PadLeft(text, 12, true);
    PadRight(text, 12);
    SplitElement(text, QLatin1Char(' '), 2);
    SanitizeNote(text);
    TrimControl(text);
    return 0;
}
