#include "platform/core/Formatting.h"

#include "platform/core/Exceptions.h"

#include <QCoreApplication>
#include <QDate>
#include <QTime>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <string>

static_assert(sizeof(long double) >= 10 && __LDBL_MANT_DIG__ == 64,
              "the number services need the 80-bit extended type");

namespace {

locale_t CLocale()
{
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return c;
}

// Decimal digits of a value: value = 0.D1D2D3... x 10^Exponent. No digits means zero.
struct TFloatRec {
    bool Negative = false;
    bool Nan = false;
    bool Infinite = false;
    int Exponent = 0;
    std::string Digits;
};

// Every digit of the exact binary value, without trailing zeros: glibc prints exactly
// when asked for enough digits, and an m x 2^k with k < 0 has at most -k fraction digits.
void ExactDigits(long double magnitude, std::string &digits, int &exponent)
{
    int binaryExponent = 0;
    std::frexp(magnitude, &binaryExponent);
    int needed = 2;
    if (binaryExponent > 0)
        needed += int(binaryExponent * 0.30103) + 2;
    if (binaryExponent < 64)
        needed += 64 - binaryExponent;
    std::string buffer(std::size_t(needed) + 32, '\0');
    const locale_t previous = uselocale(CLocale());
    const int length = std::snprintf(buffer.data(), buffer.size(), "%.*Le", needed, magnitude);
    uselocale(previous);
    buffer.resize(std::size_t(length));
    const std::size_t e = buffer.find('e');
    digits.clear();
    for (std::size_t i = 0; i < e; ++i)
        if (buffer[i] >= '0' && buffer[i] <= '9')
            digits += buffer[i];
    exponent = std::atoi(buffer.c_str() + e + 1) + 1;
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
}

// Rounds to at most precision significant digits and at most decimals decimals, half
// away from zero on the exact value. A value that rounds to zero loses its sign.
TFloatRec FloatToDecimal(long double value, int precision, int decimals)
{
    TFloatRec rec;
    if (std::isnan(value)) {
        rec.Nan = true;
        return rec;
    }
    rec.Negative = std::signbit(value);
    if (std::isinf(value)) {
        rec.Infinite = true;
        return rec;
    }
    if (value == 0) {
        rec.Negative = false;
        return rec;
    }
    std::string digits;
    int exponent = 0;
    ExactDigits(std::fabs(value), digits, exponent);

    const long long keep = std::min<long long>(precision, (long long)exponent + decimals);
    if (keep < 0 || (keep == 0 && digits[0] < '5')) {
        rec.Negative = false;
        return rec;
    }
    if (std::size_t(keep) < digits.size()) {
        const bool up = digits[std::size_t(keep)] >= '5';
        digits.resize(std::size_t(keep));
        if (up) {
            std::size_t i = digits.size();
            while (i > 0 && digits[i - 1] == '9')
                digits[--i] = '0';
            if (i == 0) {
                // All nines (or nothing kept) carry into a new leading 1.
                digits.assign(1, '1');
                ++exponent;
            } else {
                ++digits[i - 1];
            }
        }
        while (!digits.empty() && digits.back() == '0')
            digits.pop_back();
    }
    rec.Exponent = exponent;
    rec.Digits = digits;
    if (digits.empty())
        rec.Negative = false;
    return rec;
}

QString SpecialText(const TFloatRec &rec)
{
    if (rec.Nan)
        return QStringLiteral("NAN");
    return rec.Negative ? QStringLiteral("-INF") : QStringLiteral("INF");
}

char DigitAt(const TFloatRec &rec, long long index)
{
    return index >= 0 && std::size_t(index) < rec.Digits.size() ? rec.Digits[std::size_t(index)] : '0';
}

QString ExponentText(int exponent, int minDigits, bool plusSign)
{
    QString s = QString::number(std::abs(exponent));
    if (s.size() < minDigits)
        s = QString(minDigits - s.size(), QLatin1Char('0')) + s;
    if (exponent < 0)
        return QLatin1Char('-') + s;
    return plusSign ? QLatin1Char('+') + s : s;
}

QString FormatGeneral(const TFloatRec &rec, int precision, int expDigits, const TFormatSettings &fs)
{
    if (rec.Digits.empty())
        return QStringLiteral("0");
    QString s;
    if (rec.Negative)
        s += QLatin1Char('-');
    const int x = rec.Exponent;
    const QString digits = QString::fromLatin1(rec.Digits.data(), qsizetype(rec.Digits.size()));
    if (x > precision || x < -3) {
        s += digits.at(0);
        if (digits.size() > 1)
            s += fs.DecimalSeparator + digits.mid(1);
        s += QLatin1Char('E') + ExponentText(x - 1, expDigits, false);
        return s;
    }
    if (x <= 0) {
        s += QLatin1Char('0') + QString(fs.DecimalSeparator) + QString(-x, QLatin1Char('0')) + digits;
        return s;
    }
    for (int i = 0; i < x; ++i)
        s += QLatin1Char(DigitAt(rec, i));
    if (digits.size() > x)
        s += fs.DecimalSeparator + digits.mid(x);
    return s;
}

QString FormatExponent(const TFloatRec &rec, int precision, int expDigits, const TFormatSettings &fs)
{
    QString s;
    if (rec.Negative)
        s += QLatin1Char('-');
    s += QLatin1Char(DigitAt(rec, 0));
    if (precision > 1) {
        s += fs.DecimalSeparator;
        for (int i = 1; i < precision; ++i)
            s += QLatin1Char(DigitAt(rec, i));
    }
    const int exponent = rec.Digits.empty() ? 0 : rec.Exponent - 1;
    return s + QLatin1Char('E') + ExponentText(exponent, expDigits, true);
}

// Digits without sign: integer part (grouped when asked) and exactly `decimals` decimals.
QString FixedDigits(const TFloatRec &rec, int decimals, bool grouped, const TFormatSettings &fs)
{
    QString integer;
    if (rec.Digits.empty() || rec.Exponent <= 0) {
        integer = QStringLiteral("0");
    } else {
        for (int i = 0; i < rec.Exponent; ++i) {
            if (grouped && !fs.ThousandSeparator.isNull() && i > 0 && (rec.Exponent - i) % 3 == 0)
                integer += fs.ThousandSeparator;
            integer += QLatin1Char(DigitAt(rec, i));
        }
    }
    if (decimals <= 0)
        return integer;
    QString fraction;
    for (int i = 0; i < decimals; ++i)
        fraction += rec.Digits.empty() ? QLatin1Char('0') : QLatin1Char(DigitAt(rec, (long long)rec.Exponent + i));
    return integer + fs.DecimalSeparator + fraction;
}

QString CurrencyText(const QString &number, bool negative, const TFormatSettings &fs)
{
    const QString &c = fs.CurrencyString;
    const QString &n = number;
    if (!negative) {
        switch (fs.CurrencyFormat) {
        case 1: return n + c;
        case 2: return c + QLatin1Char(' ') + n;
        case 3: return n + QLatin1Char(' ') + c;
        default: return c + n;
        }
    }
    switch (fs.NegCurrFormat) {
    case 1: return QLatin1Char('-') + c + n;
    case 2: return c + QLatin1Char('-') + n;
    case 3: return c + n + QLatin1Char('-');
    case 4: return QLatin1Char('(') + n + c + QLatin1Char(')');
    case 5: return QLatin1Char('-') + n + c;
    case 6: return n + QLatin1Char('-') + c;
    case 7: return n + c + QLatin1Char('-');
    case 8: return QLatin1Char('-') + n + QLatin1Char(' ') + c;
    case 9: return QLatin1Char('-') + c + QLatin1Char(' ') + n;
    case 10: return n + QLatin1Char(' ') + c + QLatin1Char('-');
    case 11: return c + QLatin1Char(' ') + n + QLatin1Char('-');
    case 12: return c + QLatin1Char(' ') + QLatin1Char('-') + n;
    case 13: return n + QLatin1Char('-') + QLatin1Char(' ') + c;
    case 14: return QLatin1Char('(') + c + QLatin1Char(' ') + n + QLatin1Char(')');
    case 15: return QLatin1Char('(') + n + QLatin1Char(' ') + c + QLatin1Char(')');
    default: return QLatin1Char('(') + c + n + QLatin1Char(')');
    }
}

// One section of a number mask, read once: where its digit placeholders are and what
// they ask for.
struct TMaskSection {
    QString Text;
    int IntegerPlaceholders = 0;
    int IntegerZeroFrom = -1; // index among the integer placeholders of the first "0"
    int FractionPlaceholders = 0;
    int FractionZeroUpTo = 0; // decimals always shown (up to the last "0")
    bool Thousands = false;
    bool Scientific = false;
    bool ExponentPlus = false;
    int ExponentDigits = 0;
};

qsizetype SkipQuoted(const QString &text, qsizetype at)
{
    const QChar quote = text.at(at);
    ++at;
    while (at < text.size() && text.at(at) != quote)
        ++at;
    return at; // on the closing quote, or at the end
}

bool IsExponentAt(const QString &text, qsizetype at)
{
    return (text.at(at) == QLatin1Char('E') || text.at(at) == QLatin1Char('e')) && at + 2 < text.size() &&
           (text.at(at + 1) == QLatin1Char('+') || text.at(at + 1) == QLatin1Char('-')) &&
           text.at(at + 2) == QLatin1Char('0');
}

QStringList SplitSections(const QString &format)
{
    QStringList sections;
    QString current;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const qsizetype end = SkipQuoted(format, i);
            current += format.mid(i, end - i + 1);
            i = end;
        } else if (c == QLatin1Char(';')) {
            sections << current;
            current.clear();
        } else {
            current += c;
        }
    }
    sections << current;
    return sections;
}

