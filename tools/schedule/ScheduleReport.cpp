#include "tools/schedule/ScheduleReport.h"

#include "app/profile/NpvProfile.h"
#include "app/profile/ProfilePicture.h"
#include "platform/gui/Fonts.h"
#include "report/QRBand.h"
#include "report/QRCustomControl.h"
#include "report/QRFormParts.h"
#include "report/QRGroup.h"
#include "report/QRImage.h"
#include "report/QRReport.h"
#include "report/QRShape.h"
#include "tools/schedule/ScheduleColumns.h"

#include <QFontMetrics>

namespace {

// Report units. The figures of a footer and of the summary stand in the value column,
// the last column of a year line.
constexpr int RuleLeft = ScheduleColumns::ReportLeft, RuleWidth = 640;
ScheduleColumns::Placed ValueColumn()
{
    return ScheduleColumns::ReportColumns().back();
}
// The profile's page: a heading, then the picture across the ruled width.
constexpr int ProfileHeadingHeight = 50, ProfileHeight = 440;
// A rate's footer: the rule over the value column, then its lines one below the other.
constexpr int FooterFirstLineTop = 10, FooterLinePitch = 22, FooterBottomMargin = 8;
// The closing summary: a rule across the page, then its lines at the footer's pitch.
constexpr int SummaryFirstLineTop = 16;

TQRBand *MakeBand(QWidget *form, TQRBandType type, int height)
{
    auto *band = new TQRBand(form);
    band->SetBandType(type);
    band->SetHeight(height);
    return band;
}

} // namespace

using QRFormParts::AddHorizontalLine;
using QRFormParts::AddLabel;

QString TScheduleReport::NpvCaption(double percent)
{
    return tr("Net present value at %1").arg(TDiscountSchedule::PercentText(percent));
}

QString TScheduleReport::PaybackCaption()
{
    return tr("Discounted payback");
}

QString TScheduleReport::ModifiedRateCaption(double reinvestPercent)
{
    return tr("Modified internal rate, reinvested at %1").arg(TDiscountSchedule::PercentText(reinvestPercent));
}

QString TScheduleReport::RatesCaption(const InternalRates &rates)
{
    return rates.Outcome == InternalRates::irSeveralRates ? tr("Internal rates of return")
                                                          : tr("Internal rate of return");
}

QStringList TScheduleReport::RatesTexts(const InternalRates &rates)
{
    switch (rates.Outcome) {
    case InternalRates::irNoRate: return {TDiscountSchedule::NoneText()};
    case InternalRates::irEveryRate: return {tr("not defined")};
    case InternalRates::irOneRate:
    case InternalRates::irSeveralRates: break;
    }
    QStringList texts;
    for (const long double percent : rates.Percents)
        texts << TDiscountSchedule::PercentText(double(percent));
    return texts;
}

QString TScheduleReport::SourceText(const QString &source, const QFont &font, int width)
{
    const QString lead = tr("Values from ");
    const QFontMetrics metrics(font);
    return lead + metrics.elidedText(source, Qt::ElideMiddle, width - metrics.horizontalAdvance(lead));
}

