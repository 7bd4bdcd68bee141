#pragma once

#include "app/core/InternalRates.h"
#include "app/core/Npv.h"

#include <QString>
#include <array>
#include <optional>

class SavedValues;

// The numbers of the discounting schedule: for each of the calculator's five rates,
// the ten years with their cash flow, discount factor, present value and running sum,
// the net present value, computed exactly as the calculator computes its results, the
// discounted payback year and the modified internal rate of return; for the flows,
// every internal rate of return. The texts the report and the values file share are
// here too, so that writing the values needs no report form.
class TDiscountSchedule {
public:
    struct Year {
        int Number = 0;
        long double CashFlow = 0;
        // 1 / (1 + rate)^year: what a cash flow of the year is worth today per unit.
        long double Factor = 0;
        long double PresentValue = 0;
        // The present values of years 1 to this one, added year 1 first.
        long double RunningSum = 0;
    };
    struct Rate {
        // In percent, as the calculator's rate field holds it.
        double Percent = 0;
        // False when the rate cannot discount (−100 % or below, or a result beyond the
        // stored range): the calculator reports a math error for it.
        bool Defined = false;
        std::array<Year, Npv::YearCount> Years{};
        long double NetPresentValue = 0;
        // The first year from which the running sum stays at or above zero; no value
        // when it does not within ten years (or the rate is not defined).
        std::optional<int> Payback;
        // In percent, financed at this rate and reinvested at the schedule's
        // reinvestment rate; no value when there is none.
        std::optional<long double> ModifiedRate;
    };

    TDiscountSchedule() = default;
    // Finite flows, as the saved values always are: a NaN or infinite flow raises
    // EInvalidOp.
    // reinvestPercent is the rate returns are reinvested at for the modified internal
    // rate; without one, each rate reinvests at itself.
    TDiscountSchedule(const Npv::CashFlows &flows, const std::array<double, Npv::RateCount> &ratesPercent,
                      std::optional<double> reinvestPercent = std::nullopt);

    // The inputs the calculator starts from: its saved values, with each rate as its
    // field shows it (three decimals), which is the rate the calculator discounts at.
    static TDiscountSchedule FromSavedValues(const SavedValues &values,
                                             std::optional<double> reinvestPercent = std::nullopt);

    const Npv::CashFlows &CashFlows() const { return FFlows; }
    const Rate &RateAt(int index) const { return FRates.at(index); }
    const InternalRates &RatesOfReturn() const { return FRatesOfReturn; }
    std::array<double, Npv::RateCount> RatesPercent() const;
    // The rate returns are reinvested at for the rate at index.
    double ReinvestPercent(int index) const;

    // Money the way the calculator's result fields show it: rounded half to even to
    // the cent, then in the regional currency format.
    static QString CurrencyText(long double value);
    static QString PercentText(double percent);
    static QString FactorText(long double factor);

    // The words below come in the user's language for the report; the values file, read
    // by programs, keeps them in English.
    enum TReader { rdPerson, rdFile };
    static QString UndefinedText(TReader reader = rdPerson);
    // "year N", or "not within ten years" when there is no year.
    static QString PaybackText(const std::optional<int> &year, TReader reader = rdPerson);
    // Three decimals and " %", or "none".
    static QString ModifiedRateText(const std::optional<long double> &percent, TReader reader = rdPerson);
    static QString NoneText(TReader reader = rdPerson);
    // Why there is more than one internal rate or none; empty otherwise.
    static QString RatesNote(const InternalRates &rates, TReader reader = rdPerson);

private:
    Npv::CashFlows FFlows{};
    std::array<Rate, Npv::RateCount> FRates{};
    InternalRates FRatesOfReturn;
    std::optional<double> FReinvestPercent;
};
