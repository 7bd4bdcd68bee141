#include "report/QRBand.h"

#include "platform/gui/Fonts.h"
#include "report/QRCanvas.h"
#include "report/QRCustomControl.h"
#include "report/QRImage.h"
#include "report/QRMemo.h"
#include "report/QRPrinter.h"
#include "report/QRReport.h"
#include "report/QRShape.h"

#include <QEvent>
#include <QPainter>
#include <QResizeEvent>
#include <algorithm>

namespace {

QWidget *BandHost(QWidget *parent)
{
    // Bands never nest: a band dropped on a band lands on that band's parent.
    while (qobject_cast<TQRBand *>(parent))
        parent = parent->parentWidget();
    return parent;
}

} // namespace

TQRBand::TQRBand(QWidget *parent) : QWidget(BandHost(parent))
{
    resize(parentWidget() ? parentWidget()->width() : 200, 40);
    WatchParent();
}

TQRBand::~TQRBand() = default;

TQRReport *TQRBand::Report() const
{
    return FReport;
}

void TQRBand::SetReport(TQRReport *report)
{
    FReport = report;
}

void TQRBand::SetLinkBand(TQRBand *band)
{
    if (band == this)
        return;
    FLinkBand = band;
}

void TQRBand::SetRuler(TQRRuler ruler)
{
    FRuler = ruler;
    update();
}

void TQRBand::SetColor(const QColor &color)
{
    FColor = color;
    update();
}

bool TQRBand::ParentFont() const
{
    return !testAttribute(Qt::WA_SetFont);
}

void TQRBand::SetParentFont(bool parentFont)
{
    if (parentFont)
        setFont(QFont());
    else
        setAttribute(Qt::WA_SetFont, true);
}

void TQRBand::SetAlign(TAlign align)
{
    FAlign = align;
    ArrangeBands(parentWidget());
}

void TQRBand::WatchParent()
{
    if (FWatchedParent)
        FWatchedParent->removeEventFilter(this);
    FWatchedParent = parentWidget();
    if (FWatchedParent)
        FWatchedParent->installEventFilter(this);
    ArrangeBands(parentWidget());
}

bool TQRBand::event(QEvent *event)
{
    if (event->type() == QEvent::ParentChange) {
        if (QWidget *host = BandHost(parentWidget()); host != parentWidget()) {
            setParent(host);
            return true;
        }
        WatchParent();
    }
    return QWidget::event(event);
}

bool TQRBand::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        ArrangeBands(parentWidget());
    return QWidget::eventFilter(watched, event);
}

void TQRBand::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (event->oldSize().height() != event->size().height())
        ArrangeBands(parentWidget());
}

void TQRBand::ArrangeBands(QWidget *form)
{
    static bool arranging = false;
    if (!form || arranging)
        return;
    arranging = true;
    int top = 0;
    for (QObject *child : form->children()) {
        auto *band = qobject_cast<TQRBand *>(child);
        if (!band || band->FAlign != alTop || band->isHidden())
            continue;
        band->setGeometry(0, top, form->width(), band->height());
        top += band->height();
    }
    arranging = false;
}

bool TQRBand::Print(int OX, int OY)
{
    const QPointer<TQRBand> self(this);
    bool printBand = true;
    if (BeforePrint)
        BeforePrint(this, printBand);
    if (!self)
        return false;
    if (printBand && FReport && QRPrinter()->Canvas()) {
        QPainter *canvas = QRPrinter()->Canvas();
        QRCanvas::SetBrush(*canvas, FColor);
        FDrawn.clear();
        FPlainArea = QRect();
        if (FBandType != rbOverlay) {
            // One column of background, whatever the band's own width.
            const TQRReport &r = *FReport;
            const QRect background = QRRect(r.XPos(OX), r.YPos(OY), r.XPos(OX + r.ColumnWidth()),
                                            r.YPos(OY + Height()) - 1);
            QRCanvas::FillRect(*canvas, background, FColor);
            if (FColor.alpha() == 255)
                FPlainArea = background.adjusted(QRPageUnitsPerPixel, QRPageUnitsPerPixel, -QRPageUnitsPerPixel,
                                                 -QRPageUnitsPerPixel);
        }
        PrintChildren(OX, OY);
        if (!self)
            return false;
        FPlainArea = QRect();
        FDrawn.clear();
        DrawFrame(OX, OY);
    }
    if (AfterPrint)
        AfterPrint(this, printBand);
    return printBand;
}

void TQRBand::PrintChildren(int OX, int OY)
{
    QList<QPointer<QObject>> kids;
    for (QObject *child : children())
        kids.append(child);
    for (const QPointer<QObject> &child : kids) {
        if (!child || !FReport)
            continue;
        const TQRReport &r = *FReport;
        if (auto *control = qobject_cast<TQRCustomControl *>(child.data())) {
            if (!control->Visible())
                continue;
            const QRect place = QRRect(r.XPos(OX + control->Left()), r.YPos(OY + control->Top()),
                                       r.XPos(OX + control->Left() + control->Width()),
                                       r.YPos(OY + control->Top() + control->Height()));
            control->Print(OX, OY);
            // A shape's pen reaches beyond its rectangle by half its width; a label marks
            // the text it drew itself.
            const auto *shape = qobject_cast<TQRShape *>(child.data());
            const int reach = QRPageUnitsPerPixel * (2 + (shape ? shape->Pen().width() : 0));
            MarkDrawn(place.adjusted(-reach, -reach, reach, reach));
        } else if (auto *image = qobject_cast<TQRImage *>(child.data())) {
            image->Print(r, OX, OY);
            // A bitmap drawn unstretched may reach past its control.
            FPlainArea = QRect();
        } else if (auto *memo = qobject_cast<TQRMemo *>(child.data())) {
            memo->Print(OX, OY);
            // Memo lines are not clipped.
            FPlainArea = QRect();
        }
    }
}

