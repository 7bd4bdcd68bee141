#pragma once

#include "tools/schedule/DiscountSchedule.h"

#include <QStringList>
#include <QWidget>
#include <optional>
#include <vector>

class TQRBand;
class TQRGroup;
class TQRImage;
class TQRLabel;
class TQRReport;
class TQRSysData;

// The report form of the discounting schedule: a title, the column headings, one
// group per discount rate (its rate above, a line per year, the net present value,
// the discounted payback year and the modified internal rate below), a closing
// summary with the internal rates of return, the NPV profile on a page of its own,
// and the page number at the foot of every page. Never shown; Preview shows its pages.
class TScheduleReport : public QWidget {
    Q_OBJECT
public:
    // source names where the values came from (the settings file), for the title.
    TScheduleReport(const TDiscountSchedule &schedule, const QString &source, QWidget *parent = nullptr);
    ~TScheduleReport() override;

    TQRReport *Rep = nullptr;
    TQRBand *Title = nullptr;
    TQRBand *ColumnHeader = nullptr;
    TQRBand *RateHeader = nullptr;
    TQRBand *YearDetail = nullptr;
    TQRBand *RateFooter = nullptr;
    TQRBand *Summary = nullptr;
    // The last page: the NPV profile of the flows.
    TQRBand *ProfilePage = nullptr;
    TQRBand *PageFooter = nullptr;
    TQRGroup *RateGroup = nullptr;

    TQRLabel *lblSource = nullptr;
    TQRLabel *lblRate = nullptr;
    // One label per report column of a year line, in column order.
    std::vector<TQRLabel *> lblYearColumns;
    TQRLabel *lblNpvCaption = nullptr;
    TQRLabel *lblNpv = nullptr;
    TQRLabel *lblPaybackCaption = nullptr;
    TQRLabel *lblPayback = nullptr;
    TQRLabel *lblModifiedRateCaption = nullptr;
    TQRLabel *lblModifiedRate = nullptr;
    TQRLabel *lblRatesCaption = nullptr;
    // One line per internal rate, or one saying there is none.
    std::vector<TQRLabel *> lblRates;
    // Why there is more than one rate or none; empty otherwise.
    TQRLabel *lblRatesNote = nullptr;
    TQRImage *imgProfile = nullptr;
    TQRSysData *QRPageNumber = nullptr;

    static QString NpvCaption(double percent);
    static QString PaybackCaption();
    static QString ModifiedRateCaption(double reinvestPercent);
    static QString RatesCaption(const InternalRates &rates);
    // The rates, one text each, or the one word that stands for them.
    static QStringList RatesTexts(const InternalRates &rates);
    // "Values from " and the source, shortened in the middle when it is wider than the
    // title's line, so that its start and its file name both show.
    static QString SourceText(const QString &source, const QFont &font, int width);

private:
    // One line of a rate's footer: a caption on the left, a figure in the value column.
    struct FooterLine {
        TQRLabel *Caption;
        TQRLabel *Value;
    };
    // Adds a line below the footer's last one and makes the band tall enough for it.
    FooterLine AddRateFooterLine();

    // One record per year of every rate that discounts, one alone for a rate that
    // does not (its group then says so).
    struct Record {
        int Rate;
        int Year; // -1: the rate cannot discount
    };
    const Record *Current() const;

    void RepNeedData(bool &moreData);
    void RateHeaderBeforePrint(bool &printBand);
    void YearDetailBeforePrint(bool &printBand);
    void RateFooterBeforePrint(bool &printBand);

    TDiscountSchedule FSchedule;
    std::vector<FooterLine> FFooterLines;
    std::vector<Record> FRecords;
    int FRecord = -1;
    // The rate whose group is open: its footer is printed after the next record has
    // already been fetched, so it cannot read the rate from the current record.
    int FOpenRate = -1;
};
