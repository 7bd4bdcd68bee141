#include "controls/NumCtrl.h"

#include "platform/core/Formatting.h"
#include "platform/gui/MessageBox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPointer>
#include <QScopeGuard>
#include <QStyleOptionFrame>

#include <cfenv>
#include <cmath>

namespace {

const QString DigitChars = QStringLiteral("0123456789");

// v x factor rounded (half to even) or truncated to a whole number through a 32-bit
// signed integer; false when it does not fit one.
bool ScaleToWhole(long double scaled, bool useRounding, long double &whole)
{
    const long double r = useRounding ? std::nearbyint(scaled) : std::trunc(scaled);
    if (!(std::fabs(r) <= 2147483647.0L))
        return false;
    whole = r;
    return true;
}

long double PowerOfTen(int n)
{
    long double f = 1;
    for (int i = 0; i < n; ++i)
        f *= 10;
    return f;
}

} // namespace

QString FilterNumberText(const QString &text, const QString &set)
{
    if (text.isEmpty())
        return QString();
    QString result;
    for (QChar c : text)
        if (set.contains(c))
            result += c;
    if (text.startsWith(QLatin1Char('-')) || text.endsWith(QLatin1Char('-')))
        result.prepend(QLatin1Char('-'));
    return result;
}

TCustomStrEdit::TCustomStrEdit(QWidget *parent) : TCustomEdit(parent)
{
    FTextMargin = std::min(QFontMetrics(QApplication::font()).height(), QFontMetrics(font()).height()) / 4;
}

void TCustomStrEdit::SetAlignment(TAlignment alignment)
{
    if (alignment == FAlignment)
        return;
    FAlignment = alignment;
    UpdatePaintMode();
}

void TCustomStrEdit::UpdatePaintMode()
{
    // Painting the display form covers every pixel, so the parent need not paint the
    // area beneath first; that halves the cost of showing a new value.
    setAttribute(Qt::WA_OpaquePaintEvent, !FEditing && FAlignment != taLeftJustify);
    update();
}

void TCustomStrEdit::FocusEntered(Qt::FocusReason reason)
{
    QPointer<TCustomStrEdit> self(this);
    TCustomEdit::FocusEntered(reason);
    if (!self)
        return;
    FEditing = true;
    UpdatePaintMode();
}

void TCustomStrEdit::FocusLeft(Qt::FocusReason reason)
{
    // The display form comes back even when an OnExit handler fails (a math error in the
    // recalculation), or the field would stay left-aligned until it is next left.
    QPointer<TCustomStrEdit> self(this);
    const auto leaveEditing = qScopeGuard([&] {
        if (self) {
            FEditing = false;
            UpdatePaintMode();
        }
    });
    TCustomEdit::FocusLeft(reason);
}

void TCustomStrEdit::paintEvent(QPaintEvent *event)
{
    if (FEditing || FAlignment == taLeftJustify) {
        TCustomEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    if (QWidget *parent = parentWidget())
        painter.fillRect(rect(), parent->palette().color(parent->backgroundRole()));
    QStyleOptionFrame frame;
    initStyleOption(&frame);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &painter, this);

    const int border = hasFrame() ? style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, this) : 0;
    const QRect client = rect().adjusted(border, border, -border, -border);
    painter.fillRect(client, palette().color(QPalette::Base));
    painter.setClipRect(client);
    painter.setFont(font());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));

    const QFontMetrics metrics(font());
    const int width = metrics.horizontalAdvance(text());
    const int margin = BorderStyle() == bsSingle ? FTextMargin : 0;
    int x = 0;
    if (FAlignment == taRightJustify) {
        x = client.right() + 1 - width - margin;
    } else {
        const int sum = client.left() + client.right() + 1 - width;
        x = sum / 2; // truncates toward zero, as the layout was designed with
    }
    painter.drawText(QRect(x, client.top() + margin, width, metrics.height()),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text());
}

