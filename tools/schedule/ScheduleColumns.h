#pragma once

#include "tools/schedule/DiscountSchedule.h"

#include <QString>
#include <vector>

// The columns of a year line, written down once for the report's heading, its year
// lines and the values file: a new column is one more row here.
namespace ScheduleColumns {

struct Column {
    enum TKind { Percent, Whole, Money, Factor };
    // The values file's name for the column.
    QString Name;
    // The report's heading in English, translated when shown; none when only the values
    // file has the column.
    const char *Caption = nullptr;
    // In report units.
    int Width = 0;
    TKind Kind = Money;
    long double (*Value)(const TDiscountSchedule::Rate &rate, const TDiscountSchedule::Year &year) = nullptr;

    bool InReport() const { return Caption != nullptr; }
    QString ReportCaption() const;
    // The figure as the report prints it (regional formats) and as the file holds it.
    QString ReportText(const TDiscountSchedule::Rate &rate, const TDiscountSchedule::Year &year) const;
    QString FileText(const TDiscountSchedule::Rate &rate, const TDiscountSchedule::Year &year) const;
};

const std::vector<Column> &YearColumns();

// The report's columns side by side from ReportLeft, a ReportGap apart.
constexpr int ReportLeft = 40;
constexpr int ReportGap = 20;
struct Placed {
    const ScheduleColumns::Column *Of;
    int Left;
};
std::vector<Placed> ReportColumns();

} // namespace ScheduleColumns
