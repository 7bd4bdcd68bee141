#pragma once

#include "app/profile/NpvProfile.h"

#include <QWidget>
#include <functional>

class QPushButton;

// The NPV profile window: the calculator's flows drawn as net present value against the
// discount rate, redrawn with every recomputation. Modeless, one per calculator; it
// prints through the program's preview and saves as PNG or SVG.
class TfrmProfile : public QWidget {
    Q_OBJECT
public:
    explicit TfrmProfile(QWidget *parent = nullptr);

    // New values: computes the profile and repaints the chart.
    void SetValues(const Npv::CashFlows &flows, const std::array<double, Npv::RateCount> &ratesPercent);
    const TNpvProfile &Profile() const { return FProfile; }

    void Print();
    void SaveAs();

    // The drawing itself, which carries the accessible description.
    QWidget *Chart = nullptr;
    QPushButton *btnPrint = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnClose = nullptr;

    // Tests answer the file question here: the name to save to, or empty to cancel.
    static void SetOnFileDialog(std::function<QString()> answer);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TNpvProfile FProfile;
};
