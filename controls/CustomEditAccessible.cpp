#include "controls/CustomEditAccessible.h"

#include "controls/CustomEdit.h"

#include <QFontMetrics>
#include <QPointer>

TCustomEditAccessible::TCustomEditAccessible(TCustomEdit *edit) : QAccessibleWidget(edit, QAccessible::EditableText) {}

TCustomEdit *TCustomEditAccessible::Edit() const
{
    return static_cast<TCustomEdit *>(widget());
}

void *TCustomEditAccessible::interface_cast(QAccessible::InterfaceType t)
{
    if (t == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    if (t == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface *>(this);
    return QAccessibleWidget::interface_cast(t);
}

QAccessible::State TCustomEditAccessible::state() const
{
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = Edit()->ReadOnly();
    s.editable = !s.readOnly;
    s.selectableText = true;
    return s;
}

QString TCustomEditAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return Edit()->text();
    return QAccessibleWidget::text(t);
}

void TCustomEditAccessible::setText(QAccessible::Text t, const QString &text)
{
    if (t != QAccessible::Value) {
        QAccessibleWidget::setText(t, text);
        return;
    }
    replaceText(0, Edit()->text().size(), text);
}

void TCustomEditAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0 || !Edit()->hasSelectedText())
        return;
    *startOffset = Edit()->selectionStart();
    *endOffset = Edit()->selectionEnd();
}

int TCustomEditAccessible::selectionCount() const
{
    return Edit()->hasSelectedText() ? 1 : 0;
}

void TCustomEditAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void TCustomEditAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        Edit()->deselect();
}

void TCustomEditAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex != 0)
        return;
    Edit()->setSelection(startOffset, endOffset - startOffset);
}

int TCustomEditAccessible::cursorPosition() const
{
    return Edit()->cursorPosition();
}

void TCustomEditAccessible::setCursorPosition(int position)
{
    Edit()->setCursorPosition(position);
}

QString TCustomEditAccessible::text(int startOffset, int endOffset) const
{
    if (startOffset > endOffset)
        return QString();
    return Edit()->text().mid(startOffset, endOffset - startOffset);
}

int TCustomEditAccessible::characterCount() const
{
    return int(Edit()->text().size());
}

QRect TCustomEditAccessible::characterRect(int offset) const
{
    const QString shown = Edit()->text();
    if (offset < 0 || offset >= shown.size())
        return QRect();
    const QFontMetrics metrics(Edit()->font());
    const QRect box = Edit()->contentsRect();
    const int textWidth = metrics.horizontalAdvance(shown);
    const Qt::Alignment align = Edit()->alignment();
    // QLineEdit keeps a two-pixel margin around its text.
    int left = box.left() + 2;
    if (align & Qt::AlignRight)
        left = box.right() - 2 - textWidth;
    else if (align & Qt::AlignHCenter)
        left = box.left() + (box.width() - textWidth) / 2;
    const int x = left + metrics.horizontalAdvance(shown.left(offset));
    const QRect local(x, box.top() + (box.height() - metrics.height()) / 2, metrics.horizontalAdvance(shown.at(offset)),
                      metrics.height());
    return QRect(Edit()->mapToGlobal(local.topLeft()), local.size());
}

int TCustomEditAccessible::offsetAtPoint(const QPoint &point) const
{
    return Edit()->cursorPositionAt(Edit()->mapFromGlobal(point));
}

void TCustomEditAccessible::scrollToSubstring(int startIndex, int)
{
    Edit()->setCursorPosition(startIndex);
}

QString TCustomEditAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = offset;
    return QString();
}

void TCustomEditAccessible::deleteText(int startOffset, int endOffset)
{
    TCustomEdit *edit = Edit();
    if (edit->ReadOnly() || endOffset <= startOffset)
        return;
    edit->setSelection(startOffset, endOffset - startOffset);
    edit->ClearSelection();
}

void TCustomEditAccessible::insertText(int offset, const QString &text)
{
    TCustomEdit *edit = Edit();
    if (edit->ReadOnly())
        return;
    edit->setCursorPosition(offset);
    edit->TypeText(text);
}

void TCustomEditAccessible::replaceText(int startOffset, int endOffset, const QString &text)
{
    TCustomEdit *edit = Edit();
    if (edit->ReadOnly())
        return;
    const QPointer<TCustomEdit> alive(edit);
    if (endOffset > startOffset) {
        edit->setSelection(startOffset, endOffset - startOffset);
        edit->ClearSelection();
    } else {
        edit->setCursorPosition(startOffset);
    }
    if (alive)
        edit->TypeText(text);
}

QAccessibleInterface *CustomEditAccessibleFactory(const QString &className, QObject *object)
{
    if (className == QLatin1String("TCustomEdit") && object && object->isWidgetType())
        return new TCustomEditAccessible(static_cast<TCustomEdit *>(object));
    return nullptr;
}
