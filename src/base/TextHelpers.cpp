#include "base/TextHelpers.h"

#include "base/Clock.h"
#include "base/Errors.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <cstdio>

namespace {

bool IsBlank(QChar ch)
{
    return ch.unicode() <= 32;
}

// A finite double as 15 significant decimal digits: value = 0.d1d2...d15 x 10^(exponent+1).
struct DecimalDigits {
    bool negative = false;
    QByteArray digits; // 15 digits, the first non-zero unless the value is 0
    int exponent = 0;  // decimal exponent of the first digit
};

DecimalDigits ToDecimalDigits(double value)
{
    DecimalDigits result;
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    const QByteArray text(buffer);
    const int e = text.indexOf('e');
    QByteArray mantissa = text.left(e);
    result.negative = mantissa.startsWith('-');
    if (result.negative)
        mantissa.remove(0, 1);
    mantissa.remove(1, 1); // the "."
    result.digits = mantissa;
    result.exponent = text.mid(e + 1).toInt();
    if (value == 0.0) {
        result.exponent = 0;
        result.negative = false;
    }
    return result;
}

// Fixed-point text of `d` with exactly `decimals` decimals, the digits beyond
// rounded half away from zero.
QByteArray FixedDigits(const DecimalDigits& d, int decimals)
{
    // Integer of all digits up to the wanted decimal, as a digit string.
    const int keep = d.exponent + 1 + decimals; // digits of d.digits kept
    QByteArray kept;
    bool roundUp = false;
    if (keep >= d.digits.size()) {
        kept = d.digits + QByteArray(keep - d.digits.size(), '0');
    } else if (keep >= 0) {
        kept = d.digits.left(keep);
        roundUp = d.digits.at(keep) >= '5';
    }
    if (roundUp) {
        int i = kept.size() - 1;
        while (i >= 0 && kept[i] == '9')
            kept[i--] = '0';
        if (i >= 0)
            kept[i] = char(kept[i] + 1);
        else
            kept.prepend('1');
    }
    if (kept.size() < decimals + 1)
        kept.prepend(QByteArray(decimals + 1 - kept.size(), '0'));
    QByteArray text = kept.left(kept.size() - decimals);
    if (decimals > 0)
        text += '.' + kept.right(decimals);
    return text;
}

QString FormatWithUnit(double count, const char* singular, const char* plural)
{
    return FloatToStr(count) + QLatin1String(count == 1.0 ? singular : plural);
}

} // namespace

