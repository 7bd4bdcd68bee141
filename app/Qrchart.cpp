#include "app/Qrchart.h"

#include "app/Links.h"
#include "app/core/Npv.h"
#include "platform/core/Formatting.h"
#include "platform/gui/Fonts.h"
#include "report/QRBand.h"
#include "report/QRCustomControl.h"
#include "report/QRFormParts.h"
#include "report/QRReport.h"
#include "report/QRShape.h"

#include <QUrl>
#include <iterator>

const QString TQRPaymentChart::HostName = QUrl(Links::HomePage).host();

namespace {

// The designed line of each year and each rate on the page. The tables are as long as the
// counts, so a new count stops the build here until its lines are designed.
constexpr int YearLabelTops[] = {68, 92, 116, 140, 164, 188, 212, 236, 260, 284};
constexpr int YearValueTops[] = {69, 93, 117, 140, 164, 188, 212, 235, 259, 283};
constexpr int RateTops[] = {70, 94, 117, 141, 164};
static_assert(std::size(YearLabelTops) == Npv::YearCount && std::size(YearValueTops) == Npv::YearCount,
              "Npv::YearCount changed: extend YearLabelTops and YearValueTops in app/Qrchart.cpp and make "
              "the page header band tall enough for the new lines");
static_assert(std::size(RateTops) == Npv::RateCount, "Npv::RateCount changed: extend RateTops in app/Qrchart.cpp");

TQRBand *makeBand(QWidget *form, TQRBandType type, int top, int height)
{
    auto *band = new TQRBand(form);
    band->SetBandType(type);
    band->setGeometry(0, top, 1200, height);
    band->SetColor(Qt::white);
    return band;
}

} // namespace

using QRFormParts::AddHorizontalLine;
using QRFormParts::AddLabel;

// Long by design: the designed report form, band by band from top to bottom.
TQRPaymentChart::TQRPaymentChart(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("QRPaymentChart"));
    setWindowTitle(tr("Print NPV"));
    setFont(Fonts::Make(QStringLiteral("Arial"), 13));
    setAttribute(Qt::WA_DontShowOnScreen);

    Rep = new TQRReport(this);
    Rep->SetColumns(1);
    Rep->SetDisplayPrintDialog(false);
    Rep->SetOrientation(poPortrait);
    Rep->SetPaperSize(qrpDefault);
    Rep->SetRestartData(true);
    Rep->SetTitleBeforeHeader(true);
    Rep->BeforePrint = [this](QObject *sender, bool &printReport) { RepBeforePrint(sender, printReport); };

    const QFont black27 = Fonts::Make(QStringLiteral("Arial"), 27, true);
    const QFont black15 = Fonts::Make(QStringLiteral("Arial"), 15, true);
    const QFont bold13 = Fonts::Make(QStringLiteral("Arial"), 13, true);
    const QFont small11 = Fonts::Make(QStringLiteral("Arial"), 11);

    Title = makeBand(this, rbTitle, 0, 181);
    lblTitle = AddLabel(Title, QStringLiteral("Tallowmere"), 30, 68, 729, 32, &black27, taLeftJustify, false);
    lblHeader1 = AddLabel(Title, QString(), 30, 101, 729, 18, &black15, taLeftJustify, false);
    lblHeader2 = AddLabel(Title, QString(), 30, 121, 729, 18, &black15, taLeftJustify, false);

    PageHeader = makeBand(this, rbPageHeader, 181, 370);
    AddHorizontalLine(PageHeader, 30, 3, 735);
    AddLabel(PageHeader, tr("Year"), 150, 23, 29, 16, &bold13);
    AddLabel(PageHeader, tr("Cash Flow"), 227, 24, 66, 16, &bold13);
    AddLabel(PageHeader, tr("Discount Rate"), 415, 23, 87, 16, &bold13);
    AddLabel(PageHeader, tr("Net Present Value"), 537, 23, 114, 16, &bold13);
    AddHorizontalLine(PageHeader, 30, 46, 735);
    for (int n = 0; n < Npv::YearCount; ++n) {
        const bool twoDigits = n + 1 >= 10; // starts further left and is twice as wide
        AddLabel(PageHeader, QString::number(n + 1), twoDigits ? 157 : 161, YearLabelTops[n], twoDigits ? 14 : 7, 16);
        lblYear[n] = AddLabel(PageHeader, QString(), 246, YearValueTops[n], 47, 18, nullptr, taRightJustify);
    }
    for (int k = 0; k < Npv::RateCount; ++k) {
        lblDR[k] = AddLabel(PageHeader, QString(), 464, RateTops[k], 19, 16, nullptr, taRightJustify);
        lblNPV[k] = AddLabel(PageHeader, QString(), 604, RateTops[k], 47, 16, nullptr, taRightJustify);
    }

    PageFooter = makeBand(this, rbPageFooter, 551, 102);
    AddHorizontalLine(PageFooter, 30, 2, 735);
    lblApplicationTitle = AddLabel(PageFooter, QString(), 30, 4, 75, 14, &small11);
    QRDateTime = new TQRSysData(PageFooter);
    QRDateTime->SetFont(small11);
    QRDateTime->SetData(qrsDateTime);
    QRDateTime->SetText(tr("Printed at "));
    QRDateTime->SetAlignment(taCenter);
    QRDateTime->SetAutoSize(true);
    QRDateTime->SetBounds(333, 4, 140, 14);
    lblURL = AddLabel(PageFooter, QString(), 647, 4, 118, 14, &small11, taRightJustify);
    QFont note = small11;
    AddLabel(PageFooter,
             tr("NOTE:  While effort was made to ensure the accuracy of these calculations, there is NO "
                "WARRANTY, expressed or implied, for the accuracy or the"),
             41, 33, 713, 14, &note, taLeftJustify, false)
        ->SetFontColor(Qt::black);
    AddLabel(PageFooter,
             tr("applicability of this information to your particular financial situation.  Please "
                "consult your own qualified advisor before making any financial decisions."),
             41, 47, 713, 14, &note, taLeftJustify, false)
        ->SetFontColor(Qt::black);
}

TQRPaymentChart::~TQRPaymentChart() = default;

QString TQRPaymentChart::CurrencyText(long double value)
{
    return FloatToStrF(value, ffCurrency, 10, 2);
}

QString TQRPaymentChart::NumberText(long double value)
{
    return FloatToStrF(value, ffNumber, 10, 3);
}

void TQRPaymentChart::RepBeforePrint(QObject *, bool &)
{
    lblHeader1->SetCaption(tr("Compliments of Corvane Software"));
    lblHeader2->SetCaption(HostName);
    lblURL->SetCaption(HostName);
    lblApplicationTitle->SetCaption(QStringLiteral("Tallowmere 32, 1.1"));
}
