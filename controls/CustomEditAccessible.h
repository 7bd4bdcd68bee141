#pragma once

#include <QAccessibleWidget>

class QObject;
class QString;
class TCustomEdit;

// What assistive technology sees of our edit fields: an editable text whose changes go
// the same way as the user's. Text set, inserted or replaced over the accessibility bus is
// typed through the field's character filter, and deletions go through its clipboard
// virtuals, so a field that keeps its text a number keeps it a number there too.
class TCustomEditAccessible : public QAccessibleWidget,
                              public QAccessibleTextInterface,
                              public QAccessibleEditableTextInterface {
public:
    explicit TCustomEditAccessible(TCustomEdit *edit);

    void *interface_cast(QAccessible::InterfaceType t) override;
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text t, const QString &text) override;

    // QAccessibleTextInterface
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override;
    int selectionCount() const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint &point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;
    QString attributes(int offset, int *startOffset, int *endOffset) const override;

    // QAccessibleEditableTextInterface
    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString &text) override;
    void replaceText(int startOffset, int endOffset, const QString &text) override;

private:
    TCustomEdit *Edit() const;
};

// Registered with QAccessible by the first edit made.
QAccessibleInterface *CustomEditAccessibleFactory(const QString &className, QObject *object);
