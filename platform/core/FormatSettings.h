#pragma once

#include <QChar>
#include <QString>
#include <array>

// The regional settings the program formats and reads numbers and dates with, in the
// shape of the Windows record: currency codes 0-3 and 0-15, single-character separators,
// date and time patterns in the pattern letters of FormatDateTime ("/" and ":" stand for
// DateSeparator and TimeSeparator). A null ThousandSeparator means the locale groups no
// digits.
struct TFormatSettings {
    QString CurrencyString;
    // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
    quint8 CurrencyFormat = 0;
    // 0 "($1)", 1 "-$1", 2 "$-1", 3 "$1-", 4 "(1$)", 5 "-1$", 6 "1-$", 7 "1$-",
    // 8 "-1 $", 9 "-$ 1", 10 "1 $-", 11 "$ 1-", 12 "$ -1", 13 "1- $", 14 "($ 1)", 15 "(1 $)"
    quint8 NegCurrFormat = 0;
    QChar ThousandSeparator;
    QChar DecimalSeparator;
    quint8 CurrencyDecimals = 2;
    QChar DateSeparator;
    QChar TimeSeparator;
    QString ShortDateFormat;
    QString LongDateFormat;
    QString TimeAMString;
    QString TimePMString;
    QString ShortTimeFormat;
    QString LongTimeFormat;
    std::array<QString, 12> ShortMonthNames;
    std::array<QString, 12> LongMonthNames;
    // Sunday first
    std::array<QString, 7> ShortDayNames;
    std::array<QString, 7> LongDayNames;
};

// "$" before the number, "($1,234.50)" for negatives, "," and ".", M/d/yyyy,
// "dddd, MMMM dd, yyyy", h:mm:ss AM/PM and h:mm AM/PM.
TFormatSettings UnitedStatesFormatSettings();

// Reads the user's locale (setlocale(LC_ALL, ""), localeconv, nl_langinfo). A category
// left at C, POSIX or C.UTF-8 keeps the United States values.
TFormatSettings FormatSettingsFromLocale();

// The process-wide record, read from the locale on first use.
const TFormatSettings &FormatSettings();
void SetFormatSettings(const TFormatSettings &settings);
