#include "platform/core/FormatSettings.h"
#include "platform/core/Formatting.h"

#include <QDateTime>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

namespace {

// Runs FormatSettingsFromLocale under the given environment and puts the process
// locale back afterwards, so no other test sees the change.
class LocaleEnvironment {
public:
    LocaleEnvironment(const char *lcAll, const QByteArray &locPath = QByteArray())
    {
        Save("LC_ALL");
        Save("LANG");
        Save("LOCPATH");
        ::setenv("LC_ALL", lcAll, 1);
        if (!locPath.isEmpty())
            ::setenv("LOCPATH", locPath.constData(), 1);
    }
    ~LocaleEnvironment()
    {
        for (const auto &[name, value] : FSaved) {
            if (value.isNull())
                ::unsetenv(name);
            else
                ::setenv(name, value.constData(), 1);
        }
        std::setlocale(LC_ALL, "");
    }

private:
    void Save(const char *name)
    {
        const char *value = std::getenv(name);
        FSaved.emplace_back(name, value ? QByteArray(value) : QByteArray());
    }
    std::vector<std::pair<const char *, QByteArray>> FSaved;
};

void ExpectSame(const TFormatSettings &a, const TFormatSettings &b)
{
    EXPECT_EQ(a.CurrencyString, b.CurrencyString);
    EXPECT_EQ(a.CurrencyFormat, b.CurrencyFormat);
    EXPECT_EQ(a.NegCurrFormat, b.NegCurrFormat);
    EXPECT_EQ(a.ThousandSeparator, b.ThousandSeparator);
    EXPECT_EQ(a.DecimalSeparator, b.DecimalSeparator);
    EXPECT_EQ(a.CurrencyDecimals, b.CurrencyDecimals);
    EXPECT_EQ(a.DateSeparator, b.DateSeparator);
    EXPECT_EQ(a.TimeSeparator, b.TimeSeparator);
    EXPECT_EQ(a.ShortDateFormat, b.ShortDateFormat);
    EXPECT_EQ(a.LongDateFormat, b.LongDateFormat);
    EXPECT_EQ(a.TimeAMString, b.TimeAMString);
    EXPECT_EQ(a.TimePMString, b.TimePMString);
    EXPECT_EQ(a.ShortTimeFormat, b.ShortTimeFormat);
    EXPECT_EQ(a.LongTimeFormat, b.LongTimeFormat);
    EXPECT_EQ(a.ShortMonthNames, b.ShortMonthNames);
    EXPECT_EQ(a.LongMonthNames, b.LongMonthNames);
    EXPECT_EQ(a.ShortDayNames, b.ShortDayNames);
    EXPECT_EQ(a.LongDayNames, b.LongDayNames);
}

// Compiles a locale from the system's locale sources into a folder of the test's own,
// so the test does not depend on what the machine has generated.
bool CompileLocale(const QTemporaryDir &dir, const QString &source, const QString &name)
{
    QProcess localedef;
    localedef.start(QStringLiteral("localedef"),
                    {QStringLiteral("-i"), source, QStringLiteral("-f"), QStringLiteral("UTF-8"), dir.filePath(name)});
    if (!localedef.waitForStarted(10000) || !localedef.waitForFinished(60000))
        return false;
    return localedef.exitStatus() == QProcess::NormalExit && localedef.exitCode() == 0;
}

} // namespace

