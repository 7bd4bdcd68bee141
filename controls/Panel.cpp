#include "controls/Panel.h"

#include <QEvent>
#include <QPainter>

void Frame3D(QPainter &painter, QRect &rect, const QColor &topColor, const QColor &bottomColor, int width)
{
    for (int i = 0; i < width && rect.width() > 0 && rect.height() > 0; ++i) {
        const int l = rect.left(), t = rect.top(), r = rect.right(), b = rect.bottom();
        painter.fillRect(QRect(l, t, 1, b - t + 1), topColor);
        painter.fillRect(QRect(l, t, r - l, 1), topColor);
        painter.fillRect(QRect(r, t, 1, b - t), bottomColor);
        painter.fillRect(QRect(l, b, r - l + 1, 1), bottomColor);
        rect.adjust(1, 1, -1, -1);
    }
}

TPanel::TPanel(QWidget *parent) : QWidget(parent) {}

void TPanel::SetBevelInner(TPanelBevel bevel)
{
    if (bevel == FBevelInner)
        return;
    FBevelInner = bevel;
    update();
}

void TPanel::SetBevelOuter(TPanelBevel bevel)
{
    if (bevel == FBevelOuter)
        return;
    FBevelOuter = bevel;
    update();
}

void TPanel::SetBevelWidth(int width)
{
    if (width < 1 || width == FBevelWidth)
        return;
    FBevelWidth = width;
    update();
}

void TPanel::SetBorderWidth(int width)
{
    if (width < 0 || width == FBorderWidth)
        return;
    FBorderWidth = width;
    update();
}

QColor TPanel::Color() const
{
    return FColor.isValid() ? FColor : palette().color(QPalette::Button);
}

void TPanel::SetColor(const QColor &color)
{
    FColor = color;
    FParentColor = false;
    update();
}

void TPanel::SetParentColor(bool parentColor)
{
    if (parentColor == FParentColor)
        return;
    FParentColor = parentColor;
    update();
}

void TPanel::SetCaption(const QString &caption)
{
    if (caption == FCaption)
        return;
    FCaption = caption;
    update();
}

void TPanel::SetAlignment(Qt::Alignment alignment)
{
    alignment &= Qt::AlignHorizontal_Mask;
    if (alignment == FAlignment)
        return;
    FAlignment = alignment;
    update();
}

void TPanel::SetAlign(TAlign align)
{
    FAlign = align;
    Dock();
}

QRect TPanel::InnerRect() const
{
    int inset = FBorderWidth;
    if (FBevelOuter != bvNone)
        inset += FBevelWidth;
    if (FBevelInner != bvNone)
        inset += FBevelWidth;
    return rect().adjusted(inset, inset, -inset, -inset);
}

void TPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QColor highlight = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Dark);
    auto bevel = [&](TPanelBevel kind, QRect &r) {
        if (kind == bvRaised)
            Frame3D(painter, r, highlight, shadow, FBevelWidth);
        else if (kind == bvLowered)
            Frame3D(painter, r, shadow, highlight, FBevelWidth);
    };

    QRect r = rect();
    bevel(FBevelOuter, r);
    if (FParentColor)
        r.adjust(FBorderWidth, FBorderWidth, -FBorderWidth, -FBorderWidth);
    else
        Frame3D(painter, r, Color(), Color(), FBorderWidth);
    bevel(FBevelInner, r);
    if (!FParentColor)
        painter.fillRect(r, Color());

    if (!FCaption.isEmpty()) {
        painter.setClipRect(r);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(r, int(FAlignment) | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextExpandTabs, FCaption);
    }
}

bool TPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FDockParent && event->type() == QEvent::Resize)
        Dock();
    return QWidget::eventFilter(watched, event);
}

bool TPanel::event(QEvent *event)
{
    if (event->type() == QEvent::ParentChange)
        Dock();
    return QWidget::event(event);
}

void TPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // A docked panel keeps to its edge when its own height changes.
    if (FAlign == alBottom && FDockParent && y() != FDockParent->height() - height())
        Dock();
}

void TPanel::Dock()
{
    QWidget *parent = FAlign == alNone ? nullptr : parentWidget();
    if (parent != FDockParent) {
        if (FDockParent)
            FDockParent->removeEventFilter(this);
        FDockParent = parent;
        if (FDockParent)
            FDockParent->installEventFilter(this);
    }
    if (!FDockParent)
        return;
    const int w = FDockParent->width();
    if (FAlign == alTop)
        setGeometry(0, 0, w, height());
    else
        setGeometry(0, FDockParent->height() - height(), w, height());
}
