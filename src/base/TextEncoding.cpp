#include "base/TextEncoding.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringList>

#include <array>

namespace {

// Code points of the bytes 0x80 to 0x9F; 0 marks the five unassigned bytes,
// which decode to the control character of the same value, as Windows does.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char16_t DecodeByte(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F && HighControls[byte - 0x80] != 0)
        return HighControls[byte - 0x80];
    return byte;
}

char EncodeChar(char16_t ch)
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return char(ch);
    for (std::size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] == ch)
            return char(0x80 + i);
    }
    if (ch <= 0x9F)
        return char(ch);
    return '?';
}

} // namespace

QByteArray EncodeCp1252(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar ch : text)
        bytes.append(EncodeChar(ch.unicode()));
    return bytes;
}

QString DecodeCp1252(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (char byte : bytes)
        text.append(QChar(DecodeByte(static_cast<unsigned char>(byte))));
    return text;
}

QString DecodeTextFileBytes(const QByteArray& bytes)
{
    // Byte-order marks checked by hand: Qt's detection needs more bytes than
    // a file holding nothing but its mark.
    struct Mark { QByteArray bytes; QStringConverter::Encoding encoding; };
    const Mark marks[] = {
        {QByteArray("\xEF\xBB\xBF", 3), QStringConverter::Utf8},
        {QByteArray("\xFF\xFE\x00\x00", 4), QStringConverter::Utf32LE},
        {QByteArray("\x00\x00\xFE\xFF", 4), QStringConverter::Utf32BE},
        {QByteArray("\xFF\xFE", 2), QStringConverter::Utf16LE},
        {QByteArray("\xFE\xFF", 2), QStringConverter::Utf16BE},
    };
    for (const Mark& mark : marks) {
        if (bytes.startsWith(mark.bytes)) {
            QStringDecoder decoder(mark.encoding);
            return decoder.decode(bytes.mid(mark.bytes.size()));
        }
    }
    return DecodeCp1252(bytes);
}

QByteArray TextFileBytes(const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineBreak);
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast(); // a final line break ends the last line, it adds none
    return EncodeCp1252(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}
