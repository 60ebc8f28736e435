#include "base/TextHelpers.h"

#include "base/Errors.h"
#include "support/TestClock.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include <clocale>
#include <string>

TEST(StrToFloatDot, ReadsDecimalNumbersOnly)
{
    struct Case { const char* text; double value; };
    const Case good[] = {
        {"12.5", 12.5}, {" +014.62 ", 14.62}, {"-0.5", -0.5}, {".5", 0.5},
        {"5.", 5.0}, {"1e3", 1000.0}, {"2.5E-2", 0.025}, {"\t7\r\n", 7.0},
    };
    for (const Case& c : good)
        EXPECT_DOUBLE_EQ(StrToFloatDot(QString::fromLatin1(c.text)), c.value) << c.text;

    const char* bad[] = {"", " ", "1,5", "1.2.3", "nan", "inf", "-infinity", "0x10", "1e", "--1", "1 2", "abc"};
    for (const char* text : bad)
        EXPECT_THROW(StrToFloatDot(QString::fromLatin1(text)), EConvertError) << text;
}

TEST(StrToFloatDot, TooSmallReadsAsZeroTooLargeIsRefused)
{
    EXPECT_EQ(StrToFloatDot(QStringLiteral("1e-400")), 0.0);
    EXPECT_DOUBLE_EQ(StrToFloatDot(QStringLiteral("4.9e-324")), 4.9e-324);
    EXPECT_THROW(StrToFloatDot(QStringLiteral("1e400")), EConvertError);
    EXPECT_THROW(StrToFloatDot(QStringLiteral("1") + QString(400, u'0')), EConvertError);
}

// Qt gives the C library the user's locale on Unix; a locale whose decimal
// separator is "," must not change how numbers read or write.
TEST(NumberText, IndependentOfTheCLibraryLocale)
{
    struct NumericLocale {
        std::string saved = std::setlocale(LC_NUMERIC, nullptr);
        ~NumericLocale() { std::setlocale(LC_NUMERIC, saved.c_str()); }
    } restore;
    bool commaLocale = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "nl_NL.UTF-8"}) {
        if (std::setlocale(LC_NUMERIC, name) && *std::localeconv()->decimal_point == ',') {
            commaLocale = true;
            break;
        }
    }
    if (!commaLocale)
        GTEST_SKIP() << "no locale with a decimal comma installed";
    EXPECT_DOUBLE_EQ(StrToFloatDot(QStringLiteral("12.5")), 12.5);
    EXPECT_THROW(StrToFloatDot(QStringLiteral("12,5")), EConvertError);
    EXPECT_DOUBLE_EQ(StrToFloatLenient(QStringLiteral("12,5")), 12.5);
    EXPECT_EQ(FloatToStr(12.5), QStringLiteral("12.5"));
    EXPECT_EQ(FormatFloatDecimals(2.675, 2, 2), QStringLiteral("2.68"));
}

TEST(StrToFloatLenient, TakesCommaOrDot)
{
    EXPECT_DOUBLE_EQ(StrToFloatLenient(QStringLiteral("1,25")), 1.25);
    EXPECT_DOUBLE_EQ(StrToFloatLenient(QStringLiteral("1.25")), 1.25);
    EXPECT_THROW(StrToFloatLenient(QStringLiteral("1,2.5")), EConvertError);
    EXPECT_THROW(StrToFloatLenient(QStringLiteral("NaN")), EConvertError);
}

TEST(Padding, CutsAndAligns)
{
    EXPECT_EQ(PadRight(QStringLiteral("CO2"), 6), QStringLiteral("CO2   "));
    EXPECT_EQ(PadRight(QStringLiteral("Shortname-long"), 9), QStringLiteral("Shortname"));
    EXPECT_EQ(PadRight(QStringLiteral("1,5,6"), 9), QStringLiteral("1.5,6    "));
    EXPECT_EQ(PadLeft(QStringLiteral("12"), 5), QStringLiteral("   12"));
    EXPECT_EQ(PadLeft(QStringLiteral("COMX Simulated"), 6), QStringLiteral("ulated"));
    EXPECT_EQ(PadLeft(QStringLiteral("1,5"), 4, true), QStringLiteral(" 1.5"));
    EXPECT_EQ(PadLeft(QStringLiteral("1,5"), 4, false), QStringLiteral(" 1,5"));
}