QString TrimControl(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text.at(begin)))
        ++begin;
    while (end > begin && IsBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

bool TryStrToFloatDot(const QString& text, double& value)
{
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?$"));
    const QString trimmed = TrimControl(text);
    if (!number.match(trimmed).hasMatch())
        return false;
    // Not strtod: Qt hands the C library the user's locale, whose decimal
    // separator may be ",".
    bool ok = false;
    const double parsed = QLocale::c().toDouble(trimmed, &ok);
    // A number too small for a double reads as 0 (refused with 0 by Qt);
    // one too large stays refused.
    if (!ok && parsed != 0.0)
        return false;
    value = ok ? parsed : 0.0;
    return true;
}

double StrToFloatDot(const QString& text)
{
    double value = 0;
    if (!TryStrToFloatDot(text, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return value;
}

double StrToFloatLenient(const QString& text)
{
    QString dotted = text;
    dotted.replace(QLatin1Char(','), QLatin1Char('.'));
    double value = 0;
    if (!TryStrToFloatDot(dotted, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return value;
}

QString PadRight(const QString& text, int width)
{
    QString padded = (text + QString(width, QLatin1Char(' '))).left(width);
    const qsizetype comma = padded.indexOf(QLatin1Char(','));
    if (comma >= 0)
        padded[comma] = QLatin1Char('.');
    return padded;
}

QString PadLeft(const QString& text, int width, bool replaceComma)
{
    QString padded = (QString(width, QLatin1Char(' ')) + text).right(width);
    if (replaceComma) {
        const qsizetype comma = padded.indexOf(QLatin1Char(','));
        if (comma >= 0)
            padded[comma] = QLatin1Char('.');
    }
    return padded;
}

QString SplitElement(const QString& text, QChar separator, int position)
{
    const QStringList elements = text.split(separator);
    if (position < 1 || position > elements.size())
        return QString();
    return elements.at(position - 1);
}

QString TimeStampPrefix()
{
    return DaysToDateTime(Now()).toString(QStringLiteral("hh:mm:ss:zzz "));
}

QString FormatDuration(bool compact, double minutes)
{
    if (!compact) {
        const double days = std::floor(minutes / MinutesPerDay);
        const double hours = std::floor((minutes - MinutesPerDay * days) / 60.0);
        const double rest = minutes - MinutesPerDay * days - 60.0 * hours;
        return FormatWithUnit(days, " day", " days") + QStringLiteral(", ")
             + FormatWithUnit(hours, " hour", " hours") + QStringLiteral(", ")
             + FormatWithUnit(rest, " minute", " minutes");
    }
    // Whole seconds kept in a double: a valid program may hold times beyond
    // any integer type. trunc and fmod divide like integers would.
    const double seconds = RoundHalfEven(minutes * 60.0);
    const double parts[] = {std::trunc(seconds / 86400), std::trunc(std::fmod(seconds, 86400) / 3600),
                            std::trunc(std::fmod(seconds, 3600) / 60), std::fmod(seconds, 60)};
    const char* suffixes[] = {"d ", "h ", "m ", "s "};
    QString text;
    for (int i = 0; i < 4; ++i) {
        if (parts[i] > 0)
            text += FloatToStr(parts[i]) + QLatin1String(suffixes[i]);
    }
    text.chop(text.isEmpty() ? 0 : 1);
    return text;
}

QString SanitizeNote(const QString& text)
{
    QString kept;
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        const bool allowed = c == ' ' || c == '%' || c == '*' || c == '/' || c == '@'
                          || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (allowed)
            kept.append(c == ' ' ? QChar(u'_') : ch);
    }
    return kept;
}

QString FloatToStr(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0.0)
        return QStringLiteral("0");
    const DecimalDigits d = ToDecimalDigits(value);
    QByteArray digits = d.digits;
    while (digits.size() > 1 && digits.endsWith('0'))
        digits.chop(1);
    QByteArray text;
    if (d.exponent >= -4 && d.exponent < 15) { // 0.0001 is still fixed, 0.00001 is not
        if (d.exponent >= 0) {
            QByteArray whole = digits.left(d.exponent + 1);
            whole += QByteArray(d.exponent + 1 - whole.size(), '0');
            const QByteArray fraction = digits.mid(d.exponent + 1);
            text = fraction.isEmpty() ? whole : whole + '.' + fraction;
        } else {
            text = "0." + QByteArray(-d.exponent - 1, '0') + digits;
        }
    } else {
        text = digits.left(1);
        if (digits.size() > 1)
            text += '.' + digits.mid(1);
        text += 'E' + QByteArray::number(d.exponent);
    }
    if (d.negative)
        text.prepend('-');
    return QString::fromLatin1(text);
}

QString FormatFloatDecimals(double value, int minDecimals, int maxDecimals)
{
    if (!std::isfinite(value))
        return FloatToStr(value);
    const DecimalDigits d = ToDecimalDigits(value);
    QByteArray text = FixedDigits(d, maxDecimals);
    if (maxDecimals > 0) {
        const qsizetype point = text.indexOf('.');
        qsizetype end = text.size();
        while (end > point + 1 + minDecimals && text.at(end - 1) == '0')
            --end;
        if (end == point + 1)
            --end; // no decimals left: drop the point too
        text.truncate(end);
    }
    const bool allZero = text.count('0') + text.count('.') == text.size();
    if (d.negative && !allZero)
        text.prepend('-');
    return QString::fromLatin1(text);
}

double RoundSignificant(double value, int digits)
{
    if (value == 0 || !std::isfinite(value))
        return value;
    return QString::number(value, 'g', digits).toDouble();
}

double RoundHalfEven(double value)
{
    const double rounded = std::round(value);
    if (std::fabs(value - std::trunc(value)) == 0.5)
        return 2.0 * std::round(value / 2.0);
    return rounded;
}
