#include "platform/core/Exceptions.h"
#include "platform/core/Formatting.h"
#include "platform/core/Real48.h"

#include <QDateTime>
#include <gtest/gtest.h>

#include <cctype>
#include <cfloat>
#include <map>

namespace {

TFormatSettings Us()
{
    return UnitedStatesFormatSettings();
}

TFormatSettings German()
{
    TFormatSettings fs = UnitedStatesFormatSettings();
    fs.DecimalSeparator = QLatin1Char(',');
    fs.ThousandSeparator = QLatin1Char('.');
    fs.CurrencyString = QStringLiteral("€");
    fs.CurrencyFormat = 3;
    fs.NegCurrFormat = 8;
    fs.DateSeparator = QLatin1Char('.');
    fs.ShortDateFormat = QStringLiteral("dd/MM/yyyy");
    fs.LongTimeFormat = QStringLiteral("hh:mm:ss");
    fs.ShortTimeFormat = QStringLiteral("hh:mm");
    return fs;
}

long double FromBytes(std::array<std::uint8_t, 6> bytes)
{
    Real48 r;
    r.Bytes = bytes;
    return FromReal48(r);
}

} // namespace

namespace {

// A case's name spelled out from its text: test names take letters, digits and underscores only.
std::string Spelled(const char *text)
{
    static const std::map<char, const char *> words = {{' ', "_"},     {'\t', "Tab"}, {'.', "Dot"},    {',', "Comma"},
                                                       {'-', "Minus"}, {'+', "Plus"}, {'$', "Dollar"}, {'(', "Open"},
                                                       {')', "Close"}, {'#', "Hash"}, {'%', "Percent"}};
    std::string name;
    for (const char *c = text; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? std::string(1, *c) : std::string(words.at(*c));
    return name.empty() ? "Empty" : name;
}

struct NumberTextRow {
    const char *text;
    bool ok;
    long double value;
};

// One row per line reads as a table.
// clang-format off
const NumberTextRow NumberTexts[] = {
    {"1234.56", true, 1234.56L},
    {"  12  ", true, 12.0L},
    {"+5", true, 5.0L},
    {"-5", true, -5.0L},
    {" -0.25 ", true, -0.25L},
    {"1e3", true, 1000.0L},
    {"1E+3", true, 1000.0L},
    {"25e-2", true, 0.25L},
    {".5", true, 0.5L},
    {"5.", true, 5.0L},
    {"1e4932", true, 1e4932L},
    {"", false, 0},
    {"   ", false, 0},
    {"-", false, 0},
    {".", false, 0},
    {"-.", false, 0},
    {"1,000", false, 0},
    {"$5", false, 0},
    {"\t5", false, 0},
    {"5\t", false, 0},
    {"1.2.3", false, 0},
    {"1e", false, 0},
    {"1e+", false, 0},
    {"e5", false, 0},
    {"+-5", false, 0},
    {"1 2", false, 0},
    {"abc", false, 0},
    {"0x10", false, 0},
    {"inf", false, 0},
    {"nan", false, 0},
    {"1e4933", false, 0},
    {"-1e5000", false, 0},
};
// clang-format on

class NumberText : public ::testing::TestWithParam<NumberTextRow> {};

} // namespace

// Only the number grammar is accepted; a bad text leaves the value alone.
TEST_P(NumberText, FollowsTheNumberGrammar)
{
    const NumberTextRow &row = GetParam();
    long double value = -42;
    const bool ok = TextToFloat(QString::fromLatin1(row.text), value, Us());
    EXPECT_EQ(std::make_pair(ok, value), std::make_pair(row.ok, row.ok ? row.value : -42.0L));
}

INSTANTIATE_TEST_SUITE_P(TextToFloat, NumberText, ::testing::ValuesIn(NumberTexts),
                         [](const auto &info) { return Spelled(info.param.text); });

TEST(TextToFloat, UsesTheLocaleDecimalSeparatorOnly)
{
    long double value = 0;
    EXPECT_TRUE(TextToFloat(QStringLiteral("4,5"), value, German()));
    EXPECT_EQ(value, 4.5L);
    EXPECT_FALSE(TextToFloat(QStringLiteral("4.5"), value, German()));
    EXPECT_FALSE(TextToFloat(QStringLiteral("4,5"), value, Us()));
}

TEST(TextToFloat, RoundsCorrectlyToExtended)
{
    long double value = 0;
    ASSERT_TRUE(TextToFloat(QStringLiteral("0.1"), value, Us()));
    EXPECT_EQ(value, 0.1L);
    // Halfway between two extended values (2^64 + 1 needs 65 bits): ties go to even.
    ASSERT_TRUE(TextToFloat(QStringLiteral("18446744073709551617"), value, Us()));
    EXPECT_EQ(value, 18446744073709551616.0L);
    ASSERT_TRUE(TextToFloat(QStringLiteral("18446744073709551619"), value, Us()));
    EXPECT_EQ(value, 18446744073709551620.0L);
    ASSERT_TRUE(TextToFloat(QStringLiteral("1e-4940"), value, Us()));
    EXPECT_GT(value, 0.0L);
}

TEST(StrToFloat, RaisesTheConversionError)
{
    EXPECT_EQ(StrToFloat(QStringLiteral("-12.5"), Us()), -12.5L);
    try {
        StrToFloat(QStringLiteral("1.2.3"), Us());
        FAIL() << "no error";
    } catch (const EConvertError &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("'1.2.3' is not a valid floating point value"));
    }
    EXPECT_THROW(StrToFloat(QString(), Us()), EConvertError);
}

