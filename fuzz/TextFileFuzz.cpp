// Bytes of a file or an instrument reply decoded as the program reads them;
// Windows-1252 text written back reads the same.
#include "base/TextEncoding.h"

#include <QByteArray>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    DecodeTextFileBytes(bytes);
    const QString text = DecodeCp1252(bytes);
    if (DecodeCp1252(EncodeCp1252(text)) != text)
        std::abort();
    return 0;
}
