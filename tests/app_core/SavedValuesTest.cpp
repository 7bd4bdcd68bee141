#include "app/core/SavedValues.h"
#include "platform/core/Exceptions.h"
#include "platform/core/FormatSettings.h"
#include "platform/core/ProfileFile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <utility>
#include <vector>

namespace {

class SavedValuesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetFormatSettings(UnitedStatesFormatSettings());
        FPath = FDir.filePath("tlm.ini");
    }
    void TearDown() override { SetFormatSettings(UnitedStatesFormatSettings()); }

    void write(const QByteArray &content)
    {
        QFile f(FPath);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    QByteArray read()
    {
        QFile f(FPath);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir FDir;
    QString FPath;
};

} // namespace

TEST_F(SavedValuesTest, MissingFileGivesTheDefaultsAndTheyAreWrittenBackPlainly)
{
    SavedValues values;
    values.Load(ProfileFile(FPath));
    for (int slot = 0; slot < 10; ++slot)
        EXPECT_EQ(values.Value(slot), 0.0L);
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(values.Value(SavedValues::FirstRate + k), 4.0L + k);
    ProfileFile file(FPath);
    values.Save(file);
    EXPECT_EQ(read(), "[LastValues]\nYear1=0\nYear2=0\nYear3=0\nYear4=0\nYear5=0\nYear6=0\nYear7=0\nYear8=0\n"
                      "Year9=0\nYear10=0\nRate1=4\nRate2=5\nRate3=6\nRate4=7\nRate5=8\n");
}

TEST_F(SavedValuesTest, ValuesShowTheirStorageRoundingWhenWrittenBack)
{
    write("[LastValues]\nYear1=1234.56\nYear2=1000.1\nYear3=-2500.75\nYear4= 4.5 \nYear5=1E3\n"
          "Year6=0.00001\nYear7=123456789012345678\nRate1=4.125\n");
    SavedValues values;
    values.Load(ProfileFile(FPath));
    ProfileFile file(FPath);
    values.Save(file);
    const QByteArray text = read();
    for (const char *line : {"Year1=1234.56000000052\n", "Year2=1000.09999999963\n", "Year3=-2500.75\n", "Year4=4.5\n",
                             "Year5=1000\n", "Rate1=4.125\n"})
        EXPECT_TRUE(text.contains(line)) << line << "\n" << text.constData();
    // Tiny and huge values fall back to scientific notation: d.ddd, E, exponent.
    for (auto [key, input] : {std::pair{"Year6=", 0.00001L}, std::pair{"Year7=", 123456789012345678.0L}}) {
        char digits[64];
        std::snprintf(digits, sizeof digits, "%.14Le", FromReal48(ToReal48(input)));
        QString mantissa = QString::fromLatin1(digits).section('e', 0, 0);
        while (mantissa.endsWith('0'))
            mantissa.chop(1);
        if (mantissa.endsWith('.'))
            mantissa.chop(1);
        const int exponent = QString::fromLatin1(digits).section('e', 1).toInt();
        const QByteArray expected = key + mantissa.toLatin1() + "E" + QByteArray::number(exponent) + "\n";
        EXPECT_TRUE(text.contains(expected)) << expected.constData() << text.constData();
    }
}

namespace {

struct BadValueRow {
    const char *Name;
    QByteArray File;
    bool Math; // an arithmetic error rather than a conversion error
    int BadSlot;
};

class BadValue : public SavedValuesTest, public ::testing::WithParamInterface<BadValueRow> {};

} // namespace

TEST_P(BadValue, EndsTheLoadAtItsKey)
{
    const BadValueRow &row = GetParam();
    write(row.File);
    SavedValues values;
    try {
        values.Load(ProfileFile(FPath));
        ADD_FAILURE() << "the load ended without an error";
    } catch (const EMathError &) {
        EXPECT_TRUE(row.Math);
    } catch (const EConvertError &) {
        EXPECT_FALSE(row.Math);
    }
    EXPECT_EQ(values.Value(0), 1.0L);
    std::vector<long double> rest;
    for (int slot = row.BadSlot; slot < SavedValues::Count; ++slot)
        rest.push_back(values.Value(slot));
    EXPECT_EQ(rest, std::vector<long double>(SavedValues::Count - row.BadSlot, 0.0L));
}

INSTANTIATE_TEST_SUITE_P(
    SavedValuesTest, BadValue,
    ::testing::Values(BadValueRow{"Letters", "[LastValues]\nYear1=1\nYear2=2\nYear3=abc\nYear4=4\n", false, 2},
                      BadValueRow{"ThousandSeparator", "[LastValues]\nYear1=1\nYear2=1,000\n", false, 1},
                      BadValueRow{"Empty", "[LastValues]\nYear1=1\nRate2=\n", false, 11},
                      BadValueRow{"CurrencySign", "[LastValues]\nYear1=1\nYear5=$5\n", false, 4},
                      BadValueRow{"TooLargeToStore", "[LastValues]\nYear1=1\nRate1=1e40\n", true, 10},
                      BadValueRow{"TooLargeToRead", "[LastValues]\nYear1=1\nYear2=1e5000\n", false, 1}),
    [](const auto &info) { return std::string(info.param.Name); });

TEST_F(SavedValuesTest, TheDecimalSeparatorFollowsTheRegionalSettings)
{
    write("[LastValues]\nRate1=4,5\n");
    SavedValues values;
    EXPECT_THROW(values.Load(ProfileFile(FPath)), EConvertError);

    TFormatSettings comma = UnitedStatesFormatSettings();
    comma.DecimalSeparator = QLatin1Char(',');
    comma.ThousandSeparator = QLatin1Char('.');
    SetFormatSettings(comma);
    SavedValues commaValues;
    commaValues.Load(ProfileFile(FPath));
    EXPECT_EQ(commaValues.Value(SavedValues::FirstRate), 4.5L);
    ProfileFile file(FPath);
    commaValues.Save(file);
    EXPECT_TRUE(read().contains("Rate1=4,5\n"));

    write("[LastValues]\nRate1=4.5\n");
    EXPECT_THROW(SavedValues().Load(ProfileFile(FPath)), EConvertError);
}
