#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>

// The fuzzer's bytes as the program would get them from a file or a typed
// field: UTF-8 text (invalid sequences become replacement characters).
inline QString FuzzText(const uint8_t* data, size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}
