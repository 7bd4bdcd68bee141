#pragma once

#include "report/QRDesignBounds.h"
#include "report/QRFrame.h"
#include "report/QRTypes.h"

#include <QColor>
#include <QPointer>
#include <QWidget>
#include <functional>

class TQRReport;

// A band of a report form: a white panel that holds print controls and prints them
// when the engine places it on a page. Bands stack from the top of their form and
// never nest: one placed on another band goes to that band's parent.
class TQRBand : public QWidget, public TQRDesignBounds<TQRBand> {
    Q_OBJECT
public:
    enum TAlign { alNone, alTop };

    explicit TQRBand(QWidget *parent = nullptr);
    ~TQRBand() override;

    std::function<void(TQRBand *Sender, bool BandPrinted)> AfterPrint;
    std::function<void(TQRBand *Sender, bool &PrintBand)> BeforePrint;

    TQRBandType BandType() const { return FBandType; }
    void SetBandType(TQRBandType type) { FBandType = type; }
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled) { FEnabled = enabled; }
    bool ForceNewPage() const { return FForceNewPage; }
    void SetForceNewPage(bool force) { FForceNewPage = force; }
    TQRFrame &Frame() { return FFrame; }
    const TQRFrame &Frame() const { return FFrame; }
    TQRBand *LinkBand() const { return FLinkBand; }
    // A band cannot link to itself; such a request is ignored.
    void SetLinkBand(TQRBand *band);
    TQRRuler Ruler() const { return FRuler; }
    void SetRuler(TQRRuler ruler);
    QColor Color() const { return FColor; }
    void SetColor(const QColor &color);
    bool ParentFont() const;
    void SetParentFont(bool parentFont);
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign align);

    // The report of the run in progress (set by the engine at the start of each run).
    TQRReport *Report() const;
    void SetReport(TQRReport *report);

    // Prints the band with its controls at the offsets (report units) onto the open
    // page: asks BeforePrint, fills one column of background, prints the controls in
    // child order, draws the frame, tells AfterPrint. Returns whether it printed.
    bool Print(int OX, int OY);

    // The largest extra height any print control on the band asks for.
    int ExtraHeight() const;

    // While the band prints its controls: whether the page rectangle shows nothing but
    // the band's own background, so that filling it with the band's colour again
    // would change nothing on the page; and the marking of what the controls draw.
    bool ShowsBackgroundOnly(const QRect &rect) const;
    void MarkDrawn(const QRect &rect);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void PrintChildren(int OX, int OY);
    void DrawFrame(int OX, int OY);
    void WatchParent();
    void DrawRulers(class QPainter &painter);
    static void ArrangeBands(QWidget *form);

    TQRBandType FBandType = rbTitle;
    bool FEnabled = true;
    bool FForceNewPage = false;
    TQRFrame FFrame;
    QPointer<TQRBand> FLinkBand;
    TQRRuler FRuler = qrrNone;
    QColor FColor = Qt::white;
    TAlign FAlign = alTop;
    QPointer<TQRReport> FReport;
    QPointer<QWidget> FWatchedParent;
    // The background filled for the printing in progress, a pixel in from its edges
    // (empty when there is none), and what has been drawn on it since.
    QRect FPlainArea;
    QList<QRect> FDrawn;
};
