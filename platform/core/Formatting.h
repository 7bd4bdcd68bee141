#pragma once

#include "platform/core/FormatSettings.h"

#include <QDateTime>
#include <QString>
#include <limits>

// Number and date services with the behaviour the program's windows were designed
// against. Each takes the regional settings explicitly or uses FormatSettings().

// Optional blanks, an optional sign, digits with an optional decimal separator and
// fraction, an optional exponent, optional blanks; nothing else. The result is the
// nearest long double; a value beyond the long double range makes the text bad.
bool TextToFloat(const QString &text, long double &value, const TFormatSettings &fs);
bool TextToFloat(const QString &text, long double &value);

// As TextToFloat, raising EConvertError "'<text>' is not a valid floating point value".
long double StrToFloat(const QString &text, const TFormatSettings &fs);
long double StrToFloat(const QString &text);

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// precision: significant digits (at most 18); digits: decimals for ffFixed, ffNumber and
// ffCurrency, exponent width for ffExponent, unused for ffGeneral. Decimal rounding is
// half away from zero on the exact binary value.
QString FloatToStrF(long double value, TFloatFormat format, int precision, int digits, const TFormatSettings &fs);
QString FloatToStrF(long double value, TFloatFormat format, int precision, int digits);

// General format with 15 significant digits.
QString FloatToStr(long double value, const TFormatSettings &fs);
QString FloatToStr(long double value);

// Mask formatting: "positive;negative;zero" sections of "0", "#", ",", ".", "E+"/"E-"
// and literal text (quoted or not).
QString FormatFloat(const QString &format, long double value, const TFormatSettings &fs);
QString FormatFloat(const QString &format, long double value);

// Date and time patterns: c, t, tt, ddddd, dddddd, d dd ddd dddd, m mm mmm mmmm, yy yyyy,
// h hh, n nn, s ss, z zzz, am/pm a/p ampm, "/" and ":" separators, quoted literals.
// Letters are case-insensitive; m after an hour means minutes.
QString FormatDateTime(const QString &format, const QDateTime &dt, const TFormatSettings &fs);
QString FormatDateTime(const QString &format, const QDateTime &dt);

// The count a translated text picks its plural form by ("1 byte", "2 bytes"), for
// counts beyond the int that Qt's translation takes; an unknown count (below zero) reads
// as many.
inline int PluralCount(qint64 count)
{
    return count < 0 || count > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : int(count);
}