// Long by design: the report form band by band in the order the page shows them, so it
// reads like the page; the lines of a footer and the summary have functions of their own.
TScheduleReport::TScheduleReport(const TDiscountSchedule &schedule, const QString &source, QWidget *parent)
    : QWidget(parent), FSchedule(schedule)
{
    setObjectName(QStringLiteral("ScheduleReport"));
    setAttribute(Qt::WA_DontShowOnScreen);
    setFont(Fonts::Make(QStringLiteral("Arial"), 13));
    resize(800, 600);

    for (int k = 0; k < Npv::RateCount; ++k) {
        if (!FSchedule.RateAt(k).Defined) {
            FRecords.push_back({k, -1});
            continue;
        }
        for (int n = 0; n < Npv::YearCount; ++n)
            FRecords.push_back({k, n});
    }

    Rep = new TQRReport(this);
    Rep->SetReportTitle(tr("Discounting schedule"));
    Rep->OnNeedData = [this](QObject *, bool &more) { RepNeedData(more); };

    const QFont heading = Fonts::Make(QStringLiteral("Arial"), 27, true);
    const QFont bold = Fonts::Make(QStringLiteral("Arial"), 13, true);
    const QFont small = Fonts::Make(QStringLiteral("Arial"), 11);

    Title = MakeBand(this, rbTitle, 120);
    AddLabel(Title, tr("Discounting Schedule"), 40, 20, 640, 32, &heading, taLeftJustify, false);
    AddLabel(Title, tr("Ten yearly cash flows discounted at the calculator's five rates"), 40, 58, 640, 18, nullptr,
             taLeftJustify, false);
    lblSource = AddLabel(Title, SourceText(source, small, 640), 40, 78, 640, 16, &small, taLeftJustify, false);
    auto *printed = new TQRSysData(Title);
    printed->SetFont(small);
    printed->SetData(qrsDateTime);
    printed->SetText(tr("Printed at "));
    printed->SetAutoSize(true);
    printed->move(40, 96);

    ColumnHeader = MakeBand(this, rbColumnHeader, 34);
    for (const ScheduleColumns::Placed &placed : ScheduleColumns::ReportColumns())
        AddLabel(ColumnHeader, placed.Of->ReportCaption(), placed.Left, 8, placed.Of->Width, 18, &bold, taRightJustify,
                 false);
    AddHorizontalLine(ColumnHeader, RuleLeft, 28, RuleWidth);

    RateHeader = MakeBand(this, rbGroupHeader, 30);
    lblRate = AddLabel(RateHeader, QString(), 40, 8, 400, 18, &bold, taLeftJustify, false);
    RateHeader->BeforePrint = [this](TQRBand *, bool &print) { RateHeaderBeforePrint(print); };

    YearDetail = MakeBand(this, rbDetail, 20);
    for (const ScheduleColumns::Placed &placed : ScheduleColumns::ReportColumns())
        lblYearColumns.push_back(
            AddLabel(YearDetail, QString(), placed.Left, 1, placed.Of->Width, 18, nullptr, taRightJustify, false));
    YearDetail->BeforePrint = [this](TQRBand *, bool &print) { YearDetailBeforePrint(print); };
    // A rate's heading never stands alone at the foot of a page.
    RateHeader->SetLinkBand(YearDetail);

    RateFooter = MakeBand(this, rbGroupFooter, FooterFirstLineTop + FooterBottomMargin);
    AddHorizontalLine(RateFooter, ValueColumn().Left + 60, 2, ValueColumn().Of->Width - 60);
    const FooterLine npv = AddRateFooterLine();
    lblNpvCaption = npv.Caption;
    lblNpv = npv.Value;
    const FooterLine payback = AddRateFooterLine();
    lblPaybackCaption = payback.Caption;
    lblPayback = payback.Value;
    const FooterLine modified = AddRateFooterLine();
    lblModifiedRateCaption = modified.Caption;
    lblModifiedRate = modified.Value;
    RateFooter->BeforePrint = [this](TQRBand *, bool &print) { RateFooterBeforePrint(print); };

    // Known before the run starts, so the summary is laid out once, as tall as its rates.
    const InternalRates &rates = FSchedule.RatesOfReturn();
    const QStringList rateTexts = RatesTexts(rates);
    Summary = MakeBand(this, rbSummary, 0);
    AddHorizontalLine(Summary, RuleLeft, 6, RuleWidth);
    lblRatesCaption = AddLabel(Summary, RatesCaption(rates), 40, SummaryFirstLineTop, 400, 18, &bold, taLeftJustify,
                               false);
    int top = SummaryFirstLineTop;
    for (const QString &text : rateTexts) {
        lblRates.push_back(AddLabel(Summary, text, ValueColumn().Left, top, ValueColumn().Of->Width, 18, &bold,
                                    taRightJustify, false));
        top += FooterLinePitch;
    }
    lblRatesNote = AddLabel(Summary, TDiscountSchedule::RatesNote(rates), 40, top + 4, RuleWidth, 18, nullptr,
                            taLeftJustify, false);
    Summary->SetHeight(top + 4 + FooterLinePitch + FooterBottomMargin);

    // After the summary, on a page of its own.
    ProfilePage = MakeBand(this, rbSummary, ProfileHeadingHeight + ProfileHeight + FooterBottomMargin);
    ProfilePage->SetForceNewPage(true);
    AddLabel(ProfilePage, tr("NPV Profile"), RuleLeft, 10, RuleWidth, 32, &heading, taLeftJustify, false);
    const TNpvProfile profile(FSchedule.CashFlows(), FSchedule.RatesPercent());
    imgProfile = new TQRImage(ProfilePage);
    imgProfile->SetMetafile(ProfilePicture::Record(profile, QSize(RuleWidth, ProfileHeight)));
    imgProfile->SetBounds(RuleLeft, ProfileHeadingHeight, RuleWidth, ProfileHeight);
    imgProfile->setAccessibleDescription(profile.Description());

    PageFooter = MakeBand(this, rbPageFooter, 36);
    AddHorizontalLine(PageFooter, RuleLeft, 4, RuleWidth);
    AddLabel(PageFooter, tr("Tallowmere discounting schedule"), 40, 12, 300, 16, &small, taLeftJustify, false);
    QRPageNumber = new TQRSysData(PageFooter);
    QRPageNumber->SetFont(small);
    QRPageNumber->SetData(qrsPageNumber);
    QRPageNumber->SetText(tr("Page "));
    QRPageNumber->SetAlignment(taRightJustify);
    QRPageNumber->SetAutoSize(false);
    QRPageNumber->SetBounds(ValueColumn().Left, 12, ValueColumn().Of->Width, 16);

    RateGroup = new TQRGroup(this);
    RateGroup->SetHeaderBand(RateHeader);
    RateGroup->SetFooterBand(RateFooter);
    // The rate's position, not its value: two fields may hold the same rate and each
    // still has a group of its own.
    RateGroup->OnNeedData = [this](QObject *, QString &value) {
        if (const Record *record = Current())
            value = QString::number(record->Rate + 1);
    };
}