TEST(SplitElement, CountsFromOne)
{
    const QString text = QStringLiteral("20 68 1.01325 EPA");
    EXPECT_EQ(SplitElement(text, u' ', 1), QStringLiteral("20"));
    EXPECT_EQ(SplitElement(text, u' ', 3), QStringLiteral("1.01325"));
    EXPECT_EQ(SplitElement(text, u' ', 0), QString());
    EXPECT_EQ(SplitElement(text, u' ', 5), QString());
}

TEST(FormatDuration, WordsAndCompact)
{
    struct Case { bool compact; double minutes; const char* text; };
    const Case cases[] = {
        {false, 90.5, "0 days, 1 hour, 30.5 minutes"},
        {false, 1440, "1 day, 0 hours, 0 minutes"},
        {false, 61, "0 days, 1 hour, 1 minute"},
        {false, 2 * 1440 + 120 + 2, "2 days, 2 hours, 2 minutes"},
        {true, 90.5, "1h 30m 30s"},
        {true, 90, "1h 30m"},
        {true, 0, ""},
        {true, 1440 + 0.5 / 60, "1d"}, // half a second goes to the even neighbour
        {true, 1.5 / 60, "2s"},
        {true, -90, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatDuration(c.compact, c.minutes), QString::fromLatin1(c.text)) << c.minutes;
    // A time that a program may validly hold but no integer can count in seconds.
    EXPECT_TRUE(FormatDuration(true, 1e300).startsWith(QStringLiteral("6.94444444444444E296d ")))
        << FormatDuration(true, 1e300).toStdString();
}

TEST(SanitizeNote, KeepsTheNoteAlphabet)
{
    EXPECT_EQ(SanitizeNote(QStringLiteral("pre-mix, 2.5%")), QStringLiteral("premix_25%"));
    EXPECT_EQ(SanitizeNote(QStringLiteral("a_b @*/9")), QStringLiteral("ab_@*/9"));
}

TEST(TimeStampPrefix, ShowsMilliseconds)
{
    TestClock clock(DateTimeToDays(QDateTime(QDate(2026, 10, 16), QTime(9, 5, 3, 7))));
    EXPECT_EQ(TimeStampPrefix(), QStringLiteral("09:05:03:007 "));
}

TEST(NumberFormats, ProgramFormatAndFixedPatterns)
{
    struct Case { double value; const char* text; };
    const Case general[] = {
        {0, "0"}, {12.5, "12.5"}, {0.1, "0.1"}, {100, "100"}, {-9999, "-9999"}, {26.25, "26.25"},
        {1.0 / 3.0, "0.333333333333333"}, {0.00001, "1E-5"}, {0.000012, "1.2E-5"}, {1e15, "1E15"},
        {123456789012345.0, "123456789012345"}, {844.6628, "844.6628"},
    };
    for (const Case& c : general)
        EXPECT_EQ(FloatToStr(c.value), QString::fromLatin1(c.text)) << c.text;

    struct Fixed { double value; int minDec; int maxDec; const char* text; };
    const Fixed fixed[] = {
        {-9999, 1, 6, "-9999.0"}, {0.5, 1, 6, "0.5"}, {1.23456789, 1, 6, "1.234568"}, {0, 1, 6, "0.0"},
        {2.5, 0, 6, "2.5"}, {10, 0, 6, "10"}, {1.0000001, 0, 6, "1"},
        {1.5, 3, 3, "1.500"}, {14.69625, 3, 3, "14.696"}, {2.675, 2, 2, "2.68"}, {-0.0001, 1, 1, "0.0"},
        {0.0006, 3, 3, "0.001"}, {999.9996, 3, 3, "1000.000"},
    };
    for (const Fixed& c : fixed)
        EXPECT_EQ(FormatFloatDecimals(c.value, c.minDec, c.maxDec), QString::fromLatin1(c.text)) << c.text;
}

TEST(RoundHalfEven, GoesToTheEvenNeighbour)
{
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(15000.5), 15000);
}
