#include "TranslationWalk.h"

#include "i18n/Translations.h"
#include "report/QRPrinter.h"
#include "report/QRReport.h"
#include "report/QRStandardPreview.h"
#include "tools/schedule/DiscountSchedule.h"
#include "tools/schedule/ScheduleCsv.h"
#include "tools/schedule/ScheduleReport.h"

#include <QScopeGuard>

#include <gtest/gtest.h>

namespace {

// The cash flows change sign as often as the flows given alternate.
InternalRates SeveralRates(int signChanges)
{
    InternalRates rates;
    rates.Outcome = InternalRates::irSeveralRates;
    rates.SignChanges = signChanges;
    return rates;
}

} // namespace

// A count of one takes the singular, in English (under a locale without a translation of
// its own) as in German; the values file keeps the English of the code whatever the user
// reads.
TEST(ScheduleTranslation, CountsTakeTheirLanguagesPluralForms)
{
    const auto restore = qScopeGuard([] { Translations::Install(); });
    struct Row {
        QLocale Locale;
        const char *Language;
        const char *Once;
        const char *Twice;
    } rows[] = {
        {QLocale(QLocale::French, QLocale::France), "en",
         "Several rates give a net present value of zero: the cash flows change sign once.",
         "Several rates give a net present value of zero: the cash flows change sign 2 times."},
        {QLocale(QLocale::German, QLocale::Germany), "de",
         "Mehrere Zinssätze ergeben einen Kapitalwert von null: Die Zahlungen wechseln einmal das Vorzeichen.",
         "Mehrere Zinssätze ergeben einen Kapitalwert von null: Die Zahlungen wechseln 2-mal das Vorzeichen."},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.Language);
        EXPECT_EQ(Translations::Install(row.Locale), QLatin1String(row.Language));
        EXPECT_EQ(TDiscountSchedule::RatesNote(SeveralRates(1)), QString::fromUtf8(row.Once));
        EXPECT_EQ(TDiscountSchedule::RatesNote(SeveralRates(2)), QString::fromUtf8(row.Twice));
        EXPECT_EQ(TDiscountSchedule::RatesNote(SeveralRates(2), TDiscountSchedule::rdFile),
                  "Several rates give a net present value of zero: the cash flows change sign 2 times.");
        const TDiscountSchedule schedule({-100, 230, -132, 0, 0, 0, 0, 0, 0, 0}, {4, 5, -100, 7, 8});
        const QString csv = QString::fromUtf8(ScheduleCsv::Text(schedule));
        EXPECT_TRUE(csv.contains("the cash flows change sign 2 times.")) << csv.toStdString();
        EXPECT_TRUE(csv.contains("cannot be determined at this rate")) << csv.toStdString();
    }
}

// The schedule's own preview, the report engine's built-in one, under the walk.
TEST(ScheduleTranslation, ThePreviewShowsOnlyTranslatedTexts)
{
    TranslationWalk::TPseudoTranslator pseudo;
    ASSERT_TRUE(pseudo.Loaded());
    QRPrinter()->OnPreview = nullptr;
    TScheduleReport form(
        TDiscountSchedule({-5000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000}, {4, 5, 6, 7, 8}),
        QStringLiteral("/home/user/tlm.ini"));
    form.Rep->SetShowProgress(false);
    const auto clear = qScopeGuard([] { QRPrinter()->ClearPages(); });
    const bool shown = TranslationWalk::WhileShownBy(
        [&] { form.Rep->Preview(); },
        [] { return QRPrinter()->StandardPreview() ? QRPrinter()->StandardPreview()->Window() : nullptr; },
        [](QWidget &window) {
            const QStringList faults = TranslationWalk::Untranslated(window);
            EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
        });
    EXPECT_TRUE(shown);
}
