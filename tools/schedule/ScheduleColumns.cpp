#include "tools/schedule/ScheduleColumns.h"

#include "tools/schedule/ScheduleCsv.h"

#include <QCoreApplication>

namespace ScheduleColumns {

QString Column::ReportText(const TDiscountSchedule::Rate &rate, const TDiscountSchedule::Year &year) const
{
    const long double value = Value(rate, year);
    switch (Kind) {
    case Percent: return TDiscountSchedule::PercentText(double(value));
    case Whole: return QString::number(qint64(value));
    case Factor: return TDiscountSchedule::FactorText(value);
    case Money: break;
    }
    return TDiscountSchedule::CurrencyText(value);
}

QString Column::FileText(const TDiscountSchedule::Rate &rate, const TDiscountSchedule::Year &year) const
{
    const long double value = Value(rate, year);
    return Kind == Whole ? QString::number(qint64(value)) : ScheduleCsv::Number(value);
}

const std::vector<Column> &YearColumns()
{
    using Rate = TDiscountSchedule::Rate;
    using Year = TDiscountSchedule::Year;
    // The rate heads each group in the report, and the running sum leads to the
    // payback year in its footer: both only in the file.
    static const std::vector<Column> columns = {
        {QStringLiteral("rate"), nullptr, 0, Column::Percent,
         [](const Rate &rate, const Year &) { return static_cast<long double>(rate.Percent); }},
        {QStringLiteral("year"), QT_TRANSLATE_NOOP("ScheduleColumns", "Year"), 50, Column::Whole,
         [](const Rate &, const Year &year) { return static_cast<long double>(year.Number); }},
        {QStringLiteral("cash_flow"), QT_TRANSLATE_NOOP("ScheduleColumns", "Cash Flow"), 170, Column::Money,
         [](const Rate &, const Year &year) { return year.CashFlow; }},
        {QStringLiteral("discount_factor"), QT_TRANSLATE_NOOP("ScheduleColumns", "Discount Factor"), 130,
         Column::Factor, [](const Rate &, const Year &year) { return year.Factor; }},
        {QStringLiteral("present_value"), QT_TRANSLATE_NOOP("ScheduleColumns", "Present Value"), 230, Column::Money,
         [](const Rate &, const Year &year) { return year.PresentValue; }},
        {QStringLiteral("running_sum"), nullptr, 0, Column::Money,
         [](const Rate &, const Year &year) { return year.RunningSum; }},
    };
    return columns;
}

QString Column::ReportCaption() const
{
    return Caption ? QCoreApplication::translate("ScheduleColumns", Caption) : QString();
}

std::vector<Placed> ReportColumns()
{
    std::vector<Placed> placed;
    int left = ReportLeft;
    for (const Column &column : YearColumns()) {
        if (!column.InReport())
            continue;
        placed.push_back({&column, left});
        left += column.Width + ReportGap;
    }
    return placed;
}

} // namespace ScheduleColumns