TEST(FormatSettings, UnitedStatesRecord)
{
    const TFormatSettings fs = UnitedStatesFormatSettings();
    EXPECT_EQ(fs.CurrencyString, QStringLiteral("$"));
    EXPECT_EQ(fs.CurrencyFormat, 0);
    EXPECT_EQ(fs.NegCurrFormat, 0);
    EXPECT_EQ(fs.ThousandSeparator, QLatin1Char(','));
    EXPECT_EQ(fs.DecimalSeparator, QLatin1Char('.'));
    EXPECT_EQ(fs.CurrencyDecimals, 2);
    EXPECT_EQ(fs.ShortDateFormat, QStringLiteral("M/d/yyyy"));
    EXPECT_EQ(fs.LongDateFormat, QStringLiteral("dddd, MMMM dd, yyyy"));
    EXPECT_EQ(fs.LongMonthNames[11], QStringLiteral("December"));
    EXPECT_EQ(fs.ShortDayNames[0], QStringLiteral("Sun"));
    EXPECT_EQ(FloatToStrF(-1234.5L, ffCurrency, 15, 2, fs), QStringLiteral("($1,234.50)"));
    const QDateTime dt(QDate(2024, 7, 4), QTime(21, 5, 0));
    EXPECT_EQ(FormatDateTime(QStringLiteral("ddddd tt"), dt, fs), QStringLiteral("7/4/2024 9:05:00 PM"));
    EXPECT_EQ(FormatDateTime(QStringLiteral("t"), dt, fs), QStringLiteral("9:05 PM"));
}

TEST(FormatSettings, CLocalesGiveTheUnitedStatesRecord)
{
    for (const char *name : {"C", "POSIX", "C.UTF-8"}) {
        SCOPED_TRACE(name);
        LocaleEnvironment env(name);
        ExpectSame(FormatSettingsFromLocale(), UnitedStatesFormatSettings());
    }
}

TEST(FormatSettings, ProcessRecordCanBeReplaced)
{
    const TFormatSettings before = FormatSettings();
    TFormatSettings fs = UnitedStatesFormatSettings();
    fs.DecimalSeparator = QLatin1Char(',');
    fs.ThousandSeparator = QLatin1Char(' ');
    SetFormatSettings(fs);
    EXPECT_EQ(FormatSettings().DecimalSeparator, QLatin1Char(','));
    EXPECT_EQ(FloatToStrF(1234.5L, ffNumber, 15, 2), QStringLiteral("1 234,50"));
    EXPECT_EQ(StrToFloat(QStringLiteral("4,5")), 4.5L);
    SetFormatSettings(before);
    EXPECT_EQ(FormatSettings().DecimalSeparator, before.DecimalSeparator);
}

TEST(FormatSettings, ReadsARealLocale)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    if (!CompileLocale(dir, QStringLiteral("de_DE"), QStringLiteral("de_DE.UTF-8")))
        GTEST_SKIP() << "localedef or the locale sources are not installed";
    TFormatSettings fs;
    {
        LocaleEnvironment env("de_DE.UTF-8", QFile::encodeName(dir.path()));
        fs = FormatSettingsFromLocale();
    }
    EXPECT_EQ(fs.DecimalSeparator, QLatin1Char(','));
    EXPECT_EQ(fs.ThousandSeparator, QLatin1Char('.'));
    EXPECT_EQ(fs.CurrencyString, QString::fromUtf8("€"));
    EXPECT_EQ(fs.CurrencyFormat, 3);
    EXPECT_EQ(fs.NegCurrFormat, 8);
    EXPECT_EQ(fs.DateSeparator, QLatin1Char('.'));
    EXPECT_EQ(fs.ShortDateFormat, QStringLiteral("dd/MM/yyyy"));
    EXPECT_EQ(fs.LongTimeFormat, QStringLiteral("HH:mm:ss"));
    EXPECT_EQ(fs.ShortTimeFormat, QStringLiteral("HH:mm"));
    EXPECT_EQ(fs.LongMonthNames[2], QString::fromUtf8("März"));
    EXPECT_EQ(fs.LongDayNames[0], QStringLiteral("Sonntag"));
    const QDateTime dt(QDate(2024, 3, 5), QTime(14, 7, 9));
    EXPECT_EQ(FormatDateTime(QStringLiteral("ddddd tt"), dt, fs), QStringLiteral("05.03.2024 14:07:09"));
    EXPECT_EQ(FormatDateTime(QStringLiteral("dddddd"), dt, fs), QString::fromUtf8("Dienstag, 5. März 2024"));
    EXPECT_EQ(FloatToStrF(-1234.5L, ffCurrency, 15, 2, fs), QString::fromUtf8("-1.234,50 €"));
}
