#pragma once

#include <QColor>
#include <QLineEdit>

#include <functional>

// The single-line edit field the program's numeric controls are built on, with the
// behaviour of the platform edit they were designed against rather than QLineEdit's:
// - every typed character becomes one character message that KeyPress may change or
//   swallow before the edit inserts it; Ctrl+C, Ctrl+V and Ctrl+X arrive as the
//   characters 3, 22 and 24 and only then become clipboard requests;
// - MaxLength 0 means no limit, and a limit stops typing and pasting, never text set
//   by code;
// - focus entry and exit are the moves of the keyboard focus between controls: a
//   window losing activation or a popup menu opening is neither;
// - AutoSelect selects the whole text on every entry that does not come from a
//   mouse click.
// Text can only change through KeyPress, the clipboard virtuals and code: drops,
// middle-button pastes and input-method commits go through the same paths.
class TCustomEdit : public QLineEdit {
    Q_OBJECT
public:
    // Nested, as the report engine has an alignment type of the same shape at namespace
    // level and one window includes both.
    enum TAlignment { taLeftJustify, taRightJustify, taCenter };
    enum TBorderStyle { bsNone, bsSingle };

    using TNotifyEvent = std::function<void(QObject *Sender)>;
    using TKeyEvent = std::function<void(QObject *Sender, int &Key, Qt::KeyboardModifiers Shift)>;
    using TKeyPressEvent = std::function<void(QObject *Sender, QChar &Key)>;
    using TMouseEvent =
        std::function<void(QObject *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)>;
    using TMouseMoveEvent = std::function<void(QObject *Sender, Qt::KeyboardModifiers Shift, int X, int Y)>;

    explicit TCustomEdit(QWidget *parent = nullptr);

    QString Text() const { return text(); }
    void SetText(const QString &text) { setText(text); }

    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int maxLength) { FMaxLength = maxLength < 0 ? 0 : maxLength; }

    bool AutoSelect() const { return FAutoSelect; }
    void SetAutoSelect(bool autoSelect) { FAutoSelect = autoSelect; }

    bool ReadOnly() const { return isReadOnly(); }
    void SetReadOnly(bool readOnly) { setReadOnly(readOnly); }

    QColor Color() const;
    void SetColor(const QColor &color);

    TBorderStyle BorderStyle() const { return hasFrame() ? bsSingle : bsNone; }
    void SetBorderStyle(TBorderStyle style) { setFrame(style == bsSingle); }

    int SelStart() const;
    int SelLength() const;
    void SetSelStart(int start);
    void SetSelLength(int length);
    void SelectAll() { selectAll(); }

    virtual void CutToClipboard();
    virtual void CopyToClipboard();
    virtual void PasteFromClipboard();
    virtual void ClearSelection();
    virtual void Undo();
    // Feeds each printable character of text through KeyPress as if typed; control
    // characters are left out, so text from outside never presses the window's keys.
    void TypeText(const QString &text);

    TNotifyEvent OnChange;
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

protected:
    // Raised for every change of the text, typed or set by code.
    virtual void Change();
    // Key is a Qt key code; setting it to 0 ends the key's handling.
    virtual void KeyDown(int &Key, Qt::KeyboardModifiers Shift);
    virtual void KeyUp(int &Key, Qt::KeyboardModifiers Shift);
    // A character; a null Key is consumed and goes no further.
    virtual void KeyPress(QChar &Key);
    // What the edit itself does with a character nobody consumed.
    void DefaultCharHandling(QChar Key);

    virtual void DoEnter();
    virtual void DoExit();
    // Focus moved here from another control, or this window got its first focus.
    virtual void FocusEntered(Qt::FocusReason reason);
    // Focus moved from here to another control.
    virtual void FocusLeft(Qt::FocusReason reason);
    // Takes the focus back during FocusLeft without a second entry.
    void ReturnFocus();
    bool Entered() const { return FEntered; }

    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    QChar CharacterOf(const QKeyEvent *event) const;
    void TypeCharacter(QChar key);

    int FMaxLength = 0;
    bool FAutoSelect = true;
    bool FEntered = false;
    bool FClicking = false;
};
