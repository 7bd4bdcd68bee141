#include "tools/schedule/ScheduleCsv.h"

#include "platform/core/FormatSettings.h"
#include "platform/core/Formatting.h"
#include "tools/schedule/DiscountSchedule.h"
#include "tools/schedule/ScheduleReport.h"

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
    // A row of the table: the section, then the fields after it in column order.
    void Add(const QString &section, const QStringList &fields)
    {
        QStringList row{section};
        row << fields;
        while (row.size() < ScheduleCsv::Columns().size())
            row << QString();
        Add(row);
    }
    void Add(const QStringList &row)
    {
        QStringList fields;
        for (const QString &field : row)
            fields << ScheduleCsv::Field(field);
        FText += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    QByteArray Utf8() const { return FText.toUtf8(); }

private:
    QString FText;
};

} // namespace

namespace ScheduleCsv {

QStringList Columns()
{
    return {QStringLiteral("section"),
            QStringLiteral("rate"),
            QStringLiteral("year"),
            QStringLiteral("cash_flow"),
            QStringLiteral("discount_factor"),
            QStringLiteral("present_value"),
            QStringLiteral("running_sum"),
            QStringLiteral("value"),
            QStringLiteral("note")};
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
    const QString none;
    for (int k = 0; k < Npv::RateCount; ++k) {
        const TDiscountSchedule::Rate &rate = schedule.RateAt(k);
        if (!rate.Defined)
            continue;
        for (const TDiscountSchedule::Year &year : rate.Years)
            table.Add(QStringLiteral("year"),
                      {Number(rate.Percent), QString::number(year.Number), Number(year.CashFlow), Number(year.Factor),
                       Number(year.PresentValue), Number(year.RunningSum)});
    }
    for (int k = 0; k < Npv::RateCount; ++k) {
        const TDiscountSchedule::Rate &rate = schedule.RateAt(k);
        if (rate.Defined)
            table.Add(QStringLiteral("npv"),
                      {Number(rate.Percent), none, none, none, none, none, Number(rate.NetPresentValue)});
        else
            table.Add(QStringLiteral("npv"),
                      {Number(rate.Percent), none, none, none, none, none, none, TScheduleReport::UndefinedText()});
    }
    for (int k = 0; k < Npv::RateCount; ++k) {
        const TDiscountSchedule::Rate &rate = schedule.RateAt(k);
        const QString note = !rate.Defined  ? TScheduleReport::UndefinedText()
                             : rate.Payback ? none
                                            : TScheduleReport::PaybackText(rate.Payback);
        table.Add(QStringLiteral("payback"), {Number(rate.Percent), none, none, none, none, none,
                                              rate.Payback ? QString::number(*rate.Payback) : none, note});
    }
    const InternalRates &rates = schedule.RatesOfReturn();
    const QString note = TScheduleReport::RatesNote(rates);
    if (rates.Percents.empty())
        table.Add(QStringLiteral("irr"), {none, none, none, none, none, none, none, note});
    for (const long double percent : rates.Percents)
        table.Add(QStringLiteral("irr"), {none, none, none, none, none, none, Number(percent), note});
    return table.Utf8();
}

} // namespace ScheduleCsv
