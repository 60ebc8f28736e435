#include "base/TextEncoding.h"

#include <gtest/gtest.h>

TEST(TextEncoding, Cp1252RoundTripsItsOwnCharacters)
{
    const QString text = QStringLiteral("µl/min 20 ºC ‘x’ € ä");
    const QByteArray bytes = EncodeCp1252(text);
    EXPECT_EQ(bytes.size(), text.size()) << "one byte per character keeps columns aligned";
    EXPECT_EQ(DecodeCp1252(bytes), text);
    EXPECT_EQ(DecodeCp1252(QByteArray("\x91", 1)), QString(QChar(0x2018)));
    EXPECT_EQ(EncodeCp1252(QStringLiteral("Ω")), QByteArray("?"));
}

TEST(TextEncoding, FilesMayCarryAByteOrderMark)
{
    struct Case { QByteArray bytes; QString text; };
    const Case cases[] = {
        {QByteArray("10 100 Ramp"), QStringLiteral("10 100 Ramp")},
        {QByteArray("\xB5l", 2), QStringLiteral("µl")},
        {QByteArray("\xEF\xBB\xBF" "a\xC2\xB5"), QStringLiteral("aµ")},
        {QByteArray("\xEF\xBB\xBF"), QString()},
        {QByteArray("\xFF\xFE" "a\0b\0", 6), QStringLiteral("ab")},
        {QByteArray("\xFE\xFF\0a\0b", 6), QStringLiteral("ab")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeTextFileBytes(c.bytes), c.text) << c.bytes.toHex().toStdString();
}
