#pragma once

#include <QFlags>
#include <QRect>
#include <QSize>
#include <QString>

class QFontMetrics;

enum TBevelStyle { bsLowered, bsRaised };
enum TExplorerButtonLayout { blBitmapTop, blBitmapBottom, blBitmapLeft, blBitmapRight };
enum TExplorerButtonOption { boMonoDisplay = 0x1, boIconOnly = 0x2, boPopupMark = 0x4, boShowBevel = 0x8 };
Q_DECLARE_FLAGS(TExplorerButtonOptions, TExplorerButtonOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TExplorerButtonOptions)

// Where a flat toolbar button puts its image, its caption and its drop-down mark: the
// measuring, apart from the painting, which only reads the result. Positions are those
// of the button at rest; a pressed button draws them one pixel lower and further right.
struct TExplorerButtonGeometry {
    // What the measuring reads of the button.
    struct Input {
        QSize Size;
        // Qt::AlignLeft, Qt::AlignRight or Qt::AlignHCenter.
        Qt::Alignment Align = Qt::AlignHCenter;
        bool WordWrap = false;
        // The caption as set, accelerator marks included; ignored when IconOnly.
        QString Caption;
        bool IconOnly = false;
        // The image's size; empty when the button has none.
        QSize Image;
        // A drop-down mark is drawn beside the image or the caption.
        bool Mark = false;
        TExplorerButtonLayout Layout = blBitmapTop;
    };

    static TExplorerButtonGeometry Measure(const Input &in, const QFontMetrics &fm);

    int bx = 0, by = 0; // the image's top left
    int tx = 0, ty = 0; // the caption's top left
    int tw = 0, th = 0; // the caption's width (mark included without an image) and height
    int bh = 0;         // the image's height
    int f = 0;          // the width the caption is drawn into
    bool captionShown = false;
    bool markDue = false;
    QString text;  // the caption as drawn
    int flags = 0; // its Qt text flags
    QRect TextRect() const { return QRect(tx, ty, f, th); }

private:
    // Caption text, flags and size; returns the gap between image and caption.
    int MeasureCaption(const Input &in, const QFontMetrics &fm);
    void PlaceCaptionOnly(const Input &in);
    void PlaceAboveOrBelow(const Input &in, int bw, int gap);
    void PlaceBeside(const Input &in, int bw, int gap);
};
