#include "controls/CustomEdit.h"

#include "controls/CustomEditAccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QRegularExpression>

namespace {

constexpr char16_t CtrlA = 0x01;
constexpr char16_t CtrlC = 0x03;
constexpr char16_t BackspaceChar = 0x08;
constexpr char16_t CtrlV = 0x16;
constexpr char16_t CtrlX = 0x18;
constexpr char16_t CtrlZ = 0x1A;

bool IsNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown: return true;
    default: return false;
    }
}

} // namespace

TCustomEdit::TCustomEdit(QWidget *parent) : QLineEdit(parent)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(CustomEditAccessibleFactory);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    // QLineEdit would insert dropped text past KeyPress.
    setAcceptDrops(false);
    connect(this, &QLineEdit::textChanged, this, [this] { Change(); });
}

QColor TCustomEdit::Color() const
{
    return palette().color(QPalette::Base);
}

void TCustomEdit::SetColor(const QColor &color)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
    update();
}

int TCustomEdit::SelStart() const
{
    return hasSelectedText() ? selectionStart() : cursorPosition();
}

int TCustomEdit::SelLength() const
{
    return hasSelectedText() ? int(selectedText().size()) : 0;
}

void TCustomEdit::SetSelStart(int start)
{
    setCursorPosition(start);
}

void TCustomEdit::SetSelLength(int length)
{
    const int start = SelStart();
    if (length <= 0)
        setCursorPosition(start);
    else
        setSelection(start, length);
}

void TCustomEdit::CutToClipboard()
{
    if (isReadOnly() || !hasSelectedText())
        return;
    copy();
    del();
}

void TCustomEdit::CopyToClipboard()
{
    copy();
}

void TCustomEdit::PasteFromClipboard()
{
    if (isReadOnly())
        return;
    QString pasted = QApplication::clipboard()->text();
    // A single-line field takes the clipboard's first line, character by character as
    // if typed: the field's filter and its length limit see every one.
    const qsizetype lineEnd = pasted.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    if (lineEnd >= 0)
        pasted.truncate(lineEnd);
    TypeText(pasted);
}

void TCustomEdit::ClearSelection()
{
    if (!isReadOnly() && hasSelectedText())
        del();
}

void TCustomEdit::Undo()
{
    if (!isReadOnly())
        undo();
}

void TCustomEdit::TypeText(const QString &text)
{
    QPointer<TCustomEdit> self(this);
    for (QChar c : text) {
        if (!self)
            return;
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            continue;
        TypeCharacter(c);
    }
}

void TCustomEdit::Change()
{
    if (OnChange)
        OnChange(this);
}

void TCustomEdit::KeyDown(int &Key, Qt::KeyboardModifiers Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TCustomEdit::KeyUp(int &Key, Qt::KeyboardModifiers Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TCustomEdit::KeyPress(QChar &Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

void TCustomEdit::DefaultCharHandling(QChar Key)
{
    switch (Key.unicode()) {
    case BackspaceChar:
        if (!isReadOnly())
            backspace();
        return;
    case CtrlA: selectAll(); return;
    case CtrlC: CopyToClipboard(); return;
    case CtrlV: PasteFromClipboard(); return;
    case CtrlX: CutToClipboard(); return;
    case CtrlZ: Undo(); return;
    default: break;
    }
    if (Key.unicode() < 0x20 || Key.unicode() == 0x7F || isReadOnly())
        return;
    if (FMaxLength > 0 && text().size() - selectedText().size() + 1 > FMaxLength)
        return;
    insert(QString(Key));
}

void TCustomEdit::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TCustomEdit::DoExit()
{
    if (OnExit)
        OnExit(this);
}

void TCustomEdit::FocusEntered(Qt::FocusReason reason)
{
    if (FAutoSelect && reason != Qt::MouseFocusReason)
        selectAll();
    else if (!FAutoSelect && reason != Qt::MouseFocusReason)
        deselect(); // QLineEdit selects on Tab by itself
    DoEnter();
}

void TCustomEdit::FocusLeft(Qt::FocusReason)
{
    DoExit();
}

void TCustomEdit::ReturnFocus()
{
    FEntered = true;
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
}

QChar TCustomEdit::CharacterOf(const QKeyEvent *event) const
{
    const Qt::KeyboardModifiers mods = event->modifiers();
    const bool ctrl = mods & Qt::ControlModifier;
    const bool alt = mods & Qt::AltModifier;
    const int key = event->key();
    if (key == Qt::Key_Backspace && !ctrl && !alt)
        return QChar(BackspaceChar);
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !alt)
        return QChar(u'\r');
    if (key == Qt::Key_Escape)
        return QChar(0x1B);
    if (ctrl && !alt) {
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return QChar(char16_t(key - Qt::Key_A + 1));
        return QChar();
    }
    if (alt && !ctrl)
        return QChar();
    const QString text = event->text();
    if (text.isEmpty() || text.at(0).unicode() < 0x20 || text.at(0).unicode() == 0x7F)
        return QChar();
    return text.at(0);
}

void TCustomEdit::TypeCharacter(QChar key)
{
    QPointer<TCustomEdit> self(this);
    KeyPress(key);
    if (!self || key.isNull())
        return;
    DefaultCharHandling(key);
}

void TCustomEdit::keyPressEvent(QKeyEvent *event)
{
    QPointer<TCustomEdit> self(this);
    int key = event->key();
    KeyDown(key, event->modifiers());
    if (!self)
        return;
    if (key == 0) {
        event->accept();
        return;
    }
    const QChar ch = CharacterOf(event);
    if (ch == QChar(u'\r') || ch == QChar(0x1B)) {
        // The field has no use for them; after KeyPress they go on to the window,
        // which may treat them as its default and cancel keys.
        QChar k = ch;
        KeyPress(k);
        if (!self)
            return;
        if (k.isNull())
            event->accept();
        else
            event->ignore();
        return;
    }
    if (!ch.isNull()) {
        TypeCharacter(ch);
        event->accept();
        return;
    }
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (key == Qt::Key_Delete && (mods & Qt::ShiftModifier)) {
        CutToClipboard();
    } else if (key == Qt::Key_Delete) {
        if (!isReadOnly())
            del();
    } else if (key == Qt::Key_Insert && (mods & Qt::ShiftModifier)) {
        PasteFromClipboard();
    } else if (key == Qt::Key_Insert && (mods & Qt::ControlModifier)) {
        CopyToClipboard();
    } else if (IsNavigationKey(key)) {
        QLineEdit::keyPressEvent(event);
        return;
    } else {
        event->ignore();
        return;
    }
    event->accept();
}

void TCustomEdit::keyReleaseEvent(QKeyEvent *event)
{
    int key = event->key();
    KeyUp(key, event->modifiers());
    event->accept();
}

void TCustomEdit::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (FEntered)
        return;
    FEntered = true;
    FocusEntered(event->reason());
}

void TCustomEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
        return;
    if (!FEntered)
        return;
    FEntered = false;
    FocusLeft(reason);
}

