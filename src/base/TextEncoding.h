#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252, the 8-bit code page of the instruments' replies and of the
// files the program writes: one byte per character, so fixed-width columns
// stay aligned byte for byte. Characters outside the code page become "?".
QByteArray EncodeCp1252(const QString& text);
QString DecodeCp1252(const QByteArray& bytes);

// The bytes of a file holding `text`: Windows-1252, every line ended by
// CR LF, no byte-order mark.
QByteArray TextFileBytes(const QString& text);

// A text file's bytes: UTF-8 or UTF-16 when a byte-order mark says so,
// Windows-1252 otherwise.
QString DecodeTextFileBytes(const QByteArray& bytes);
