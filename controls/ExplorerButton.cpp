#include "controls/ExplorerButton.h"

#include "controls/ExplorerButtonAccessible.h"
#include "controls/ExplorerButtonImages.h"

#include <QAccessible>
#include <QApplication>
#include <QBuffer>
#include <QContextMenuEvent>
#include <QCursor>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>

namespace {

// Text is cut with a trailing ellipsis where it does not fit: every desktop this runs
// on can do that.
constexpr bool EllipsisText = true;

} // namespace

TExplorerButton::TExplorerButton(QWidget *parent) : QWidget(parent), FShortcut(new QShortcut(this))
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(ExplorerButtonAccessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    setFocusPolicy(Qt::NoFocus);
    resize(50, 40);
    FShortcut->setContext(Qt::WindowShortcut);
    FShortcut->setAutoRepeat(false);
    connect(FShortcut, &QShortcut::activated, this, &TExplorerButton::PerformAccelerator);
}

TExplorerButton::~TExplorerButton() = default;

QString TExplorerButton::StripAccelerator(const QString &caption)
{
    QString result;
    result.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption.at(i + 1) == QLatin1Char('&')) {
                result += QLatin1Char('&');
                ++i;
            }
            continue;
        }
        result += caption.at(i);
    }
    return result;
}

QImage TExplorerButton::MonoImage(const QImage &bitmap, TExplorerButtonShadingType shadingType, const QColor &highlight,
                                  const QColor &shadow)
{
    return ExplorerButtonImages::Mono(bitmap, shadingType, highlight, shadow);
}

void TExplorerButton::SetAlignment(TAlignment alignment)
{
    SetLook(FAlignment, alignment);
}

void TExplorerButton::SetAllowAllUp(bool allow)
{
    FAllowAllUp = allow;
    if (FGroupIndex != 0)
        for (TExplorerButton *sibling : GroupSiblings())
            sibling->FAllowAllUp = allow;
    update();
}

void TExplorerButton::SetBevelStyle(TBevelStyle style)
{
    SetLook(FBevelStyle, style);
}

void TExplorerButton::SetBitmap(const QImage &bitmap)
{
    FBitmap = bitmap;
    FTransparentCache.clear();
    RegenerateIBitmap();
    update();
}

void TExplorerButton::SetNoFocusBitmap(const QImage &bitmap)
{
    FNoFocusBitmap = bitmap;
    FTransparentCache.clear();
    RegenerateIBitmap();
    update();
}

void TExplorerButton::SetDisabledBitmap(const QImage &bitmap)
{
    FDisabledBitmap = bitmap;
    FTransparentCache.clear();
    if (!FEnabled)
        update();
}

void TExplorerButton::SetIBitmap(const QImage &bitmap)
{
    FIBitmap = bitmap;
    FTransparentCache.clear();
    update();
}

QByteArray TExplorerButton::IBitmapData() const
{
    if (FIBitmap.isNull())
        return QByteArray();
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    FIBitmap.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP");
    return data;
}

bool TExplorerButton::SetIBitmapData(const QByteArray &data)
{
    if (!data.startsWith("BM"))
        return false;
    QImage image;
    if (!image.loadFromData(data, "BMP"))
        return false;
    SetIBitmap(image);
    return true;
}

// Buttons made by code get the mono image the layout designer would have stored.
void TExplorerButton::RegenerateIBitmap()
{
    if (!FNoFocusBitmap.isNull())
        return;
    FIBitmap = MonoImage(FBitmap, FShadingType, palette().color(QPalette::Light), palette().color(QPalette::Dark));
    FTransparentCache.clear();
}

// The images are drawn often and change seldom: keep their transparent forms.
const QImage &TExplorerButton::Transparent(const QImage &image) const
{
    auto it = FTransparentCache.find(image.cacheKey());
    if (it == FTransparentCache.end())
        it = FTransparentCache.insert(image.cacheKey(), ExplorerButtonImages::Transparent(image));
    return it.value();
}

void TExplorerButton::SetCaption(const QString &caption)
{
    FCaption = caption;
    UpdateShortcut();
    if (FOptions & boIconOnly) {
        SetHint(StripAccelerator(caption));
        return;
    }
    update();
}

void TExplorerButton::UpdateShortcut()
{
    FShortcut->setKey(QKeySequence::mnemonic(FCaption));
}

void TExplorerButton::SetGroupIndex(int groupIndex)
{
    if (groupIndex == FGroupIndex)
        return;
    FGroupIndex = groupIndex;
    if (groupIndex == 0 && FDown) {
        FDown = false;
        update();
        NotifyAccessibleState();
    }
}