bool TQRBand::ShowsBackgroundOnly(const QRect &rect) const
{
    if (FPlainArea.isEmpty() || !FPlainArea.contains(rect))
        return false;
    for (const QRect &drawn : FDrawn) {
        if (drawn.intersects(rect))
            return false;
    }
    return true;
}

void TQRBand::MarkDrawn(const QRect &rect)
{
    if (!FPlainArea.isEmpty() && FPlainArea.intersects(rect))
        FDrawn.append(rect);
}

void TQRBand::DrawFrame(int OX, int OY)
{
    QPainter *canvas = QRPrinter()->Canvas();
    if (FFrame.Width() <= 0 || !canvas || !FReport)
        return;
    const TQRReport &r = *FReport;
    QRCanvas::SetBrush(*canvas, FColor);
    FFrame.Apply(*canvas);
    const int x0 = r.XPos(OX);
    const int x1 = r.XPos(OX + r.ColumnWidth() - 1);
    const int y0 = r.YPos(OY);
    const int y1 = r.YPos(OY + Height()) - 1;
    if (FFrame.DrawTop())
        canvas->drawLine(x0, y0, x1, y0);
    if (FFrame.DrawBottom())
        canvas->drawLine(x0, y1, x1, y1);
    if (FFrame.DrawLeft())
        canvas->drawLine(x0, y0, x0, y1);
    if (FFrame.DrawRight())
        canvas->drawLine(x1, y0, x1, y1);
    canvas->setCompositionMode(QPainter::CompositionMode_SourceOver);
}

int TQRBand::ExtraHeight() const
{
    int extra = 0;
    for (QObject *child : children()) {
        int asked = 0;
        if (auto *control = qobject_cast<TQRCustomControl *>(child))
            control->ExtraHeight(asked);
        else if (auto *memo = qobject_cast<TQRMemo *>(child))
            memo->ExtraHeight(asked);
        extra = std::max(extra, asked);
    }
    return extra;
}

void TQRBand::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), FColor);
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.drawLine(0, height() - 1, width() - 1, height() - 1);
    DrawRulers(painter);
}

void TQRBand::DrawRulers(QPainter &painter)
{
    if (FRuler == qrrNone)
        return;
    int ppi = QRReferenceResolution;
    if (FReport)
        ppi = FReport->FormPixelsPerInch();
    else if (parentWidget()) {
        if (auto *report = parentWidget()->findChild<TQRReport *>(QString(), Qt::FindDirectChildrenOnly))
            ppi = report->FormPixelsPerInch();
    }
    const bool inches = FRuler == qrrInchesH || FRuler == qrrInchesV || FRuler == qrrInchesHV;
    const bool vertical = FRuler == qrrInchesV || FRuler == qrrInchesHV || FRuler == qrrCmV || FRuler == qrrCmHV;
    const bool horizontal = FRuler == qrrInchesH || FRuler == qrrInchesHV || FRuler == qrrCmH || FRuler == qrrCmHV;

    QFont labelFont(Fonts::Family(QStringLiteral("Arial")));
    labelFont.setPointSize(6);
    painter.setFont(labelFont);
    const QColor grey(128, 128, 128);

    auto mark = [&](bool verticalLine, int position, bool dashed, int label) {
        painter.setPen(QPen(grey, 1, dashed ? Qt::DashLine : Qt::DotLine));
        if (verticalLine)
            painter.drawLine(position, 0, position, height() - 1);
        else
            painter.drawLine(0, position, width() - 1, position);
        if (label > 0) {
            painter.setPen(grey);
            const QString text = QString::number(label);
            if (verticalLine)
                painter.drawText(QRect(position + 2, 0, 100, height()), Qt::AlignLeft | Qt::AlignTop, text);
            else
                painter.drawText(QRect(0, position + 2, width(), 100), Qt::AlignLeft | Qt::AlignTop, text);
        }
    };

    if (inches) {
        // Quarter inches; every fourth line is a whole inch, dashed and numbered.
        const int count = QRRound(width() * 4.0 / ppi);
        for (int i = 1; i <= count; ++i) {
            const int position = i * ppi / 4;
            const bool whole = i % 4 == 0;
            if (vertical)
                mark(true, position, whole, whole ? i / 4 : 0);
            if (horizontal)
                mark(false, position, whole, whole ? i / 4 : 0);
        }
        return;
    }
    // Half centimetres; even lines are whole centimetres, dashed and numbered.
    auto centimetres = [&](bool verticalLine, int extent) {
        const int count = 2 * QRRound(extent / double(ppi) * 2.54);
        for (int i = 1; i <= count; ++i) {
            const bool whole = i % 2 == 0;
            mark(verticalLine, QRRound(i * ppi * 0.19685), whole, whole ? i / 2 : 0);
        }
    };
    if (vertical)
        centimetres(true, width());
    if (horizontal)
        centimetres(false, height());
}
