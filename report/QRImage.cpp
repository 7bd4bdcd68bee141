#include "report/QRImage.h"

#include "report/QRPrinter.h"
#include "report/QRReport.h"

#include <QPainter>

TQRImage::TQRImage(QWidget *parent) : QWidget(parent)
{
    resize(105, 105);
}

void TQRImage::SetBitmap(const QImage &bitmap)
{
    ClearPicture();
    FBitmap = bitmap;
    FKind = bitmap.isNull() ? pkNone : pkBitmap;
    update();
}

void TQRImage::SetMetafile(const QPicture &picture)
{
    ClearPicture();
    FMetafile = picture;
    FKind = picture.isNull() ? pkNone : pkMetafile;
    update();
}

void TQRImage::SetIcon(const QIcon &icon)
{
    ClearPicture();
    FIcon = icon;
    FKind = icon.isNull() ? pkNone : pkIcon;
    update();
}

void TQRImage::ClearPicture()
{
    FKind = pkNone;
    FBitmap = QImage();
    FMetafile = QPicture();
    FIcon = QIcon();
    update();
}

void TQRImage::SetStretch(bool stretch)
{
    FStretch = stretch;
    update();
}

QImage TQRImage::IconImage() const
{
    const QList<QSize> sizes = FIcon.availableSizes();
    const QSize size = sizes.isEmpty() ? QSize(32, 32) : sizes.first();
    return FIcon.pixmap(size).toImage();
}

void TQRImage::Print(const TQRReport &report, int OX, int OY)
{
    QPainter *canvas = QRPrinter()->Canvas();
    if (!canvas || FKind == pkNone)
        return;
    const QPoint origin(report.XPos(OX + Left()), report.YPos(OY + Top()));
    const QRect stretched = QRRect(origin.x(), origin.y(), report.XPos(OX + Left() + Width()),
                                   report.YPos(OY + Top() + Height()));
    switch (FKind) {
    case pkBitmap:
        if (FStretch)
            canvas->drawImage(stretched, FBitmap);
        else
            canvas->drawImage(origin, FBitmap);
        break;
    case pkMetafile: TQRPrinter::DrawPage(*canvas, FMetafile, stretched); break;
    case pkIcon: canvas->drawImage(origin, IconImage()); break;
    case pkNone: break;
    }
}

void TQRImage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    switch (FKind) {
    case pkBitmap:
        if (FStretch)
            painter.drawImage(rect(), FBitmap);
        else
            painter.drawImage(QPoint(0, 0), FBitmap);
        break;
    case pkMetafile: TQRPrinter::DrawPage(painter, FMetafile, rect()); break;
    case pkIcon: painter.drawImage(QPoint(0, 0), IconImage()); break;
    case pkNone:
        painter.setPen(QPen(Qt::black, 1, Qt::DashLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        break;
    }
}
