#include "controls/ExplorerButtonGeometry.h"

#include <QFontMetrics>

namespace {

constexpr int MaxCaptionLength = 255;

} // namespace

TExplorerButtonGeometry TExplorerButtonGeometry::Measure(const Input &in, const QFontMetrics &fm)
{
    TExplorerButtonGeometry g;
    const int gap = g.MeasureCaption(in, fm);
    g.markDue = in.Mark;
    const int bw = in.Image.width() + (g.markDue ? 10 : 0);
    g.bh = in.Image.height();
    if (in.Image.isEmpty())
        g.PlaceCaptionOnly(in);
    else if (in.Layout == blBitmapTop || in.Layout == blBitmapBottom)
        g.PlaceAboveOrBelow(in, bw, gap);
    else
        g.PlaceBeside(in, bw, gap);
    const int W = in.Size.width();
    if (in.WordWrap && g.tx + g.f > W - 5)
        g.f = W - g.tx - 5;
    return g;
}

int TExplorerButtonGeometry::MeasureCaption(const Input &in, const QFontMetrics &fm)
{
    const int W = in.Size.width();
    flags = int(in.Align) | Qt::AlignTop | Qt::TextShowMnemonic | (in.WordWrap ? Qt::TextWordWrap : Qt::TextSingleLine);
    captionShown = !in.IconOnly && !in.Caption.isEmpty();
    if (!captionShown)
        return 0;
    text = in.Caption.left(MaxCaptionLength);
    if (in.WordWrap)
        text += QLatin1Char(' ');
    const QRect r = fm.boundingRect(QRect(0, 0, qMax(W - 4, 0), 0), flags, text);
    tw = qMin(r.width(), W - 4);
    th = r.height();
    return 2;
}

void TExplorerButtonGeometry::PlaceCaptionOnly(const Input &in)
{
    const int W = in.Size.width(), H = in.Size.height();
    f = tw;
    if (markDue) {
        f = qMin(W - 14, tw);
        tw += 10;
    }
    ty = (H - th) / 2;
    tx = in.Align == Qt::AlignLeft ? 3 : in.Align == Qt::AlignRight ? W - tw - 3 : (W - tw) / 2;
}

void TExplorerButtonGeometry::PlaceAboveOrBelow(const Input &in, int bw, int gap)
{
    const int W = in.Size.width(), H = in.Size.height();
    if (in.Layout == blBitmapTop) {
        by = (H - th - bh - gap) / 2;
        ty = by + bh + gap;
    } else {
        ty = (H - th - bh - gap) / 2;
        by = ty + th + gap;
    }
    if (in.Align == Qt::AlignLeft) {
        bx = 3;
        tx = 3;
    } else if (in.Align == Qt::AlignRight) {
        bx = W - bw - 3;
        tx = W - tw - 3;
    } else {
        bx = (W - bw) / 2;
        tx = (W - tw) / 2;
    }
    f = tw;
}

void TExplorerButtonGeometry::PlaceBeside(const Input &in, int bw, int gap)
{
    const int W = in.Size.width(), H = in.Size.height();
    if (W - 4 < tw + bw + gap)
        tw = W - gap - bw - 4;
    by = (H - bh) / 2;
    ty = (H - th) / 2;
    f = tw;
    if (in.Layout == blBitmapLeft) {
        if (in.Align == Qt::AlignLeft) {
            bx = 3;
            tx = bw + gap + 3;
        } else if (in.Align == Qt::AlignRight) {
            tx = W - tw - 3;
            bx = tx - bw - gap;
        } else {
            bx = (W - tw - bw - gap) / 2;
            tx = bx + bw + gap;
        }
    } else {
        if (in.Align == Qt::AlignLeft) {
            tx = 3;
            bx = tw + 3 + gap;
        } else if (in.Align == Qt::AlignRight) {
            bx = W - bw - 3;
            tx = bx - tw - gap;
        } else {
            tx = (W - tw - bw - gap) / 2;
            bx = tx + tw + gap;
        }
    }
}