namespace {

struct GeneralRow {
    long double value;
    const char *text;
    const char *name = nullptr; // where the text alone does not name the case
};

const GeneralRow GeneralTexts[] = {
    {0.0L, "0"},
    {-0.0L, "0", "NegativeZero"},
    {4.0L, "4"},
    {4.5L, "4.5"},
    {4.125L, "4.125"},
    {-2500.75L, "-2500.75"},
    {100000.0L, "100000"},
    {123456789012345.0L, "123456789012345"},
    {1234567890123456.0L, "1.23456789012346E15"},
    {1e15L, "1E15"},
    {1e20L, "1E20"},
    {0.0001L, "0.0001"},
    {0.00012345L, "0.00012345"},
    {0.00001L, "1E-5"},
    {-0.000012345L, "-1.2345E-5"},
    {0.1L, "0.1"},
    {1.0L / 3.0L, "0.333333333333333"},
    {2.0L / 3.0L, "0.666666666666667"},
    {999999999999999.5L, "1E15", "HalfBelow1E15"},
    {1.7e38L, "1.7E38"},
    {2.9e-39L, "2.9E-39"},
};

class GeneralFormat : public ::testing::TestWithParam<GeneralRow> {};

} // namespace

TEST_P(GeneralFormat, ShowsFifteenDigits)
{
    EXPECT_EQ(FloatToStr(GetParam().value, Us()), QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(FloatToStr, GeneralFormat, ::testing::ValuesIn(GeneralTexts), [](const auto &info) {
    return info.param.name ? std::string(info.param.name) : Spelled(info.param.text);
});

TEST(FloatToStr, GermanSettingsUseTheDecimalComma)
{
    EXPECT_EQ(FloatToStr(-2500.75L, German()), QStringLiteral("-2500,75"));
    EXPECT_EQ(FloatToStr(1.5e-7L, German()), QStringLiteral("1,5E-7"));
}

TEST(FloatToStr, ShowsTheStorageRoundingOfSavedValues)
{
    EXPECT_EQ(FloatToStr(FromBytes({0x8B, 0x1F, 0x85, 0xEB, 0x51, 0x1A}), Us()), QStringLiteral("1234.56000000052"));
    EXPECT_EQ(FloatToStr(FromReal48(ToReal48(1000.1L)), Us()), QStringLiteral("1000.09999999963"));
    EXPECT_EQ(FloatToStr(FromReal48(ToReal48(4.125L)), Us()), QStringLiteral("4.125"));
    EXPECT_EQ(FloatToStr(FromBytes({0x7D, 0xCD, 0xCC, 0xCC, 0xCC, 0x4C}), Us()), QStringLiteral("0.100000000000023"));
}

namespace {

struct CurrencyRow {
    long double value;
    int precision;
    int digits;
    const char *text;
    const char *name = nullptr; // where the text alone does not name the case
};

const CurrencyRow CurrencyTexts[] = {
    {1234.5L, 12, 2, "$1,234.50"},
    {-1234.5L, 12, 2, "($1,234.50)"},
    {1000.0L, 10, 2, "$1,000.00"},
    {0.0L, 12, 2, "$0.00"},
    {-0.001L, 12, 2, "$0.00", "LessThanAHalfCentBelowZero"},
    {0.125L, 12, 2, "$0.13"},
    {-0.125L, 12, 2, "($0.13)"},
    {30000000.0L, 12, 2, "$30,000,000.00"},
    {123456789.12L, 10, 2, "$123,456,789.10"},
    {999999999999.0L, 12, 2, "$999,999,999,999.00"},
    {1234567890123.0L, 12, 2, "1.23456789012E12"},
    {12345678901.23L, 10, 2, "1.23456789E10"},
    {-12345678901.23L, 10, 2, "-1.23456789E10"},
    {9999999999.996L, 10, 2, "1E10"},
    {6144.567L, 12, 2, "$6,144.57"},
    {5.0L, 12, 0, "$5"},
};

class UnitedStatesCurrency : public ::testing::TestWithParam<CurrencyRow> {};

} // namespace

TEST_P(UnitedStatesCurrency, ShowsTheAmount)
{
    const CurrencyRow &row = GetParam();
    EXPECT_EQ(FloatToStrF(row.value, ffCurrency, row.precision, row.digits, Us()), QString::fromLatin1(row.text));
}

INSTANTIATE_TEST_SUITE_P(FloatToStrF, UnitedStatesCurrency, ::testing::ValuesIn(CurrencyTexts), [](const auto &info) {
    return info.param.name ? std::string(info.param.name) : Spelled(info.param.text);
});

namespace {

// A currency pattern of the record: the amount's sign, the pattern's number and the text.
struct CurrencyPatternRow {
    bool negative;
    quint8 format;
    const char *text;
};

const CurrencyPatternRow CurrencyPatterns[] = {
    {false, 0, "$1,234.50"}, {false, 1, "1,234.50$"}, {false, 2, "$ 1,234.50"}, {false, 3, "1,234.50 $"},
    {true, 0, "($1.50)"},    {true, 1, "-$1.50"},     {true, 2, "$-1.50"},      {true, 3, "$1.50-"},
    {true, 4, "(1.50$)"},    {true, 5, "-1.50$"},     {true, 6, "1.50-$"},      {true, 7, "1.50$-"},
    {true, 8, "-1.50 $"},    {true, 9, "-$ 1.50"},    {true, 10, "1.50 $-"},    {true, 11, "$ 1.50-"},
    {true, 12, "$ -1.50"},   {true, 13, "1.50- $"},   {true, 14, "($ 1.50)"},   {true, 15, "(1.50 $)"},
};

class CurrencyPattern : public ::testing::TestWithParam<CurrencyPatternRow> {};

} // namespace

TEST_P(CurrencyPattern, PlacesTheSymbolAndTheSign)
{
    const CurrencyPatternRow &row = GetParam();
    TFormatSettings fs = Us();
    (row.negative ? fs.NegCurrFormat : fs.CurrencyFormat) = row.format;
    EXPECT_EQ(FloatToStrF(row.negative ? -1.5L : 1234.5L, ffCurrency, 15, 2, fs), QString::fromLatin1(row.text));
}

INSTANTIATE_TEST_SUITE_P(FloatToStrF, CurrencyPattern, ::testing::ValuesIn(CurrencyPatterns), [](const auto &info) {
    return (info.param.negative ? "Negative" : "Positive") + std::to_string(info.param.format);
});

TEST(FloatToStrF, GermanCurrency)
{
    EXPECT_EQ(FloatToStrF(-1234.5L, ffCurrency, 15, 2, German()), QString::fromUtf8("-1.234,50 €"));
}

TEST(FloatToStrF, FixedNumberAndExponent)
{
    const TFormatSettings us = Us();
    EXPECT_EQ(FloatToStrF(12.5L, ffFixed, 12, 2, us), QStringLiteral("12.50"));
    EXPECT_EQ(FloatToStrF(1234567.891L, ffFixed, 12, 2, us), QStringLiteral("1234567.89"));
    EXPECT_EQ(FloatToStrF(-0.375L, ffFixed, 12, 2, us), QStringLiteral("-0.38"));
    EXPECT_EQ(FloatToStrF(0.4L, ffFixed, 12, 0, us), QStringLiteral("0"));
    EXPECT_EQ(FloatToStrF(2.5L, ffFixed, 12, 0, us), QStringLiteral("3"));
    EXPECT_EQ(FloatToStrF(-2.5L, ffFixed, 12, 0, us), QStringLiteral("-3"));
    EXPECT_EQ(FloatToStrF(1000.0L, ffNumber, 10, 3, us), QStringLiteral("1,000.000"));
    EXPECT_EQ(FloatToStrF(4.125L, ffNumber, 10, 3, us), QStringLiteral("4.125"));
    EXPECT_EQ(FloatToStrF(-1234567.0L, ffNumber, 10, 0, us), QStringLiteral("-1,234,567"));
    EXPECT_EQ(FloatToStrF(1234567.5L, ffNumber, 10, 2, German()), QStringLiteral("1.234.567,50"));
    EXPECT_EQ(FloatToStrF(1234.5L, ffExponent, 4, 2, us), QStringLiteral("1.235E+03"));
    EXPECT_EQ(FloatToStrF(-0.00012L, ffExponent, 3, 0, us), QStringLiteral("-1.20E-4"));
    EXPECT_EQ(FloatToStrF(0.0L, ffExponent, 2, 1, us), QStringLiteral("0.0E+0"));
}

TEST(FloatToStrF, RoundsHalfAwayFromZeroOnTheExactBinaryValue)
{
    const TFormatSettings us = Us();
    // Exact halves (representable in 64 significand bits) go away from zero.
    EXPECT_EQ(FloatToStrF(9007199254740992.5L, ffFixed, 18, 0, us), QStringLiteral("9007199254740993"));
    EXPECT_EQ(FloatToStrF(-9007199254740992.5L, ffFixed, 18, 0, us), QStringLiteral("-9007199254740993"));
    EXPECT_EQ(FloatToStrF(0.0625L, ffFixed, 18, 3, us), QStringLiteral("0.063"));
    // A value just below the half, such as the double nearest 1.005, goes down; a
    // shortest-digits conversion would see 1.005 and go up.
    EXPECT_EQ(FloatToStrF((long double)1.005, ffFixed, 15, 2, us), QStringLiteral("1.00"));
    EXPECT_EQ(FloatToStrF((long double)0.285, ffFixed, 15, 2, us), QStringLiteral("0.28"));
    // One unit in the last place above a half goes up although a 20-digit print ends in 5000.
    const long double aboveHalf = std::nextafter(0.5L, 1.0L);
    EXPECT_EQ(FloatToStrF(aboveHalf, ffFixed, 18, 0, us), QStringLiteral("1"));
    const long double belowHalf = std::nextafter(0.5L, 0.0L);
    EXPECT_EQ(FloatToStrF(belowHalf, ffFixed, 18, 0, us), QStringLiteral("0"));
    // 99.995L lies a little above 99.995; the carry runs through every nine.
    EXPECT_EQ(FloatToStrF(99.995L, ffFixed, 18, 2, us), QStringLiteral("100.00"));
    EXPECT_EQ(FloatToStrF(LDBL_MAX, ffGeneral, 18, 0, us), QStringLiteral("1.18973149535723177E4932"));
    EXPECT_EQ(FloatToStrF(-LDBL_TRUE_MIN, ffGeneral, 18, 0, us), QStringLiteral("-3.6451995318824746E-4951"));
}

namespace {

struct MaskRow {
    const char *mask;
    long double value;
    const char *text;
    const char *name = nullptr; // where the text alone does not name the case
};

const MaskRow Masks[] = {
    {"#,##0", 1234567.0L, "1,234,567"},
    {"#,##0", 0.0L, "0", "GroupedZero"},
    {"#,##0", 999.0L, "999"},
    {"#,##0", -5.0L, "-5"},
    {"#,##0;;", -5.0L, "-5", "EmptyNegativeSection"},
    {"#,##0;(#,##0);", -5.0L, "(5)"},
    {"#,##0;(#,##0);", -1234.0L, "(1,234)"},
    {"#,##0;(#,##0);\"zero\"", 0.0L, "zero"},
    {"#,##0;(#,##0);'nil'", -0.3L, "nil"},
    {"#,##0;;", -0.3L, "0", "EmptySectionsRoundingToZero"},
    {"0.000", 4.125L, "4.125"},
    {"0.000", 4.0L, "4.000"},
    {"0.000", -3.0L, "-3.000"},
    {"0.000", 0.0625L, "0.063"},
    {"0.000", -0.0625L, "-0.063"},
    {"0", 2.5L, "3"},
    {"0", 0.0L, "0", "OneDigitZero"},
    {"0.00", 1234567.891L, "1234567.89"},
    {"#.##", 0.5L, ".5"},
    {"0.##", 1.0L, "1"},
    {"0.##", 1.25L, "1.25"},
    {"0.0#", 1.5L, "1.5"},
    {"0.0#", 1.0L, "1.0"},
    {"00000", 42.0L, "00042"},
    {"000-00-0000", 123456789.0L, "123-45-6789"},
    {"'$'#,##0.00", 12.5L, "$12.50"},
    {"\"#\"0", 5.0L, "#5"},
    {"0.00%", 12.5L, "12.50%"},
    {"0.00E+00", 12345.0L, "1.23E+04"},
    {"0.0E-0", 0.00012L, "1.2E-4"},
    {"0.0E+0", 0.0L, "0.0E+0"},
    {"0.0E-0", 25000.0L, "2.5E4"},
    {"0", 1e18L, "1E18"},
    {"", 1234.5L, "1234.5", "NoMask"},
};

class Mask : public ::testing::TestWithParam<MaskRow> {};

} // namespace

TEST_P(Mask, FormatsEachSection)
{
    const MaskRow &row = GetParam();
    EXPECT_EQ(FormatFloat(QString::fromLatin1(row.mask), row.value, Us()), QString::fromLatin1(row.text));
}

INSTANTIATE_TEST_SUITE_P(FormatFloat, Mask, ::testing::ValuesIn(Masks), [](const auto &info) {
    return info.param.name ? std::string(info.param.name) : Spelled(info.param.text);
});

TEST(FormatFloat, GermanSettingsUseTheirSeparators)
{
    EXPECT_EQ(FormatFloat(QStringLiteral("0.000"), 4.125L, German()), QStringLiteral("4,125"));
    EXPECT_EQ(FormatFloat(QStringLiteral("#,##0.00"), 1234.5L, German()), QStringLiteral("1.234,50"));
}

namespace {

// The moments the patterns are shown for.
enum Moment { Afternoon, Midnight, HalfPast, Year905 };

QDateTime At(Moment moment)
{
    const QDateTime moments[] = {
        QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9, 45)), QDateTime(QDate(2024, 3, 5), QTime(0, 0)),
        QDateTime(QDate(1999, 12, 31), QTime(0, 30, 5)), QDateTime(QDate(905, 1, 1), QTime(1, 0))};
    return moments[moment];
}

struct PatternRow {
    const char *name;
    const char *format;
    Moment moment;
    const char *text;
};

const PatternRow Patterns[] = {
    {"DateAndTime", "c", Afternoon, "3/5/2024 2:07:09 PM"},
    {"DateAndTimeAtMidnight", "c", Midnight, "3/5/2024"},
    {"ShortTime", "t", Afternoon, "2:07 PM"},
    {"LongTime", "tt", Afternoon, "2:07:09 PM"},
    {"LongTimeAfterMidnight", "tt", HalfPast, "12:30:05 AM"},
    {"ShortDate", "ddddd", Afternoon, "3/5/2024"},
    {"LongDate", "dddddd", Afternoon, "Tuesday, March 05, 2024"},
    {"ShortDateAndLongTime", "ddddd tt", HalfPast, "12/31/1999 12:30:05 AM"},
    {"EveryFieldWithMilliseconds", "yyyy-mm-dd hh:nn:ss.zzz", Afternoon, "2024-03-05 14:07:09.045"},
    {"DayMonthShortYear", "d/m/yy", Afternoon, "5/3/24"},
    {"ShortNames", "ddd mmm", Afternoon, "Tue Mar"},
    {"LongNames", "dddd mmmm", HalfPast, "Friday December"},
    {"MinutesAfterHours", "h:mm", Afternoon, "14:07"},
    {"CapitalLetters", "H:MM:SS", Afternoon, "14:07:09"},
    {"UnpaddedFields", "h:n:s", HalfPast, "0:30:5"},
    {"LetterForAfternoon", "hh a/p", Afternoon, "02 p"},
    {"LowerCaseAmPm", "h am/pm", HalfPast, "12 am"},
    {"CapitalAmPm", "h AM/PM", Afternoon, "2 PM"},
    {"QuotedText", "'at' h", Afternoon, "at 14"},
    {"DoubleQuotedText", "\"m\"m", Afternoon, "m3"},
    {"FourDigitYear", "yyyy", Year905, "0905"},
};

class Pattern : public ::testing::TestWithParam<PatternRow> {};

} // namespace

