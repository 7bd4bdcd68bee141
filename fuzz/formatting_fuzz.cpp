// Arbitrary text read as a number, as the numeric fields and the settings file read
// it, under a point and under a comma as the decimal separator. TextToFloat and
// StrToFloat agree on what is a number; a number is finite; and the general format the
// settings file is written in reads back, to within its fifteen digits. The display
// formats take whatever was read.
#include "platform/core/Exceptions.h"
#include "platform/core/Formatting.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

TFormatSettings CommaSettings()
{
    TFormatSettings fs = UnitedStatesFormatSettings();
    fs.DecimalSeparator = QLatin1Char(',');
    fs.ThousandSeparator = QLatin1Char('.');
    fs.CurrencyString = QStringLiteral("EUR");
    fs.CurrencyFormat = 3;
    fs.NegCurrFormat = 8;
    return fs;
}

void Check(const QString &text, const TFormatSettings &fs)
{
    long double value = 0;
    const bool ok = TextToFloat(text, value, fs);
    bool raised = false;
    try {
        const long double again = StrToFloat(text, fs);
        if (!ok || !(again == value))
            __builtin_trap();
    } catch (const EConvertError &) {
        raised = true;
    }
    if (raised == ok)
        __builtin_trap();
    if (!ok)
        return;
    if (!std::isfinite(value))
        __builtin_trap();

    const QString general = FloatToStr(value, fs);
    long double back = 0;
    if (!TextToFloat(general, back, fs))
        __builtin_trap();
    if (std::fabs(back - value) > std::fabs(value) * 1e-14L)
        __builtin_trap();

    FloatToStrF(value, ffCurrency, 15, 2, fs);
    FloatToStrF(value, ffNumber, 18, 4, fs);
    FloatToStrF(value, ffFixed, 18, 18, fs);
    FloatToStrF(value, ffExponent, 18, 4, fs);
    FormatFloat(QStringLiteral("#,##0.00;(#,##0.00);\"zero\""), value, fs);
    FormatFloat(QStringLiteral("0.000E+00"), value, fs);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const TFormatSettings point = UnitedStatesFormatSettings();
    static const TFormatSettings comma = CommaSettings();
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    Check(text, point);
    Check(text, comma);
    return 0;
}
