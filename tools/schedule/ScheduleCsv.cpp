#include "tools/schedule/ScheduleCsv.h"

#include "platform/core/FormatSettings.h"
#include "platform/core/Formatting.h"
#include "tools/schedule/DiscountSchedule.h"
#include "tools/schedule/ScheduleColumns.h"

namespace {

// Whatever the user's region: spreadsheets read "." decimals everywhere.
const TFormatSettings &FileNumberSettings()
{
    static const TFormatSettings settings = [] {
        TFormatSettings fs = UnitedStatesFormatSettings();
        fs.DecimalSeparator = QLatin1Char('.');
        fs.ThousandSeparator = QChar();
        return fs;
    }();
    return settings;
}

class Table {
public:
    void Add(const QStringList &row)
    {
        QStringList fields;
        for (const QString &field : row)
            fields << ScheduleCsv::Field(field);
        FText += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    // A row that is not a year line: the section, the rate (or nothing), the value and
    // the note, the year columns between them empty.
    void AddSummary(const QString &section, const QString &rate, const QString &value, const QString &note)
    {
        QStringList row{section, rate};
        while (row.size() < int(ScheduleColumns::YearColumns().size()) + 1)
            row << QString();
        row << value << note;
        Add(row);
    }
    QByteArray Utf8() const { return FText.toUtf8(); }

private:
    QString FText;
};

} // namespace

namespace ScheduleCsv {

QStringList Columns()
{
    QStringList names{QStringLiteral("section")};
    for (const ScheduleColumns::Column &column : ScheduleColumns::YearColumns())
        names << column.Name;
    return names << QStringLiteral("value") << QStringLiteral("note");
}

QString Number(long double value)
{
    return FloatToStr(value, FileNumberSettings());
}

QString Field(const QString &text)
{
    static const QString special = QStringLiteral(",\"\r\n");
    for (const QChar c : text) {
        if (special.contains(c)) {
            QString quoted = text;
            quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
            return QLatin1Char('"') + quoted + QLatin1Char('"');
        }
    }
    return text;
}

QByteArray Text(const TDiscountSchedule &schedule)
{
    Table table;
    table.Add(Columns());
    for (int k = 0; k < Npv::RateCount; ++k) {
        const TDiscountSchedule::Rate &rate = schedule.RateAt(k);
        if (!rate.Defined)
            continue;
        for (const TDiscountSchedule::Year &year : rate.Years) {
            QStringList row{QStringLiteral("year")};
            for (const ScheduleColumns::Column &column : ScheduleColumns::YearColumns())
                row << column.FileText(rate, year);
            table.Add(row << QString() << QString());
        }
    }
    const QString none;
    for (int k = 0; k < Npv::RateCount; ++k) {
        const TDiscountSchedule::Rate &rate = schedule.RateAt(k);
        table.AddSummary(QStringLiteral("npv"), Number(rate.Percent),
                         rate.Defined ? Number(rate.NetPresentValue) : none,
                         rate.Defined ? none : TDiscountSchedule::UndefinedText(TDiscountSchedule::rdFile));
    }
    for (int k = 0; k < Npv::RateCount; ++k) {
        const TDiscountSchedule::Rate &rate = schedule.RateAt(k);
        const QString note = !rate.Defined  ? TDiscountSchedule::UndefinedText(TDiscountSchedule::rdFile)
                             : rate.Payback ? none
                                            : TDiscountSchedule::PaybackText(rate.Payback, TDiscountSchedule::rdFile);
        table.AddSummary(QStringLiteral("payback"), Number(rate.Percent),
                         rate.Payback ? QString::number(*rate.Payback) : none, note);
    }
    for (int k = 0; k < Npv::RateCount; ++k) {
        const TDiscountSchedule::Rate &rate = schedule.RateAt(k);
        table.AddSummary(
            QStringLiteral("mirr"), Number(rate.Percent), rate.ModifiedRate ? Number(*rate.ModifiedRate) : none,
            rate.ModifiedRate ? none
                              : TDiscountSchedule::ModifiedRateText(rate.ModifiedRate, TDiscountSchedule::rdFile));
    }
    const InternalRates &rates = schedule.RatesOfReturn();
    const QString note = TDiscountSchedule::RatesNote(rates, TDiscountSchedule::rdFile);
    if (rates.Percents.empty())
        table.AddSummary(QStringLiteral("irr"), none, none, note);
    for (const long double percent : rates.Percents)
        table.AddSummary(QStringLiteral("irr"), none, Number(percent), note);
    return table.Utf8();
}

} // namespace ScheduleCsv