TMaskSection ReadSection(const QString &text)
{
    TMaskSection m;
    m.Text = text;
    bool inFraction = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            i = SkipQuoted(text, i);
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (inFraction) {
                ++m.FractionPlaceholders;
                if (c == QLatin1Char('0'))
                    m.FractionZeroUpTo = m.FractionPlaceholders;
            } else {
                if (c == QLatin1Char('0') && m.IntegerZeroFrom < 0)
                    m.IntegerZeroFrom = m.IntegerPlaceholders;
                ++m.IntegerPlaceholders;
            }
        } else if (c == QLatin1Char('.')) {
            inFraction = true;
        } else if (c == QLatin1Char(',')) {
            m.Thousands = true;
        } else if (!m.Scientific && IsExponentAt(text, i)) {
            m.Scientific = true;
            m.ExponentPlus = text.at(i + 1) == QLatin1Char('+');
            i += 2;
            while (i < text.size() && text.at(i) == QLatin1Char('0')) {
                ++m.ExponentDigits;
                ++i;
            }
            --i;
        }
    }
    m.ExponentDigits = std::min(m.ExponentDigits, 4);
    return m;
}

// Writes the section with the integer digits right-aligned on the integer placeholders
// (the first one takes any extra leading digits) and the fraction digits left-aligned.
// Long by design: one walk over the mask, character by character.
QString ApplySection(const TMaskSection &m, const QString &integerDigits, const QString &fractionDigits, int exponent,
                     bool minus, const TFormatSettings &fs)
{
    QString integer = integerDigits;
    if (integer == QLatin1String("0"))
        integer.clear();
    const int minInteger = m.IntegerZeroFrom < 0 ? 0 : m.IntegerPlaceholders - m.IntegerZeroFrom;
    if (integer.size() < minInteger)
        integer = QString(minInteger - integer.size(), QLatin1Char('0')) + integer;
    const qsizetype fractionShown = std::max<qsizetype>(fractionDigits.size(), m.FractionZeroUpTo);

    QString out;
    if (minus)
        out += QLatin1Char('-');
    auto emitIntegerDigit = [&](qsizetype index) {
        const qsizetype fromRight = integer.size() - index - 1;
        out += integer.at(index);
        if (m.Thousands && !fs.ThousandSeparator.isNull() && fromRight > 0 && fromRight % 3 == 0)
            out += fs.ThousandSeparator;
    };
    int integerSeen = 0;
    int fractionSeen = 0;
    qsizetype nextInteger = 0;
    bool inFraction = false;
    const QString &t = m.Text;
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const qsizetype end = SkipQuoted(t, i);
            out += t.mid(i + 1, end - i - 1);
            i = end;
        } else if ((c == QLatin1Char('0') || c == QLatin1Char('#')) && !inFraction) {
            ++integerSeen;
            const qsizetype placesLeft = m.IntegerPlaceholders - integerSeen;
            while (nextInteger < integer.size() && integer.size() - nextInteger > placesLeft)
                emitIntegerDigit(nextInteger++);
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (fractionSeen < fractionShown)
                out += fractionSeen < fractionDigits.size() ? fractionDigits.at(fractionSeen) : QLatin1Char('0');
            ++fractionSeen;
        } else if (c == QLatin1Char('.')) {
            if (!inFraction) {
                while (nextInteger < integer.size())
                    emitIntegerDigit(nextInteger++);
                if (fractionShown > 0)
                    out += fs.DecimalSeparator;
            }
            inFraction = true;
        } else if (c == QLatin1Char(',')) {
        } else if (m.Scientific && IsExponentAt(t, i)) {
            while (nextInteger < integer.size())
                emitIntegerDigit(nextInteger++);
            out += t.at(i);
            out += ExponentText(exponent, m.ExponentDigits, m.ExponentPlus);
            i += 2;
            while (i < t.size() && t.at(i) == QLatin1Char('0'))
                ++i;
            --i;
        } else {
            out += c;
        }
    }
    while (nextInteger < integer.size())
        emitIntegerDigit(nextInteger++);
    return out;
}

} // namespace

