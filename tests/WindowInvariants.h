#pragma once

// What every window of the program keeps, whatever its designed geometry: each caption fits
// its control, each child lies inside its parent, no text is covered by another control or
// another text, and the client area has the designed size. Checking these rules instead of
// restating coordinates catches what a user would see (a cut caption, a hidden word) and
// leaves a layout free to move.

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>

namespace WindowInvariants {

// A control that draws its own caption tells its text, how much of its width something
// else beside the text takes (a glyph, a mark) and, when it is not the contents rectangle,
// the room the text is drawn in.
struct Caption {
    QString Text;
    int Reserved = 0;
    QRect Room = {};
    Qt::Alignment Align = Qt::AlignCenter;
};
using CaptionOf = std::function<std::optional<Caption>(const QWidget &)>;

// One window of a table of windows: how to make it and its designed client size.
struct WindowRow {
    const char *Name;
    std::function<std::unique_ptr<QWidget>()> Make;
    QSize DesignedClient;
    // A fault the window is known to have, described for the skip that reports it.
    const char *KnownFault = nullptr;
};

// Failure messages name the row instead of dumping its bytes.
inline void PrintTo(const WindowRow &row, std::ostream *os)
{
    *os << row.Name;
}

// The area the window's content is laid out in: below the menu bar for a main window.
inline QSize ClientSize(const QWidget &window)
{
    if (const auto *main = qobject_cast<const QMainWindow *>(&window); main && main->centralWidget())
        return main->centralWidget()->size();
    return window.size();
}

// "&Open" shows "Open"; "&&" shows one "&".
inline QString Shown(const QString &text)
{
    QString shown;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        shown += text[i];
    }
    return shown;
}

namespace Detail {

// A control's text and where it is drawn, in the control's own coordinates.
struct Text {
    QString Shown;
    QRect Drawn;
    QRect Room;
};

inline std::optional<Text> TextOf(const QWidget &w, const CaptionOf &captionOf)
{
    const QFontMetrics fm = w.fontMetrics();
    const QRect room = w.contentsRect();
    if (const auto *label = qobject_cast<const QLabel *>(&w)) {
        if (label->text().trimmed().isEmpty() || !label->pixmap().isNull())
            return std::nullopt;
        // A label shows "&" literally unless it names a buddy.
        const QString shown = label->buddy() ? Shown(label->text()) : label->text();
        const Qt::Alignment align = QStyle::visualAlignment(label->layoutDirection(), label->alignment());
        if (label->wordWrap())
            return Text{shown, fm.boundingRect(room, int(align) | Qt::TextWordWrap, shown), room};
        // Blanks at either end carry no ink: they may run under a neighbour or out of the label.
        int lead = 0;
        while (lead < shown.size() && shown[lead].isSpace())
            ++lead;
        QRect drawn = QStyle::alignedRect(label->layoutDirection(), align,
                                          QSize(fm.horizontalAdvance(shown), fm.height()), room);
        drawn.setLeft(drawn.left() + fm.horizontalAdvance(shown.left(lead)));
        drawn.setWidth(fm.horizontalAdvance(shown.trimmed()));
        return Text{shown, drawn, room};
    }
    if (const auto *edit = qobject_cast<const QLineEdit *>(&w)) {
        if (edit->displayText().isEmpty())
            return std::nullopt;
        // Where the field draws its text: inside the frame and the text margins, less the two
        // pixels a line edit keeps at either side and the one above and below.
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.rect = edit->rect();
        option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit)
                                            : 0;
        const QRect inside = edit->style()
                                 ->subElementRect(QStyle::SE_LineEditContents, &option, edit)
                                 .marginsRemoved(edit->textMargins())
                                 .adjusted(2, 1, -2, -1);
        const QSize need(fm.horizontalAdvance(edit->displayText()), fm.height());
        return Text{edit->displayText(), QStyle::alignedRect(edit->layoutDirection(), edit->alignment(), need, inside),
                    inside};
    }
    QString caption;
    int reserved = 0;
    QRect captionRoom = room;
    Qt::Alignment captionAlign = Qt::AlignCenter;
    if (const auto *button = qobject_cast<const QAbstractButton *>(&w)) {
        caption = Shown(button->text());
        if (!button->icon().isNull())
            reserved = button->iconSize().width();
    } else if (const auto *group = qobject_cast<const QGroupBox *>(&w)) {
        caption = Shown(group->title());
    } else if (captionOf) {
        if (const std::optional<Caption> custom = captionOf(w)) {
            caption = custom->Text;
            reserved = custom->Reserved;
            if (custom->Room.isValid())
                captionRoom = custom->Room;
            captionAlign = custom->Align;
        }
    }
    if (caption.trimmed().isEmpty())
        return std::nullopt;
    const QSize need(fm.horizontalAdvance(caption.trimmed()) + reserved, fm.height());
    return Text{caption, QStyle::alignedRect(w.layoutDirection(), captionAlign, need, captionRoom), captionRoom};
}

