#pragma once

#include "report/QRDesignBounds.h"

#include <QIcon>
#include <QImage>
#include <QPicture>
#include <QWidget>

class TQRReport;

// A picture on a band: a bitmap, a recorded vector picture or an icon. The band prints
// it at the control's place: a vector picture always fills the control's rectangle, a
// bitmap does when Stretch is on and otherwise lays one of its pixels on each page
// unit, as an icon does.
class TQRImage : public QWidget, public TQRDesignBounds<TQRImage> {
    Q_OBJECT
public:
    enum TPictureKind { pkNone, pkBitmap, pkMetafile, pkIcon };

    explicit TQRImage(QWidget *parent = nullptr);

    TPictureKind PictureKind() const { return FKind; }
    void SetBitmap(const QImage &bitmap);
    void SetMetafile(const QPicture &picture);
    void SetIcon(const QIcon &icon);
    void ClearPicture();
    const QImage &Bitmap() const { return FBitmap; }

    bool Stretch() const { return FStretch; }
    void SetStretch(bool stretch);

    void Print(const TQRReport &report, int OX, int OY);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage IconImage() const;

    TPictureKind FKind = pkNone;
    QImage FBitmap;
    QPicture FMetafile;
    QIcon FIcon;
    bool FStretch = false;
};
