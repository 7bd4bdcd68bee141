#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class TDiscountSchedule;

// The discounting schedule as comma-separated values (RFC 4180: CRLF line ends, a field
// holding a comma, a quote or a line end in quotes, its quotes doubled), for
// spreadsheets. One table with a header row; the first column, "section", says what a
// row holds:
//   year     rate, year, cash_flow, discount_factor, present_value, running_sum
//   npv      rate, value: the net present value
//   payback  rate, value: the discounted payback year
//   mirr     rate, value: the modified internal rate of return in percent, financed at
//            the rate and reinvested at the reinvestment rate
//   irr      value: an internal rate of return in percent, one row per rate
// A row without a value says why in "note" ("not within ten years", "cannot be
// determined at this rate", "none", no internal rate); the irr rows carry the explanation when
// there are several. Rates are in percent; numbers have a "." decimal point, no
// thousands separators and 15 significant digits.
namespace ScheduleCsv {

// The section, the year line's columns, then value and note.
QStringList Columns();

// 15 significant digits, rounded from the exact value, "." as the decimal point;
// the exponent, when there is one, as "E" and its power of ten.
QString Number(long double value);

// The field as RFC 4180 writes it.
QString Field(const QString &text);

// The whole table, in UTF-8.
QByteArray Text(const TDiscountSchedule &schedule);

} // namespace ScheduleCsv