TScheduleReport::~TScheduleReport() = default;

TScheduleReport::FooterLine TScheduleReport::AddRateFooterLine()
{
    const QFont bold = Fonts::Make(QStringLiteral("Arial"), 13, true);
    const int top = FooterFirstLineTop + int(FFooterLines.size()) * FooterLinePitch;
    FooterLine line{AddLabel(RateFooter, QString(), 40, top, 400, 18, &bold, taLeftJustify, false),
                    AddLabel(RateFooter, QString(), ValueColumn().Left, top, ValueColumn().Of->Width, 18, &bold,
                             taRightJustify, false)};
    FFooterLines.push_back(line);
    RateFooter->SetHeight(top + FooterLinePitch + FooterBottomMargin);
    return line;
}

const TScheduleReport::Record *TScheduleReport::Current() const
{
    return FRecord >= 0 && FRecord < int(FRecords.size()) ? &FRecords[FRecord] : nullptr;
}

void TScheduleReport::RepNeedData(bool &moreData)
{
    // The first question of a run starts over.
    if (moreData) {
        FRecord = 0;
        FOpenRate = -1;
    } else {
        ++FRecord;
    }
    const Record *record = Current();
    moreData = record != nullptr;
    // The last line of a rate takes the rate's footer along: the footer, however many
    // lines it has, never stands alone at the top of a page.
    const Record *next = moreData && FRecord + 1 < int(FRecords.size()) ? &FRecords[FRecord + 1] : nullptr;
    const bool lastOfRate = moreData && (!next || next->Rate != record->Rate);
    YearDetail->SetLinkBand(lastOfRate ? RateFooter : nullptr);
}

void TScheduleReport::RateHeaderBeforePrint(bool &printBand)
{
    // The engine prints every group header once before the first record is fetched;
    // a group opens only with a record.
    const Record *record = Current();
    printBand = record != nullptr;
    if (!printBand)
        return;
    FOpenRate = record->Rate;
    lblRate->SetCaption(
        tr("Discount rate %1").arg(TDiscountSchedule::PercentText(FSchedule.RateAt(record->Rate).Percent)));
}

void TScheduleReport::YearDetailBeforePrint(bool &printBand)
{
    const Record *record = Current();
    printBand = record && record->Year >= 0;
    if (!printBand)
        return;
    const TDiscountSchedule::Rate &rate = FSchedule.RateAt(record->Rate);
    const TDiscountSchedule::Year &year = rate.Years[record->Year];
    const std::vector<ScheduleColumns::Placed> columns = ScheduleColumns::ReportColumns();
    for (std::size_t i = 0; i < columns.size(); ++i)
        lblYearColumns[i]->SetCaption(columns[i].Of->ReportText(rate, year));
}

void TScheduleReport::RateFooterBeforePrint(bool &printBand)
{
    printBand = FOpenRate >= 0;
    if (!printBand)
        return;
    const TDiscountSchedule::Rate &rate = FSchedule.RateAt(FOpenRate);
    lblNpvCaption->SetCaption(NpvCaption(rate.Percent));
    lblNpv->SetCaption(rate.Defined ? TDiscountSchedule::CurrencyText(rate.NetPresentValue)
                                    : TDiscountSchedule::UndefinedText());
    // A rate that cannot discount has no running sums to pay back from.
    lblPaybackCaption->SetCaption(rate.Defined ? PaybackCaption() : QString());
    lblPayback->SetCaption(rate.Defined ? TDiscountSchedule::PaybackText(rate.Payback) : QString());
    lblModifiedRateCaption->SetCaption(ModifiedRateCaption(FSchedule.ReinvestPercent(FOpenRate)));
    lblModifiedRate->SetCaption(TDiscountSchedule::ModifiedRateText(rate.ModifiedRate));
    FOpenRate = -1;
}