void TExplorerButton::SetDown(bool down)
{
    if (down == FDown || FGroupIndex == 0)
        return;
    FDown = down;
    update();
    NotifyAccessibleState();
    if (down) {
        for (TExplorerButton *sibling : GroupSiblings()) {
            if (sibling->FDown) {
                sibling->FDown = false;
                sibling->update();
                sibling->NotifyAccessibleState();
            }
        }
    }
}

QList<TExplorerButton *> TExplorerButton::GroupSiblings() const
{
    QList<TExplorerButton *> result;
    if (!parentWidget())
        return result;
    for (TExplorerButton *b : parentWidget()->findChildren<TExplorerButton *>(Qt::FindDirectChildrenOnly))
        if (b != this && b->FGroupIndex == FGroupIndex)
            result.append(b);
    return result;
}

void TExplorerButton::SetDropDownMenu(QMenu *menu)
{
    FDropDownMenu = menu;
    if (FOptions & boPopupMark)
        update();
}

void TExplorerButton::SetEnabled(bool enabled)
{
    if (enabled == FEnabled)
        return;
    FEnabled = enabled;
    FPressed = false;
    FMouseInside = false;
    update();
    NotifyAccessibleState();
}

void TExplorerButton::SetLayout(TExplorerButtonLayout layout)
{
    SetLook(FLayout, layout);
}

void TExplorerButton::SetOptions(TExplorerButtonOptions options)
{
    FOptions = options;
    const QString plainCaption = StripAccelerator(FCaption);
    if ((options & boIconOnly) && FHint.isEmpty()) {
        FHint = plainCaption;
        FShowHint = true;
    } else if (!(options & boIconOnly) && FHint == plainCaption) {
        FHint.clear();
        FShowHint = false;
    }
    setStatusTip(FHint);
    UpdateToolTip();
    update();
}

void TExplorerButton::SetShadingType(TExplorerButtonShadingType shadingType)
{
    if (shadingType == FShadingType)
        return;
    FShadingType = shadingType;
    if (!FBitmap.isNull() && FNoFocusBitmap.isNull()) {
        RegenerateIBitmap();
        update();
    }
}

void TExplorerButton::SetShowDownPattern(bool show)
{
    SetLook(FShowDownPattern, show);
}

QColor TExplorerButton::UnselectedFontColor() const
{
    return FUnselectedFontColor.isValid() ? FUnselectedFontColor : palette().color(QPalette::WindowText);
}

void TExplorerButton::SetUnselectedFontColor(const QColor &color)
{
    SetLook(FUnselectedFontColor, color);
}

void TExplorerButton::SetWordWrap(bool wordWrap)
{
    SetLook(FWordWrap, wordWrap);
}

QColor TExplorerButton::FontColor() const
{
    return FFontColor.isValid() ? FFontColor : palette().color(QPalette::WindowText);
}

void TExplorerButton::SetFontColor(const QColor &color)
{
    SetLook(FFontColor, color);
}

void TExplorerButton::SetHint(const QString &hint)
{
    FHint = hint;
    setStatusTip(hint);
    UpdateToolTip();
}

void TExplorerButton::SetShowHint(bool show)
{
    FShowHint = show;
    UpdateToolTip();
}

void TExplorerButton::UpdateToolTip()
{
    setToolTip(FShowHint ? FHint : QString());
}

QString TExplorerButton::AccessibleText() const
{
    if (!accessibleName().isEmpty())
        return accessibleName();
    const QString caption = StripAccelerator(FCaption).trimmed();
    if (!caption.isEmpty() && !(FOptions & boIconOnly))
        return caption;
    return FHint.trimmed();
}

void TExplorerButton::NotifyAccessibleState()
{
    if (!QAccessible::isActive())
        return;
    QAccessible::State changed;
    changed.disabled = true;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
}

void TExplorerButton::Click()
{
    if (OnClick)
        OnClick(this);
}

TExplorerButtonGeometry TExplorerButton::Measure() const
{
    TExplorerButtonGeometry::Input in;
    in.Size = size();
    in.Align = FAlignment == taLeftJustify    ? Qt::AlignLeft
               : FAlignment == taRightJustify ? Qt::AlignRight
                                              : Qt::AlignHCenter;
    in.WordWrap = FWordWrap;
    in.Caption = FCaption;
    in.IconOnly = FOptions.testFlag(boIconOnly);
    in.Image = FBitmap.size();
    in.Mark = (FOptions & boPopupMark) && FDropDownMenu;
    in.Layout = FLayout;
    return TExplorerButtonGeometry::Measure(in, QFontMetrics(font()));
}

