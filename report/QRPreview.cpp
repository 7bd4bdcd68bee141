#include "report/QRPreview.h"

#include "report/QRPrinter.h"

#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <algorithm>

TQRCustomPreview::TQRCustomPreview(QWidget *parent) : QWidget(parent)
{
    resize(100, 50);
}

void TQRCustomPreview::SetZoom(int zoom)
{
    FZoom = zoom;
    update();
}

void TQRCustomPreview::paintEvent(QPaintEvent *)
{
    const TQRPrinter *printer = QRPrinter();
    const int W = width();
    const int H = height();
    // Percentages divide exactly, so halves stay halves for the even rounding.
    auto zoomed = [this](int v) { return QRRound(v * double(FZoom) / 100.0); };
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    painter.fillRect(QRRect(0, 0, W - 3, H - 3), Qt::white);
    if (printer->Status() == stFinished) {
        if (const QPicture *page = printer->Page()) {
            // The printable area at its place on the sheet, as the page prints.
            const QRectF area(QPointF(zoomed(printer->LeftOffset()) + 1, zoomed(printer->TopOffset()) + 1),
                              QPointF(zoomed(printer->LeftOffset() + printer->PageWidth()),
                                      zoomed(printer->TopOffset() + printer->PageHeight())));
            painter.save();
            TQRPrinter::DrawPage(painter, *page, area);
            painter.restore();
        }
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::NoBrush);
    const QPoint outline[] = {{0, 0}, {0, H - 3}, {W - 3, H - 3}, {W - 3, 0}, {0, 0}};
    painter.drawPolyline(outline, 5);
    painter.fillRect(QRRect(W - 2, 2, W, H), Qt::black);
    painter.fillRect(QRRect(2, H - 2, W, H), Qt::black);
}

TQRPreview::TQRPreview(QWidget *parent) : QAbstractScrollArea(parent), FSurface(new TQRCustomPreview(viewport()))
{
    resize(250, 250);
    horizontalScrollBar()->setTracking(true);
    verticalScrollBar()->setTracking(true);
    horizontalScrollBar()->setSingleStep(8);
    verticalScrollBar()->setSingleStep(8);
    QRPrinter()->SetCurrentPage(1);
}

void TQRPreview::SetPageNumber(int page)
{
    TQRPrinter *printer = QRPrinter();
    if (page == FPageNumber || page <= 0 || page > printer->PageCount())
        return;
    printer->SetCurrentPage(page);
    FPageNumber = page;
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    FSurface->update();
}

void TQRPreview::SetZoom(int zoom)
{
    FZoomMode = zmFixed;
    FZoom = zoom;
    UpdateLayout();
}

void TQRPreview::ZoomToFit()
{
    const TQRPrinter *printer = QRPrinter();
    if (!printer->PrinterOK()) {
        SetZoom(100);
        return;
    }
    const int a = QRRound(width() / double(printer->SheetWidth()) * 95);
    const int b = QRRound(height() / double(printer->SheetHeight()) * 95);
    SetZoom(std::min(a, b));
    FZoomMode = zmFitPage;
}

void TQRPreview::ZoomToWidth()
{
    const TQRPrinter *printer = QRPrinter();
    if (!printer->PrinterOK()) {
        SetZoom(100);
        return;
    }
    SetZoom(QRRound(width() / double(printer->SheetWidth()) * 98));
    UpdateLayout();
    FZoomMode = zmPageWidth;
}

void TQRPreview::UpdateLayout()
{
    const TQRPrinter *printer = QRPrinter();
    const int w = QRRound(printer->SheetWidth() * double(FZoom) / 100.0) + 4;
    const int h = QRRound(printer->SheetHeight() * double(FZoom) / 100.0) + 4;
    FSurface->resize(std::max(0, w), std::max(0, h));
    FSurfacePosition = QPoint(w < width() ? (width() - w) / 2 : 0, h < height() ? (height() - h) / 2 : 0);
    UpdateScrollRange();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    PlaceSurface();
    FSurface->SetZoom(FZoom);
}

void TQRPreview::UpdateScrollRange()
{
    const QSize view = viewport()->size();
    QScrollBar *h = horizontalScrollBar();
    QScrollBar *v = verticalScrollBar();
    h->setRange(0, std::max(0, FSurfacePosition.x() + FSurface->width() - view.width()));
    h->setPageStep(std::max(1, view.width()));
    v->setRange(0, std::max(0, FSurfacePosition.y() + FSurface->height() - view.height()));
    v->setPageStep(std::max(1, view.height()));
}

void TQRPreview::PlaceSurface()
{
    FSurface->move(FSurfacePosition.x() - horizontalScrollBar()->value(),
                   FSurfacePosition.y() - verticalScrollBar()->value());
}

void TQRPreview::scrollContentsBy(int, int)
{
    PlaceSurface();
}

void TQRPreview::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    // The viewport also changes size when a scroll bar comes or goes; only a change of
    // the box itself re-fits the page.
    if (size() == FBoxSize) {
        UpdateScrollRange();
        PlaceSurface();
        return;
    }
    FBoxSize = size();
    if (FZoomMode == zmFitPage)
        ZoomToFit();
    else if (FZoomMode == zmPageWidth)
        ZoomToWidth();
    UpdateLayout();
}
