#include "controls/UrlLabel.h"

#include "platform/gui/Shell.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QPointer>

namespace {

// The hand cursor's picture, compiled in. Read from an array it needs none of the image
// format plugins that reading an image file looks up first, which cost the calculator a
// sixth of its start-up time.
#include "resources/cursors/hand.xpm"

bool HasNonBlank(const QString &text)
{
    for (QChar c : text)
        if (c != QLatin1Char(' '))
            return true;
    return false;
}

} // namespace

TUrlLabel::TUrlLabel(QWidget *parent) : QLabel(parent), FPopupMenu(new QMenu(this))
{
    setTextFormat(Qt::PlainText);
    SetFontColor(QColor(0, 0, 255));
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setCursor(HandCursor());

    QAction *copy = FPopupMenu->addAction(tr("Copy"));
    connect(copy, &QAction::triggered, this, &TUrlLabel::CopyCaption);
}

QCursor TUrlLabel::HandCursor()
{
    static const QCursor cursor = [] {
        const QPixmap image(hand);
        return image.isNull() ? QCursor(Qt::PointingHandCursor) : QCursor(image, 5, 0);
    }();
    return cursor;
}

QColor TUrlLabel::FontColor() const
{
    return palette().color(QPalette::WindowText);
}

void TUrlLabel::SetFontColor(const QColor &color)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, color);
    setPalette(p);
}

void TUrlLabel::SetHint(const QString &hint)
{
    FHint = hint;
    setStatusTip(hint);
    UpdateToolTip();
}

void TUrlLabel::SetShowHint(bool show)
{
    FShowHint = show;
    UpdateToolTip();
}

void TUrlLabel::UpdateToolTip()
{
    setToolTip(FShowHint ? FHint : QString());
}

void TUrlLabel::Click()
{
    QPointer<TUrlLabel> self(this);
    if (OnClick)
        OnClick(this);
    if (!self)
        return;
    const QString target = HasNonBlank(FURL) ? FURL : text();
    if (HasNonBlank(target)) {
        // Nothing to tell the user when no program takes the address.
        Shell::Execute(nullptr, QStringLiteral("open"), target, QString(), QString(), Shell::SW_SHOWNORMAL);
    }
}

void TUrlLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event);
        return;
    }
    FSavedColor = FontColor();
    SetFontColor(FActiveColor);
    event->accept();
}

void TUrlLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !FSavedColor) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    SetFontColor(*FSavedColor);
    FSavedColor.reset();
    event->accept();
    const bool secondClick = FSecondClick;
    FSecondClick = false;
    if (!secondClick && rect().contains(event->position().toPoint()))
        Click();
}

void TUrlLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QLabel::mouseDoubleClickEvent(event);
        return;
    }
    if (!FSavedColor) {
        FSavedColor = FontColor();
        SetFontColor(FActiveColor);
    }
    FSecondClick = true;
    event->accept();
}

void TUrlLabel::contextMenuEvent(QContextMenuEvent *event)
{
    FPopupMenu->popup(event->globalPos());
    event->accept();
}

void TUrlLabel::CopyCaption()
{
    QGuiApplication::clipboard()->setText(text());
}