void TExplorerButton::DrawBevel(QPainter &painter, bool sunken) const
{
    if (!(FOptions & boShowBevel))
        return;
    const QColor highlight = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Dark);
    // Raised with bsRaised, or sunken with bsLowered, puts the highlight top-left.
    const bool highlightFirst = sunken == (FBevelStyle == bsLowered);
    const QColor first = highlightFirst ? highlight : shadow;
    const QColor second = highlightFirst ? shadow : highlight;
    const int W = width(), H = height();
    // Traced from the bottom-left corner up, across and round again, each stroke
    // stopping one pixel short of its end point.
    painter.fillRect(QRect(0, 1, 1, H - 1), first);
    painter.fillRect(QRect(0, 0, W - 1, 1), first);
    painter.fillRect(QRect(W - 1, 0, 1, H - 1), second);
    painter.fillRect(QRect(1, H - 1, W - 1, 1), second);
}

void TExplorerButton::DrawCaption(QPainter &painter, const TExplorerButtonGeometry &g, const QRect &rect,
                                  const QColor &color) const
{
    QString text = g.text;
    if (EllipsisText && !FWordWrap)
        text = QFontMetrics(font()).elidedText(text, Qt::ElideRight, qMax(rect.width(), 0), Qt::TextShowMnemonic);
    painter.save();
    painter.setClipRect(rect);
    painter.setPen(color);
    painter.drawText(rect, g.flags, text);
    painter.restore();
}

void TExplorerButton::DrawMark(QPainter &painter, int x, int y, const QColor &color) const
{
    painter.fillRect(QRect(x, y - 1, 7, 1), color);
    painter.fillRect(QRect(x + 1, y, 5, 1), color);
    painter.fillRect(QRect(x + 2, y + 1, 3, 1), color);
    painter.fillRect(QRect(x + 3, y + 2, 1, 1), color);
}

void TExplorerButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (FDown && FShowDownPattern) {
        painter.setBrushOrigin(0, 0);
        painter.fillRect(rect(), QBrush(ExplorerButtonImages::DownPattern(palette().color(QPalette::Button),
                                                                          palette().color(QPalette::Light))));
    }
    painter.setFont(font());

    const TExplorerButtonGeometry g = Measure();
    if (FEnabled && ((FPressed && FMouseInside) || FDown))
        PaintSunken(painter, g);
    else if (FEnabled)
        PaintEnabled(painter, g);
    else
        PaintDisabled(painter, g);
}

void TExplorerButton::PaintSunken(QPainter &painter, const TExplorerButtonGeometry &g)
{
    QRect textRect = g.TextRect();
    const bool hasImage = !FBitmap.isNull();
    DrawBevel(painter, true);
    if (FBevelStyle == bsRaised)
        textRect.translate(1, 1);
    const QColor color = FontColor();
    if (g.captionShown)
        DrawCaption(painter, g, textRect, color);
    if (hasImage)
        painter.drawImage(g.bx + 1, g.by + 1, Transparent(FBitmap));
    if (g.markDue) {
        if (hasImage)
            DrawMark(painter, FBitmap.width() + g.bx + 4, g.bh / 2 + g.by + 1, color);
        else
            DrawMark(painter, g.tx + g.f + 4, g.th / 2 + g.ty + 1, color);
    }
}

void TExplorerButton::PaintEnabled(QPainter &painter, const TExplorerButtonGeometry &g)
{
    QRect textRect = g.TextRect();
    const bool hasImage = !FBitmap.isNull();
    QColor color = FontColor();
    if (FMouseInside)
        DrawBevel(painter, false);
    else
        color = UnselectedFontColor();
    if (FBevelStyle == bsLowered)
        textRect.translate(1, 1);
    if (g.captionShown)
        DrawCaption(painter, g, textRect, color);
    if (hasImage) {
        const QImage *image = &FBitmap;
        if ((FOptions & boMonoDisplay) && !FMouseInside) {
            if (!FNoFocusBitmap.isNull())
                image = &FNoFocusBitmap;
            else if (!FIBitmap.isNull())
                image = &FIBitmap;
        }
        painter.drawImage(g.bx, g.by, Transparent(*image));
    }
    if (g.markDue) {
        if (hasImage)
            DrawMark(painter, FBitmap.width() + g.bx + 3, g.bh / 2 + g.by, color);
        else
            DrawMark(painter, g.tx + g.f + 3, g.th / 2 + g.ty, color);
    }
}

