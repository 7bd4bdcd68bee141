#pragma once

#include "app/core/Npv.h"

#include <QWidget>
#include <array>

class TQRBand;
class TQRLabel;
class TQRReport;
class TQRShape;
class TQRSysData;

// The layout of the printed result report. The form is never shown; Print fills its
// twenty value labels and asks the report for a preview.
class TQRPaymentChart : public QWidget {
    Q_OBJECT
public:
    explicit TQRPaymentChart(QWidget *parent = nullptr);
    ~TQRPaymentChart() override;

    // Amounts as the report prints them: at most 10 significant digits and 2 decimals
    // in the regional currency format; rates with 3 decimals. Beyond ten integer digits
    // both fall back to scientific notation without symbol or separators.
    static QString CurrencyText(long double value);
    static QString NumberText(long double value);

    void RepBeforePrint(QObject *sender, bool &printReport);

    // The host name printed in the title and the footer.
    static const QString HostName;

    TQRReport *Rep = nullptr;
    TQRBand *Title = nullptr;
    TQRBand *PageHeader = nullptr;
    TQRBand *PageFooter = nullptr;
    TQRLabel *lblTitle = nullptr;
    TQRLabel *lblHeader1 = nullptr;
    TQRLabel *lblHeader2 = nullptr;
    TQRLabel *lblApplicationTitle = nullptr;
    TQRLabel *lblURL = nullptr;
    TQRSysData *QRDateTime = nullptr;
    std::array<TQRLabel *, Npv::YearCount> lblYear{};
    std::array<TQRLabel *, Npv::RateCount> lblDR{};
    std::array<TQRLabel *, Npv::RateCount> lblNPV{};
};
