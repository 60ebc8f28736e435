#pragma once

#include <QString>

// Text and number helpers shared by the whole program. "." is the only
// decimal separator, whatever the system locale says.

// Removes leading and trailing characters with codes 0 to 32 (blanks, line
// breaks and other control characters).
QString TrimControl(const QString& text);

// Decimal numbers only: optional sign, digits with at most one ".", optional
// exponent, blanks around. "nan", "inf", hexadecimal and "," raise
// EConvertError.
double StrToFloatDot(const QString& text);
bool TryStrToFloatDot(const QString& text, double& value);
// As StrToFloatDot, but "," counts as a decimal separator too.
double StrToFloatLenient(const QString& text);

// `text` followed by `width` blanks, cut to `width` characters; the first ","
// becomes ".".
QString PadRight(const QString& text, int width);
// `width` blanks followed by `text`, keeping the last `width` characters.
QString PadLeft(const QString& text, int width, bool replaceComma = false);

// The position-th element (from 1) of `text` split at `separator`; empty when
// there is no such element.
QString SplitElement(const QString& text, QChar separator, int position);

// The current local time as "hh:nn:ss:zzz " (with its trailing blank).
QString TimeStampPrefix();

// "0 days, 1 hour, 30.5 minutes", or compact "1h 30m 30s".
QString FormatDuration(bool compact, double minutes);

// Keeps blanks, "%", "*", "/", digits, "@" and the letters A-Z, a-z; then
// writes every blank as "_".
QString SanitizeNote(const QString& text);

// The program's number format: the shortest general form with up to 15
// significant digits ("12.5", "0.1", "1E-6").
QString FloatToStr(double value);

// Fixed-point with between `minDecimals` and `maxDecimals` decimals, trailing
// zeros beyond the minimum dropped, halves rounded away from zero on the
// decimal digits: (x, 1, 6) is "0.0#####", (x, 0, 6) "0.######", (x, 3, 3) "0.000".
QString FormatFloatDecimals(double value, int minDecimals, int maxDecimals);

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);

// The value rounded to `digits` significant digits (49.16154 to 6 is 49.1615).
double RoundSignificant(double value, int digits);