void TExplorerButton::PaintDisabled(QPainter &painter, const TExplorerButtonGeometry &g)
{
    const QColor highlight = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Dark);
    const QRect textRect = g.TextRect();
    if (FDown)
        DrawBevel(painter, true);
    if (!FDisabledBitmap.isNull()) {
        painter.drawImage(g.bx, g.by, Transparent(FDisabledBitmap));
    } else if (!FBitmap.isNull()) {
        painter.drawImage(g.bx + 1, g.by + 1, ExplorerButtonImages::Silhouette(FBitmap, highlight));
        painter.drawImage(g.bx, g.by, ExplorerButtonImages::Silhouette(FBitmap, shadow));
    }
    if (g.captionShown) {
        DrawCaption(painter, g, textRect.translated(1, 1), highlight);
        DrawCaption(painter, g, textRect, shadow);
    }
}

bool TExplorerButton::CursorInside() const
{
    return rect().contains(mapFromGlobal(QCursor::pos()));
}

void TExplorerButton::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    // A running menu takes the mouse; the state is settled when it closes.
    if (FMenuRunning)
        return;
    FMouseInside = true;
    if (!FDown && FEnabled)
        update();
    if (OnEnter)
        OnEnter(this);
}

void TExplorerButton::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (FMenuRunning)
        return;
    FMouseInside = false;
    if (!FDown && FEnabled)
        update();
    if (OnExit)
        OnExit(this);
}

void TExplorerButton::LeftButtonDown()
{
    QPointer<TExplorerButton> self(this);
    QWidget *form = window();
    if (form && form != QApplication::activeWindow()) {
        form->raise();
        form->activateWindow();
    }
    if (!FEnabled || !isVisible())
        return;
    FPressed = true;
    FMouseInside = true;
    repaint();
    if (!FDropDownMenu)
        return;

    QMenu *menu = FDropDownMenu;
    FMenuRunning = true;
    menu->exec(mapToGlobal(QPoint(0, height())));
    if (!self)
        return;
    FMenuRunning = false;
    // The menu's loop took the release; whatever the mouse did meanwhile belongs to it.
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
    FMouseInside = CursorInside();
    FPressed = false;
    repaint();
}

void TExplorerButton::LeftButtonUp(bool cursorInside)
{
    if (!FEnabled || !isVisible() || !FPressed)
        return;
    FPressed = false;
    if (FMouseInside && FGroupIndex != 0) {
        if (!FDown) {
            for (TExplorerButton *sibling : GroupSiblings()) {
                if (sibling->FDown) {
                    sibling->FDown = false;
                    sibling->update();
                    sibling->NotifyAccessibleState();
                }
            }
            FDown = true;
            NotifyAccessibleState();
        } else if (FAllowAllUp) {
            FDown = false;
            NotifyAccessibleState();
        }
    }
    if (FMouseInside) {
        FMouseInside = cursorInside;
        update();
        if (!FDropDownMenu)
            Click();
    } else {
        update();
    }
}

void TExplorerButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    LeftButtonDown();
}

void TExplorerButton::mouseMoveEvent(QMouseEvent *event)
{
    // While the button is held the mouse stays ours: follow it in and out so that
    // a press dragged off looks idle and gives no click.
    if (FPressed) {
        const bool inside = rect().contains(event->position().toPoint());
        if (inside != FMouseInside) {
            FMouseInside = inside;
            update();
        }
    }
    QWidget::mouseMoveEvent(event);
}

void TExplorerButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    const bool inside = rect().contains(event->position().toPoint());
    if (FPressed)
        FMouseInside = FMouseInside && inside;
    LeftButtonUp(inside);
}

void TExplorerButton::contextMenuEvent(QContextMenuEvent *event)
{
    if (!FPopupMenu) {
        event->ignore();
        return;
    }
    QPointer<TExplorerButton> self(this);
    FMenuRunning = true;
    FPopupMenu->exec(event->globalPos());
    if (!self)
        return;
    FMenuRunning = false;
    if (QWidget::mouseGrabber() == this)
        releaseMouse();
    FMouseInside = CursorInside();
    FPressed = false;
    repaint();
}

void TExplorerButton::PerformAccelerator()
{
    if (!FEnabled || !isVisible())
        return;
    QPointer<TExplorerButton> self(this);
    FMouseInside = true;
    FPressed = false;
    repaint();
    QCoreApplication::processEvents();
    if (!self)
        return;
    LeftButtonDown();
    if (!self)
        return;
    QCoreApplication::processEvents();
    if (!self)
        return;
    LeftButtonUp(CursorInside());
    if (!self)
        return;
    QCoreApplication::processEvents();
    if (!self)
        return;
    if (!CursorInside()) {
        FMouseInside = false;
        repaint();
    }
}
