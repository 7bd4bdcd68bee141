#include "controls/FnpNumericEdit.h"

#include "platform/core/Formatting.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPointer>

namespace {

constexpr char16_t BackspaceChar = 0x08;
constexpr char16_t EscapeChar = 0x1B;
constexpr char16_t CtrlC = 0x03;
constexpr char16_t CtrlV = 0x16;
constexpr char16_t CtrlX = 0x18;

bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

TFnpNumericEdit::TFnpNumericEdit(QWidget *parent) : TCustomEdit(parent)
{
    resize(73, height());
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ++FChangeSuppressed;
    setText(QStringLiteral("0.00").replace(QLatin1Char('.'), FormatSettings().DecimalSeparator));
    --FChangeSuppressed;
}

void TFnpNumericEdit::SetAlignment(TAlignment alignment)
{
    FAlignment = alignment;
    switch (alignment) {
    case taLeftJustify: setAlignment(Qt::AlignLeft | Qt::AlignVCenter); break;
    case taRightJustify: setAlignment(Qt::AlignRight | Qt::AlignVCenter); break;
    case taCenter: setAlignment(Qt::AlignHCenter | Qt::AlignVCenter); break;
    }
}

void TFnpNumericEdit::SetDecimals(int decimals)
{
    const double current = Value();
    FDecimals = qint8(std::clamp(decimals, 0, 9));
    FDisplayMask = FDecimals == 0 ? QStringLiteral("0") : QStringLiteral("0.") + QString(FDecimals, QLatin1Char('0'));
    ++FChangeSuppressed;
    setText(FormatFloat(FDisplayMask, current));
    --FChangeSuppressed;
}

double TFnpNumericEdit::Value() const
{
    return double(StrToFloat(text()));
}

void TFnpNumericEdit::SetValue(double value)
{
    const QString shown = FormatFloat(FDisplayMask, value);
    if (shown == text())
        return;
    if (FLoading)
        ++FChangeSuppressed;
    setText(shown);
    if (FLoading)
        --FChangeSuppressed;
}

bool TFnpNumericEdit::ValueInRange(double &value) const
{
    long double v = 0;
    if (!TextToFloat(text(), v))
        return false;
    value = double(v);
    return FMinValue <= value && value <= FMaxValue;
}

void TFnpNumericEdit::Change()
{
    QPointer<TFnpNumericEdit> self(this);
    if (FChangeSuppressed == 0)
        TCustomEdit::Change();
    double value = 0;
    // Text put there by code that is not a number is simply not in range.
    if (self && OnValidChange && ValueInRange(value))
        OnValidChange(this);
}

void TFnpNumericEdit::FocusLeft(Qt::FocusReason reason)
{
    QPointer<TFnpNumericEdit> self(this);
    const double value = Value();
    if (FMinValue != FMaxValue && (value < FMinValue || value > FMaxValue) && OnInvalidEntry) {
        OnInvalidEntry(this);
        if (!self)
            return;
    }
    TCustomEdit::FocusLeft(reason);
}

void TFnpNumericEdit::Replace(const QString &newText, int caret)
{
    if (newText != text())
        setText(newText);
    setCursorPosition(caret);
}

void TFnpNumericEdit::DeleteChar(TDeleteKind kind)
{
    const QString t = text();
    const int L = int(t.size());
    const int D = FDecimals;
    const int S = cursorPosition();
    const bool hasMinus = t.contains(QLatin1Char('-'));
    const int p = kind == dkBackspace ? S : S + 1;
    if (p == 0 || p == L + 1)
        return;
    auto without = [&](int position) { return QString(t).remove(position - 1, 1); };
    const QString tail = t.right(D + 1); // separator and decimals

    if (D == 0) {
        if (p == 2 && L == 2 && hasMinus)
            Replace(QStringLiteral("-0"), 1);
        else if (p == 1 && L == 1)
            Replace(QStringLiteral("0"), 1);
        else
            Replace(without(p), p - 1);
        return;
    }
    if (p > L - D)
        Replace(without(p) + QLatin1Char('0'), p - 1);
    else if (p == L - D)
        setCursorPosition(kind == dkDelete ? L - D : L - D - 1);
    else if (p == 2 && p == L - D - 1 && hasMinus)
        Replace(QStringLiteral("-0") + tail, 1);
    else if (p == 1 && p == L - D - 1)
        Replace(QStringLiteral("0") + tail, 1);
    else
        Replace(without(p), p - 1);
}

void TFnpNumericEdit::DeleteSelection()
{
    if (!hasSelectedText())
        return;
    const int n = int(selectedText().size());
    const int end = selectionEnd();
    setCursorPosition(end);
    ++FChangeSuppressed;
    for (int i = 0; i < n; ++i)
        DeleteChar(dkBackspace);
    --FChangeSuppressed;
}

void TFnpNumericEdit::KeyDown(int &Key, Qt::KeyboardModifiers Shift)
{
    QPointer<TFnpNumericEdit> self(this);
    TCustomEdit::KeyDown(Key, Shift);
    if (!self || Key != Qt::Key_Delete || ReadOnly())
        return;
    Key = 0;
    if (hasSelectedText()) {
        DeleteSelection();
        Change();
    } else {
        DeleteChar(dkDelete);
    }
}

void TFnpNumericEdit::KeyPress(QChar &Key)
{
    QPointer<TFnpNumericEdit> self(this);
    if (Key == QChar(u'\r') || Key == QChar(EscapeChar)) {
        // Handed to the window first, as its default or cancel key.
        if (QWidget *form = window(); form && form != this) {
            QKeyEvent dialogKey(QEvent::KeyPress, Key == QChar(u'\r') ? Qt::Key_Return : Qt::Key_Escape,
                                Qt::NoModifier);
            QCoreApplication::sendEvent(form, &dialogKey);
        }
        if (!self)
            return;
        if (Key == QChar(u'\r')) {
            Key = QChar();
            return;
        }
    }
    TCustomEdit::KeyPress(Key);
    if (!self || Key.isNull())
        return;
    if (!FilterCharacter(Key) && self)
        Key = QChar();
}

// Long by design: the filter's rules in the order they apply (selection, keys refused,
// separator, minus, Backspace, then the digit in the integer part or the decimals), each
// keeping the text a number with exactly Decimals decimals.
bool TFnpNumericEdit::FilterCharacter(QChar key)
{
    // The read-only edit ignores what it is given; the clipboard characters become
    // the clipboard requests below.
    if (ReadOnly())
        return true;
    if (key == QChar(CtrlC) || key == QChar(CtrlV) || key == QChar(CtrlX))
        return true;

    const QChar separator = FormatSettings().DecimalSeparator;
    const bool backspace = key == QChar(BackspaceChar);
    if (key == separator) {
        if (hasSelectedText())
            setCursorPosition(selectionStart());
    } else if (hasSelectedText()) {
        DeleteSelection();
        if (backspace)
            return false;
    }

    QString t = text();
    const int L = int(t.size());
    const int D = FDecimals;
    int S = cursorPosition();
    const bool hasMinus = t.contains(QLatin1Char('-'));
    const bool minus = key == QLatin1Char('-');

    if (!backspace && !minus && !IsDigit(key) && key != separator)
        return false;
    if (key == QLatin1Char('0') && S == 0)
        return false;
    if (key == separator && D == 0)
        return false;
    if (minus) {
        if (FMinValue < 0) {
            if (!hasMinus)
                Replace(QLatin1Char('-') + t, S + 1);
            else
                Replace(t.mid(1), std::max(S - 1, 0));
        }
        return false;
    }
    if (D > 0 && S == L && !backspace && key != separator)
        return false;
    if (key == separator) {
        setCursorPosition(L - D);
        return false;
    }
    if (hasMinus && S == 0) {
        S = 1;
        setCursorPosition(S);
    }
    if (backspace) {
        DeleteChar(dkBackspace);
        return false;
    }

    auto charAt = [&](int position) { return position >= 1 && position <= L ? t.at(position - 1) : QChar(); };
    if (D == 0) {
        if (S <= 2 && hasMinus && charAt(2) == QLatin1Char('0')) {
            Replace(QLatin1Char('-') + QString(key), 2);
            return false;
        }
        if (S <= 1 && charAt(1) == QLatin1Char('0')) {
            Replace(QString(key), 1);
            return false;
        }
        return true;
    }
    if (S <= 2 && hasMinus && charAt(2) == QLatin1Char('0')) {
        t[1] = key;
        Replace(t, 2);
        return false;
    }
    if (S <= 1 && charAt(1) == QLatin1Char('0')) {
        t[0] = key;
        Replace(t, 1);
        return false;
    }
    if (S >= L - D) {
        t[S] = key;
        Replace(t, S + 1);
        return false;
    }
    // In the integer part the edit inserts the digit at the caret.
    return true;
}

void TFnpNumericEdit::CutToClipboard()
{
    if (!hasSelectedText())
        return;
    copy();
    if (!ReadOnly())
        DeleteSelection();
}

void TFnpNumericEdit::PasteFromClipboard()
{
    if (ReadOnly())
        return;
    QPointer<TFnpNumericEdit> self(this);
    DeleteSelection();
    const QString pasted = QApplication::clipboard()->text();
    for (QChar c : pasted) {
        // Line breaks and other control characters in the clipboard are refused here:
        // pasting must not press the window's default button or paste again.
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            continue;
        QChar key = c;
        TCustomEdit::KeyPress(key);
        if (!self)
            return;
        if (key.isNull() || key.unicode() < 0x20)
            continue;
        const bool insert = FilterCharacter(key);
        if (!self)
            return;
        if (insert && key.unicode() >= 0x20)
            DefaultCharHandling(key);
    }
}

void TFnpNumericEdit::ClearSelection()
{
    if (ReadOnly() || !hasSelectedText())
        return;
    DeleteSelection();
    Change();
}

void TFnpNumericEdit::Undo()
{
    if (ReadOnly() || !isUndoAvailable())
        return;
    const QString before = text();
    const int caret = cursorPosition();
    ++FChangeSuppressed;
    undo();
    const bool number = IsNumberText(text());
    if (!number) {
        setText(before);
        setCursorPosition(caret);
    }
    --FChangeSuppressed;
    if (number && text() != before)
        Change();
}

bool TFnpNumericEdit::IsNumberText(const QString &candidate) const
{
    const QChar separator = FormatSettings().DecimalSeparator;
    qsizetype i = candidate.startsWith(QLatin1Char('-')) ? 1 : 0;
    const qsizetype integerStart = i;
    while (i < candidate.size() && IsDigit(candidate.at(i)))
        ++i;
    if (i == integerStart)
        return false;
    if (FDecimals == 0)
        return i == candidate.size();
    if (i >= candidate.size() || candidate.at(i) != separator)
        return false;
    ++i;
    if (candidate.size() - i != FDecimals)
        return false;
    for (; i < candidate.size(); ++i) {
        if (!IsDigit(candidate.at(i)))
            return false;
    }
    return true;
}