void TCustomEdit::mousePressEvent(QMouseEvent *event)
{
    QPointer<TCustomEdit> self(this);
    if (OnMouseDown)
        OnMouseDown(this, event->button(), event->modifiers(), event->position().toPoint().x(),
                    event->position().toPoint().y());
    if (!self)
        return;
    FClicking = event->button() == Qt::LeftButton;
    if (event->button() != Qt::MiddleButton)
        QLineEdit::mousePressEvent(event);
}

void TCustomEdit::mouseReleaseEvent(QMouseEvent *event)
{
    QPointer<TCustomEdit> self(this);
    // The middle button would paste the selection past KeyPress.
    if (event->button() != Qt::MiddleButton)
        QLineEdit::mouseReleaseEvent(event);
    const bool clicked = FClicking && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    FClicking = false;
    if (OnMouseUp)
        OnMouseUp(this, event->button(), event->modifiers(), event->position().toPoint().x(),
                  event->position().toPoint().y());
    if (self && clicked && OnClick)
        OnClick(this);
}

void TCustomEdit::mouseMoveEvent(QMouseEvent *event)
{
    QPointer<TCustomEdit> self(this);
    if (OnMouseMove)
        OnMouseMove(this, event->modifiers(), event->position().toPoint().x(), event->position().toPoint().y());
    if (self)
        QLineEdit::mouseMoveEvent(event);
}

void TCustomEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    QLineEdit::mouseDoubleClickEvent(event);
    if (OnDblClick)
        OnDblClick(this);
}

void TCustomEdit::contextMenuEvent(QContextMenuEvent *event)
{
    // Our own menu, so that its commands reach the clipboard virtuals.
    QMenu menu(this);
    const bool editable = !isReadOnly();
    const bool selected = hasSelectedText();
    QAction *undoAction = menu.addAction(tr("&Undo"), this, [this] { Undo(); });
    undoAction->setEnabled(editable && isUndoAvailable());
    menu.addSeparator();
    menu.addAction(tr("Cu&t"), this, [this] { CutToClipboard(); })->setEnabled(editable && selected);
    menu.addAction(tr("&Copy"), this, [this] { CopyToClipboard(); })->setEnabled(selected);
    menu.addAction(tr("&Paste"), this, [this] { PasteFromClipboard(); })
        ->setEnabled(editable && !QApplication::clipboard()->text().isEmpty());
    menu.addAction(tr("&Delete"), this, [this] { ClearSelection(); })->setEnabled(editable && selected);
    menu.addSeparator();
    menu.addAction(tr("Select &All"), this, [this] { selectAll(); })->setEnabled(!text().isEmpty());
    menu.exec(event->globalPos());
}

void TCustomEdit::inputMethodEvent(QInputMethodEvent *event)
{
    // Composed characters are typed characters.
    const QString committed = event->commitString();
    QPointer<TCustomEdit> self(this);
    for (QChar c : committed) {
        if (!self)
            return;
        TypeCharacter(c);
    }
    event->accept();
}