bool TextToFloat(const QString &text, long double &value, const TFormatSettings &fs)
{
    std::string ascii;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto isDigit = [&](qsizetype at) {
        return at < n && text.at(at) >= QLatin1Char('0') && text.at(at) <= QLatin1Char('9');
    };
    while (i < n && text.at(i) == QLatin1Char(' '))
        ++i;
    if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
        ascii += char(text.at(i++).unicode());
    int mantissaDigits = 0;
    while (isDigit(i)) {
        ascii += char(text.at(i++).unicode());
        ++mantissaDigits;
    }
    if (i < n && text.at(i) == fs.DecimalSeparator) {
        ascii += '.';
        ++i;
        while (isDigit(i)) {
            ascii += char(text.at(i++).unicode());
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < n && (text.at(i) == QLatin1Char('E') || text.at(i) == QLatin1Char('e'))) {
        ascii += 'e';
        ++i;
        if (i < n && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-')))
            ascii += char(text.at(i++).unicode());
        if (!isDigit(i))
            return false;
        while (isDigit(i))
            ascii += char(text.at(i++).unicode());
    }
    while (i < n && text.at(i) == QLatin1Char(' '))
        ++i;
    if (i != n)
        return false;
    char *end = nullptr;
    const long double result = strtold_l(ascii.c_str(), &end, CLocale());
    if (end != ascii.c_str() + ascii.size() || std::isinf(result))
        return false;
    value = result;
    return true;
}

bool TextToFloat(const QString &text, long double &value)
{
    return TextToFloat(text, value, FormatSettings());
}

long double StrToFloat(const QString &text, const TFormatSettings &fs)
{
    long double value = 0;
    if (!TextToFloat(text, value, fs))
        throw EConvertError(
            QCoreApplication::translate("Formatting", "'%1' is not a valid floating point value").arg(text));
    return value;
}

long double StrToFloat(const QString &text)
{
    return StrToFloat(text, FormatSettings());
}

QString FloatToStrF(long double value, TFloatFormat format, int precision, int digits, const TFormatSettings &fs)
{
    precision = std::clamp(precision, 1, 18);
    switch (format) {
    case ffExponent: {
        const TFloatRec rec = FloatToDecimal(value, precision, 9999);
        if (rec.Nan || rec.Infinite)
            return SpecialText(rec);
        return FormatExponent(rec, precision, std::clamp(digits, 0, 4), fs);
    }
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
        digits = std::clamp(digits, 0, 18);
        const TFloatRec rec = FloatToDecimal(value, precision, digits);
        if (rec.Nan || rec.Infinite)
            return SpecialText(rec);
        if (rec.Exponent > precision)
            return FormatGeneral(rec, precision, 0, fs);
        const QString number = FixedDigits(rec, digits, format != ffFixed, fs);
        if (format == ffCurrency)
            return CurrencyText(number, rec.Negative, fs);
        return rec.Negative ? QLatin1Char('-') + number : number;
    }
    case ffGeneral:
    default: {
        const TFloatRec rec = FloatToDecimal(value, precision, 9999);
        if (rec.Nan || rec.Infinite)
            return SpecialText(rec);
        return FormatGeneral(rec, precision, std::clamp(digits, 0, 4), fs);
    }
    }
}

QString FloatToStrF(long double value, TFloatFormat format, int precision, int digits)
{
    return FloatToStrF(value, format, precision, digits, FormatSettings());
}

QString FloatToStr(long double value, const TFormatSettings &fs)
{
    return FloatToStrF(value, ffGeneral, 15, 0, fs);
}

QString FloatToStr(long double value)
{
    return FloatToStr(value, FormatSettings());
}

// Long by design: choosing the section, rounding, then the exponent form, in the order
// the mask rules apply them.
QString FormatFloat(const QString &format, long double value, const TFormatSettings &fs)
{
    if (std::isnan(value) || std::isinf(value) || format.isEmpty())
        return FloatToStrF(value, ffGeneral, 15, 0, fs);
    const QStringList sections = SplitSections(format);
    auto sectionAt = [&](int index) -> QString { return index < sections.size() ? sections.at(index) : QString(); };

    int index = 0;
    if (value < 0 && !sectionAt(1).isEmpty())
        index = 1;
    else if (value == 0 && !sectionAt(2).isEmpty())
        index = 2;
    TMaskSection m = ReadSection(sectionAt(index));
    // A negative value printed through the positive section carries its own minus.
    bool minus = value < 0 && index == 0;

    if (!m.Scientific && std::fabs(value) >= 1e18L)
        return FloatToStrF(value, ffGeneral, 15, 0, fs);

    TFloatRec rec;
    int shift = 0;
    if (m.Scientific) {
        const int integerCount = std::max(1, m.IntegerPlaceholders);
        const int precision = std::clamp(integerCount + m.FractionPlaceholders, 1, 18);
        rec = FloatToDecimal(value, precision, 9999);
        shift = integerCount;
    } else {
        rec = FloatToDecimal(value, 18, m.FractionPlaceholders);
    }
    if (rec.Digits.empty() && value != 0) {
        // Rounded away to nothing: shown as a zero, through the zero section if any.
        if (!sectionAt(2).isEmpty())
            m = ReadSection(sectionAt(2));
        else if (index == 1)
            m = ReadSection(sectionAt(0));
        minus = false;
        if (m.Scientific)
            shift = std::max(1, m.IntegerPlaceholders);
    }

    const QString digits = QString::fromLatin1(rec.Digits.data(), qsizetype(rec.Digits.size()));
    QString integer;
    QString fraction;
    int exponent = 0;
    if (m.Scientific) {
        const int integerCount = std::max(1, m.IntegerPlaceholders);
        integer = digits.left(integerCount);
        if (integer.size() < integerCount)
            integer += QString(integerCount - integer.size(), QLatin1Char('0'));
        fraction = digits.mid(integerCount);
        exponent = rec.Digits.empty() ? 0 : rec.Exponent - shift;
        // Leading zeros of the mantissa are not padding here: keep them as digits.
        if (m.IntegerZeroFrom < 0)
            m.IntegerZeroFrom = 0;
    } else if (!rec.Digits.empty()) {
        if (rec.Exponent > 0) {
            integer = digits.left(rec.Exponent);
            if (integer.size() < rec.Exponent)
                integer += QString(rec.Exponent - integer.size(), QLatin1Char('0'));
            fraction = digits.mid(rec.Exponent);
        } else {
            fraction = QString(-rec.Exponent, QLatin1Char('0')) + digits;
        }
    }
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    return ApplySection(m, integer, fraction, exponent, minus, fs);
}

QString FormatFloat(const QString &format, long double value)
{
    return FormatFloat(format, value, FormatSettings());
}
