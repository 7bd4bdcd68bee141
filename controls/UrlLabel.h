#pragma once

#include <QColor>
#include <QCursor>
#include <QLabel>
#include <functional>
#include <optional>

class QMenu;

// A label that acts as a hyperlink: blue and underlined, with the hand cursor; it
// takes ActiveColor while the left button is held on it, and a click hands its URL
// (or, when that is blank, its caption) to the desktop shell. Its own context menu
// copies the caption.
class TUrlLabel : public QLabel {
    Q_OBJECT
public:
    explicit TUrlLabel(QWidget *parent = nullptr);

    QString URL() const { return FURL; }
    void SetURL(const QString &url) { FURL = url; }
    QColor ActiveColor() const { return FActiveColor; }
    void SetActiveColor(const QColor &color) { FActiveColor = color; }

    QString Caption() const { return text(); }
    void SetCaption(const QString &caption) { setText(caption); }
    // The text colour (the font colour of the layouts).
    QColor FontColor() const;
    void SetFontColor(const QColor &color);

    // The hint goes to the application's status line while the mouse is over the
    // label, and shows as a tooltip when ShowHint is set.
    QString Hint() const { return FHint; }
    void SetHint(const QString &hint);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool show);

    // The owned context menu with its one item "Copy".
    QMenu *PopupMenu() const { return FPopupMenu; }

    // What a mouse click does: OnClick, then the shell opens the target. Menu commands
    // call it on labels that are never shown.
    void Click();

    std::function<void(QObject *Sender)> OnClick;

    // The program's "HAND" cursor: 32 x 32, monochrome, hot spot at 5, 0.
    static QCursor HandCursor();
    // The number the hand cursor is registered under in the stored layouts.
    static constexpr int crHand = 5;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void CopyCaption();
    void UpdateToolTip();

    QString FURL;
    QColor FActiveColor{128, 0, 128};
    std::optional<QColor> FSavedColor;
    // Set by the second press of a double click, whose first click has already opened
    // the target: one gesture, one activation.
    bool FSecondClick = false;
    QString FHint;
    bool FShowHint = false;
    QMenu *FPopupMenu;
};
