#pragma once

#include "app/core/Npv.h"

#include <QString>
#include <array>

class SavedValues;

// The numbers of the discounting schedule: for each of the calculator's five rates,
// the ten years with their cash flow, discount factor and present value, and the net
// present value, computed exactly as the calculator computes its results.
class TDiscountSchedule {
public:
    struct Year {
        int Number = 0;
        long double CashFlow = 0;
        // 1 / (1 + rate)^year: what a cash flow of the year is worth today per unit.
        long double Factor = 0;
        long double PresentValue = 0;
    };
    struct Rate {
        // In percent, as the calculator's rate field holds it.
        double Percent = 0;
        // False when the rate cannot discount (−100 % or below, or a result beyond the
        // stored range): the calculator reports a math error for it.
        bool Defined = false;
        std::array<Year, Npv::YearCount> Years{};
        long double NetPresentValue = 0;
    };

    TDiscountSchedule() = default;
    TDiscountSchedule(const Npv::CashFlows &flows, const std::array<double, Npv::RateCount> &ratesPercent);

    // The inputs the calculator starts from: its saved values, with each rate as its
    // field shows it (three decimals), which is the rate the calculator discounts at.
    static TDiscountSchedule FromSavedValues(const SavedValues &values);

    const Npv::CashFlows &CashFlows() const { return FFlows; }
    const Rate &RateAt(int index) const { return FRates.at(index); }

    // Money the way the calculator's result fields show it: rounded half to even to
    // the cent, then in the regional currency format.
    static QString CurrencyText(long double value);
    static QString PercentText(double percent);
    static QString FactorText(long double factor);

private:
    Npv::CashFlows FFlows{};
    std::array<Rate, Npv::RateCount> FRates{};
};