TEST_P(Pattern, ShowsTheMoment)
{
    const PatternRow &row = GetParam();
    EXPECT_EQ(FormatDateTime(QString::fromLatin1(row.format), At(row.moment), Us()), QString::fromLatin1(row.text));
}

INSTANTIATE_TEST_SUITE_P(FormatDateTime, Pattern, ::testing::ValuesIn(Patterns),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(FormatDateTime, FollowsTheRecord)
{
    TFormatSettings fs = German();
    fs.TimeAMString = QStringLiteral("vorm.");
    fs.TimePMString = QStringLiteral("nachm.");
    fs.LongDayNames[2] = QStringLiteral("Dienstag");
    fs.LongMonthNames[2] = QStringLiteral("März");
    fs.LongDateFormat = QStringLiteral("dddd, d. MMMM yyyy");
    const QDateTime dt(QDate(2024, 3, 5), QTime(14, 7, 9));
    EXPECT_EQ(FormatDateTime(QStringLiteral("ddddd"), dt, fs), QStringLiteral("05.03.2024"));
    EXPECT_EQ(FormatDateTime(QStringLiteral("dddddd"), dt, fs), QString::fromUtf8("Dienstag, 5. März 2024"));
    EXPECT_EQ(FormatDateTime(QStringLiteral("c"), dt, fs), QStringLiteral("05.03.2024 14:07:09"));
    EXPECT_EQ(FormatDateTime(QStringLiteral("t"), dt, fs), QStringLiteral("14:07"));
    EXPECT_EQ(FormatDateTime(QStringLiteral("h:mm ampm"), dt, fs), QStringLiteral("2:07 nachm."));
    fs.TimeSeparator = QLatin1Char('.');
    EXPECT_EQ(FormatDateTime(QStringLiteral("tt"), dt, fs), QStringLiteral("14.07.09"));
    // A record whose pattern names itself does not recurse for ever.
    fs.ShortDateFormat = QStringLiteral("ddddd");
    EXPECT_NO_THROW(FormatDateTime(QStringLiteral("c"), dt, fs));
}
