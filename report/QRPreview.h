#pragma once

#include <QAbstractScrollArea>
#include <QSize>
#include <QWidget>

// The page surface of the preview: the blank sheet at the box's zoom, the selected
// page of QRPrinter on it at the printable area's place, a black outline and a
// two-pixel shadow on the right and at the bottom.
class TQRCustomPreview : public QWidget {
    Q_OBJECT
public:
    explicit TQRCustomPreview(QWidget *parent = nullptr);

    int Zoom() const { return FZoom; }
    void SetZoom(int zoom);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int FZoom = 100;
};

// A scroll box holding one page surface, sized by the zoom percentage of the sheet's
// screen size. The zoom follows the box's size while it fits the page or its width;
// a zoom set directly stays.
class TQRPreview : public QAbstractScrollArea {
    Q_OBJECT
public:
    enum TZoomMode { zmFitPage, zmPageWidth, zmFixed };

    explicit TQRPreview(QWidget *parent = nullptr);

    int PageNumber() const { return FPageNumber; }
    void SetPageNumber(int page);
    int Zoom() const { return FZoom; }
    void SetZoom(int zoom);
    TZoomMode ZoomMode() const { return FZoomMode; }

    void ZoomToFit();
    void ZoomToWidth();
    void UpdateLayout();

    TQRCustomPreview *Surface() const { return FSurface; }
    // Where the surface sits in the box before scrolling.
    QPoint SurfacePosition() const { return FSurfacePosition; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateScrollRange();
    void PlaceSurface();

    TQRCustomPreview *FSurface;
    int FPageNumber = 1;
    int FZoom = 100;
    TZoomMode FZoomMode = zmFitPage;
    QPoint FSurfacePosition;
    QSize FBoxSize;
};