void TMasks::Store(TMaskString &slot, const TMaskString &mask)
{
    const TMaskString cut = mask.left(MaxLength);
    if (cut == slot)
        return;
    slot = cut;
    if (OnChange)
        OnChange();
}

void TMasks::SetPositiveMask(const TMaskString &mask)
{
    Store(FPositiveMask, mask);
}

void TMasks::SetNegativeMask(const TMaskString &mask)
{
    Store(FNegativeMask, mask);
}

void TMasks::SetZeroMask(const TMaskString &mask)
{
    Store(FZeroMask, mask);
}

void TMasks::Assign(const TMasks &source)
{
    if (&source == this)
        return;
    SetPositiveMask(source.FPositiveMask);
    SetNegativeMask(source.FNegativeMask);
    SetZeroMask(source.FZeroMask);
}

int TCustomNumEdit::SavedMaxLength = 0;

TCustomNumEdit::TCustomNumEdit(QWidget *parent) : TCustomStrEdit(parent)
{
    FMasks.OnChange = [this] { Reformat(); };
    resize(85, height());
    SetAutoSelect(true);
    SetAlignment(taRightJustify);
    Reformat();
}

TCustomNumEdit::~TCustomNumEdit()
{
    FMasks.OnChange = nullptr;
}

void TCustomNumEdit::SetDecimals(quint16 decimals)
{
    decimals = std::min(decimals, MaxDecimals);
    if (decimals == FDecimals)
        return;
    FDecimals = decimals;
    Reformat();
}

void TCustomNumEdit::SetDigits(quint16 digits)
{
    if (digits == FDigits)
        return;
    FDigits = digits;
    Reformat();
}

void TCustomNumEdit::SetMasks(const TMasks &masks)
{
    FMasks.Assign(masks);
    update();
}

void TCustomNumEdit::SetMax(long double max)
{
    if (max == FMax)
        return;
    FMax = max;
    if (max < FValue)
        FValue = max;
}

void TCustomNumEdit::SetMin(long double min)
{
    if (min == FMin)
        return;
    FMin = min;
    if (min > FValue)
        FValue = min;
}

void TCustomNumEdit::SetNumericType(TNumericType type)
{
    if (type == FNumericType)
        return;
    FNumericType = type;
    Reformat();
}

void TCustomNumEdit::SetUseRounding(bool useRounding)
{
    FUseRounding = useRounding;
}

void TCustomNumEdit::SetValue(long double value)
{
    if (value == FValue)
        return;
    if (!CheckRange(value))
        return;
    FValue = value;
    Reformat();
}

void TCustomNumEdit::SetValidate(bool validate)
{
    if (validate == FValidate)
        return;
    FValidate = validate;
    if (validate && (FValue < FMin || FValue > FMax)) {
        FValue = FMin;
        Reformat();
    }
}

void TCustomNumEdit::Reformat()
{
    long double v = FNumericType == ntPercentage ? FValue * 100 : FValue;
    const long double factor = PowerOfTen(FDecimals);
    long double whole = 0;
    if (ScaleToWhole(v * factor, FUseRounding, whole))
        v = whole / factor;

    QString shown;
    switch (FNumericType) {
    case ntGeneral:
        shown = FormatFloat(
            FMasks.PositiveMask() + QLatin1Char(';') + FMasks.NegativeMask() + QLatin1Char(';') + FMasks.ZeroMask(), v);
        break;
    case ntCurrency: shown = FloatToStrF(v, ffCurrency, FDigits, FDecimals); break;
    case ntPercentage: shown = FloatToStrF(v, ffFixed, FDigits, FDecimals) + QLatin1Char('%'); break;
    }
    setText(shown);
}

void TCustomNumEdit::Unformat()
{
    const TFormatSettings &fs = FormatSettings();
    QString edited = FilterNumberText(text(),
                                      DigitChars + fs.DecimalSeparator +
                                          (fs.ThousandSeparator.isNull() ? QString() : QString(fs.ThousandSeparator)));
    // A display that carries its own minus (-$5.00, -12.50%) already gave the filter
    // its sign; a second one would read "--12.50".
    if (FValue < 0 && !edited.startsWith(QLatin1Char('-')))
        edited.prepend(QLatin1Char('-'));
    setText(edited);
}