// Whether above is painted over below: the later of two siblings is drawn on top, and a
// child on its parent.
inline bool PaintedOver(const QWidget *above, const QWidget *below)
{
    QList<const QWidget *> chain;
    for (const QWidget *w = below; w; w = w->isWindow() ? nullptr : w->parentWidget())
        chain.prepend(w);
    QList<const QWidget *> other;
    for (const QWidget *w = above; w; w = w->isWindow() ? nullptr : w->parentWidget())
        other.prepend(w);
    int i = 0;
    while (i < chain.size() && i < other.size() && chain[i] == other[i])
        ++i;
    if (i == chain.size())
        return true; // above lies inside below
    if (i == other.size())
        return false; // below lies inside above
    const QObjectList &siblings = chain[i]->parentWidget()->children();
    return siblings.indexOf(other[i]) > siblings.indexOf(chain[i]);
}

inline QString Name(const QWidget *w)
{
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
}

inline QString RectText(const QRect &r)
{
    return QStringLiteral("(%1,%2 %3x%4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// Inside a scroll area the content is meant to be larger than what shows.
inline bool InsideScrollArea(const QWidget *w, const QWidget &window)
{
    for (const QWidget *p = w->parentWidget(); p && p != &window; p = p->parentWidget()) {
        if (qobject_cast<const QAbstractScrollArea *>(p))
            return true;
    }
    return false;
}

// Where a control paints, in window coordinates: a label without a background of its own
// paints only its text or picture, every other control its whole rectangle.
inline QRect Painted(const QWidget &w, const QWidget &window, const CaptionOf &captionOf)
{
    const auto *label = qobject_cast<const QLabel *>(&w);
    if (!label || label->autoFillBackground() || !label->pixmap().isNull())
        return QRect(w.mapTo(&window, QPoint(0, 0)), w.size());
    const std::optional<Text> text = TextOf(w, captionOf);
    if (!text)
        return QRect();
    const QRect drawn = text->Drawn & w.rect();
    return QRect(w.mapTo(&window, drawn.topLeft()), drawn.size());
}

} // namespace Detail

// Every rule the shown window breaks, one readable line each; empty when it keeps them all.
inline QStringList LayoutFaults(const QWidget &window, const QSize &designedClient, const CaptionOf &captionOf = {})
{
    QStringList faults;
    if (ClientSize(window) != designedClient) {
        faults << QStringLiteral("client area %1x%2, designed %3x%4")
                      .arg(ClientSize(window).width())
                      .arg(ClientSize(window).height())
                      .arg(designedClient.width())
                      .arg(designedClient.height());
    }

    // The window itself carries a text when it is a control shown on its own.
    QList<const QWidget *> shown{&window};
    for (const QWidget *w : window.findChildren<QWidget *>()) {
        if (!w->isWindow() && w->isVisibleTo(&window) && !Detail::InsideScrollArea(w, window))
            shown << w;
    }

    struct Placed {
        const QWidget *Widget;
        QString Shown;
        QRect Drawn; // in window coordinates
    };
    QList<Placed> texts;
    for (const QWidget *w : shown) {
        if (w != &window && !w->parentWidget()->rect().contains(w->geometry()))
            faults << QStringLiteral("%1 %2 reaches out of %3 %4")
                          .arg(Detail::Name(w), Detail::RectText(w->geometry()), Detail::Name(w->parentWidget()),
                               Detail::RectText(w->parentWidget()->rect()));
        const std::optional<Detail::Text> text = Detail::TextOf(*w, captionOf);
        if (!text)
            continue;
        // Wrapped or not, the text's box lies within the room the control gives it.
        if (!text->Room.contains(text->Drawn))
            faults << QStringLiteral("%1 \"%2\" needs %3 and has %4")
                          .arg(Detail::Name(w), text->Shown, Detail::RectText(text->Drawn),
                               Detail::RectText(text->Room));
        // What runs past the control is cut off, not drawn over its neighbours.
        const QRect drawn = text->Drawn & w->rect();
        texts << Placed{w, text->Shown, QRect(w->mapTo(&window, drawn.topLeft()), drawn.size())};
    }

    for (const Placed &t : texts) {
        for (const QWidget *other : shown) {
            if (other == t.Widget || other->isAncestorOf(t.Widget) || !Detail::PaintedOver(other, t.Widget))
                continue;
            const QRect area = Detail::Painted(*other, window, captionOf);
            if (area.intersects(t.Drawn))
                faults << QStringLiteral("%1 covers the text of %2 \"%3\" at %4")
                              .arg(Detail::Name(other), Detail::Name(t.Widget), t.Shown,
                                   Detail::RectText(area & t.Drawn));
        }
    }
    return faults;
}

// Shows the window, waits until it is on screen and checks it there.
inline QStringList ShownLayoutFaults(QWidget &window, const QSize &designedClient, const CaptionOf &captionOf = {})
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return {QStringLiteral("the window never showed")};
    return LayoutFaults(window, designedClient, captionOf);
}

} // namespace WindowInvariants
