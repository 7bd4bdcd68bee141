#include "tools/schedule/DiscountSchedule.h"

#include "app/core/ModifiedInternalRate.h"
#include "app/core/PaybackYear.h"
#include "app/core/SavedValues.h"
#include "app/profile/NpvProfile.h"
#include "platform/core/Exceptions.h"
#include "platform/core/ExtMath.h"
#include "platform/core/Formatting.h"

#include <QCoreApplication>
#include <cmath>

TDiscountSchedule::TDiscountSchedule(const Npv::CashFlows &flows,
                                     const std::array<double, Npv::RateCount> &ratesPercent,
                                     std::optional<double> reinvestPercent)
    : FFlows(flows), FRatesOfReturn(InternalRates::Of(flows)), FReinvestPercent(reinvestPercent)
{
    for (int k = 0; k < Npv::RateCount; ++k) {
        Rate &rate = FRates[k];
        rate.Percent = ratesPercent[k];
        // Needs no discounting at the rate, so it is known also where that fails.
        rate.ModifiedRate = ModifiedInternalRate(flows, rate.Percent, ReinvestPercent(k));
        try {
            const Real48 scaled = Npv::ScaledRate(rate.Percent);
            // The same base, factors and terms as the net present value adds up.
            const long double base = ExtMath::Add(FromReal48(scaled), 1.0L);
            long double sum = 0.0L;
            for (int n = 1; n <= Npv::YearCount; ++n) {
                Year &year = rate.Years[n - 1];
                const long double discount = Npv::DiscountFactor(base, n);
                year.Number = n;
                year.CashFlow = flows[n - 1];
                year.PresentValue = ExtMath::Div(flows[n - 1], discount);
                year.Factor = ExtMath::Div(1.0L, discount);
                sum = ExtMath::Add(sum, year.PresentValue);
                year.RunningSum = sum;
            }
            rate.NetPresentValue = Npv::NetPresentValue(flows, scaled);
            // Defined wherever the net present value is.
            rate.Payback = PaybackYear::Discounted(flows, rate.Percent);
            rate.Defined = true;
        } catch (const EMathError &) {
            rate.Defined = false;
        }
    }
}

std::array<double, Npv::RateCount> TDiscountSchedule::RatesPercent() const
{
    std::array<double, Npv::RateCount> rates{};
    for (int k = 0; k < Npv::RateCount; ++k)
        rates[k] = FRates[k].Percent;
    return rates;
}

double TDiscountSchedule::ReinvestPercent(int index) const
{
    return FReinvestPercent.value_or(FRates.at(index).Percent);
}

TDiscountSchedule TDiscountSchedule::FromSavedValues(const SavedValues &values, std::optional<double> reinvestPercent)
{
    Npv::CashFlows flows{};
    for (int n = 0; n < Npv::YearCount; ++n)
        flows[n] = values.Value(n);
    std::array<double, Npv::RateCount> rates{};
    for (int k = 0; k < Npv::RateCount; ++k) {
        const double stored = static_cast<double>(values.Value(SavedValues::FirstRate + k));
        rates[k] = double(StrToFloat(FormatFloat(QStringLiteral("0.000"), stored)));
    }
    return TDiscountSchedule(flows, rates, reinvestPercent);
}

QString TDiscountSchedule::CurrencyText(long double value)
{
    return TNpvProfile::MoneyText(value);
}

QString TDiscountSchedule::PercentText(double percent)
{
    return FloatToStrF(percent, ffFixed, 15, 3) + QStringLiteral(" %");
}

QString TDiscountSchedule::FactorText(long double factor)
{
    return FloatToStrF(factor, ffFixed, 15, 6);
}

namespace {

// The source text itself for the file, where a count of n stands for %n (the file's notes
// name counts of two and more only); else its translation.
QString Worded(const char *source, TDiscountSchedule::TReader reader, int n = -1)
{
    if (reader == TDiscountSchedule::rdPerson)
        return QCoreApplication::translate("TDiscountSchedule", source, nullptr, n);
    QString text = QString::fromUtf8(source);
    return n < 0 ? text : text.replace(QLatin1String("%n"), QString::number(n));
}

} // namespace

QString TDiscountSchedule::UndefinedText(TReader reader)
{
    return Worded(QT_TRANSLATE_NOOP("TDiscountSchedule", "cannot be determined at this rate"), reader);
}

QString TDiscountSchedule::PaybackText(const std::optional<int> &year, TReader reader)
{
    return year ? Worded(QT_TRANSLATE_NOOP("TDiscountSchedule", "year %1"), reader).arg(*year)
                : Worded(QT_TRANSLATE_NOOP("TDiscountSchedule", "not within ten years"), reader);
}

QString TDiscountSchedule::ModifiedRateText(const std::optional<long double> &percent, TReader reader)
{
    return percent ? PercentText(double(*percent)) : NoneText(reader);
}

QString TDiscountSchedule::NoneText(TReader reader)
{
    return Worded(QT_TRANSLATE_NOOP("TDiscountSchedule", "none"), reader);
}

QString TDiscountSchedule::RatesNote(const InternalRates &rates, TReader reader)
{
    // Only several rates or none need a word: a lone rate is what a reader expects.
    switch (rates.Outcome) {
    case InternalRates::irSeveralRates:
        return Worded(QT_TRANSLATE_N_NOOP("TDiscountSchedule", "Several rates give a net present value of zero: the "
                                                               "cash flows change sign %n times."),
                      reader, rates.SignChanges);
    case InternalRates::irNoRate:
        // An odd number of sign changes always has a rate, so this count is even.
        return rates.SignChanges == 0
                   ? Worded(QT_TRANSLATE_NOOP("TDiscountSchedule",
                                              "No rate gives zero: the cash flows never change sign."),
                            reader)
                   : Worded(QT_TRANSLATE_N_NOOP("TDiscountSchedule",
                                                "No rate gives zero, although the cash flows change sign %n times."),
                            reader, rates.SignChanges);
    case InternalRates::irEveryRate:
        return Worded(QT_TRANSLATE_NOOP("TDiscountSchedule", "Every rate gives zero: all cash flows are zero, so no "
                                                             "internal rate is defined."),
                      reader);
    case InternalRates::irOneRate: break;
    }
    return QString();
}