double TCustomNumEdit::AsRoundedDouble() const
{
    if (std::fabs(FValue) >= 1.7E308L)
        return 0;
    return double(std::nearbyint(FValue));
}

qint16 TCustomNumEdit::AsSmallInt() const
{
    if (FValue >= 32767 || FValue <= -32768)
        return 0;
    return qint16(FUseRounding ? std::nearbyint(FValue) : std::trunc(FValue));
}

qint32 TCustomNumEdit::AsLongInt() const
{
    if (FValue >= 2147483647.0L || FValue <= -2147483647.0L)
        return 0;
    return qint32(FUseRounding ? std::nearbyint(FValue) : std::trunc(FValue));
}

Real48 TCustomNumEdit::AsReal48() const
{
    if (FValue > -1.7E38L && FValue < 1.7E38L)
        return ToReal48(FValue);
    return Real48();
}

QString TCustomNumEdit::AsDigitText() const
{
    QString digits = FilterNumberText(text(), DigitChars + QStringLiteral(",."));
    if (FValue < 0 && !digits.startsWith(QLatin1Char('-')))
        digits.prepend(QLatin1Char('-'));
    return digits;
}

bool TCustomNumEdit::CheckRange(long double x)
{
    if (!FValidate || (FMin <= x && x <= FMax))
        return true;
    const QString message = tr("Value must be between %1 and %2").arg(FloatToStr(FMin), FloatToStr(FMax)).left(80);
    MessageBox::MessageDlg(message, mtInformation);
    return false;
}

void TCustomNumEdit::KeyPress(QChar &Key)
{
    const TFormatSettings &fs = FormatSettings();
    const QString current = text();
    // A separator or minus does not count against the digits; a field without a limit
    // (MaxLength 0) must not get one of a single character from this.
    if (Key == fs.DecimalSeparator && !current.contains(fs.DecimalSeparator)) {
        if (MaxLength() > 0)
            SetMaxLength(MaxLength() + 1);
    } else if (Key == QLatin1Char('-') && !current.contains(QLatin1Char('-'))) {
        if (MaxLength() > 0)
            SetMaxLength(MaxLength() + 1);
    } else if (!(Key == QChar(0x08) || (Key >= QLatin1Char('0') && Key <= QLatin1Char('9')) ||
                 (!fs.ThousandSeparator.isNull() && Key == fs.ThousandSeparator))) {
        Key = QChar();
        return;
    }
    TCustomStrEdit::KeyPress(Key);
}

void TCustomNumEdit::FocusEntered(Qt::FocusReason reason)
{
    Unformat();
    SavedMaxLength = MaxLength();
    SetMaxLength(FDigits);
    TCustomStrEdit::FocusEntered(reason);
}

void TCustomNumEdit::FocusLeft(Qt::FocusReason reason)
{
    const int editingLimit = MaxLength();
    SetMaxLength(SavedMaxLength);
    const TFormatSettings &fs = FormatSettings();
    const QString filtered = FilterNumberText(text(), DigitChars + fs.DecimalSeparator).left(80);
    const long double x = filtered.isEmpty() ? 0 : StrToFloat(filtered);

    // Out of range: the focus comes back before the message shows, so the control the
    // user was moving to never sees it.
    if (FValidate && !(FMin <= x && x <= FMax))
        ReturnFocus();
    QPointer<TCustomNumEdit> self(this);
    if (!CheckRange(x)) {
        if (!self)
            return;
        ReturnFocus();
        // Still editing, so still under the typing limit of editing.
        SetMaxLength(editingLimit);
        selectAll();
        return;
    }
    if (!self)
        return;
    FValue = FNumericType == ntPercentage ? x * 0.01L : x;
    Reformat();
    TCustomStrEdit::FocusLeft(reason);
}
