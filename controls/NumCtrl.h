#pragma once

#include "controls/CustomEdit.h"
#include "platform/core/Real48.h"

#include <QString>

#include <functional>

// Copies, in order, the characters of text that are in set; a text that begins or ends
// with "-" gets a "-" in front of the result.
QString FilterNumberText(const QString &text, const QString &set);

// An edit that, while it does not have the focus, paints its text itself with the
// chosen alignment; while editing it is a plain left-aligned edit.
class TCustomStrEdit : public TCustomEdit {
    Q_OBJECT
public:
    explicit TCustomStrEdit(QWidget *parent = nullptr);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);

    bool Editing() const { return FEditing; }
    int TextMargin() const { return FTextMargin; }

protected:
    void FocusEntered(Qt::FocusReason reason) override;
    void FocusLeft(Qt::FocusReason reason) override;
    void paintEvent(QPaintEvent *event) override;

    bool FEditing = false;

private:
    void UpdatePaintMode();

    TAlignment FAlignment = taLeftJustify;
    int FTextMargin = 0;
};

using TMaskString = QString;

// The three format sections of a general-format numeric edit.
class TMasks {
public:
    static constexpr int MaxLength = 25;

    const TMaskString &PositiveMask() const { return FPositiveMask; }
    const TMaskString &NegativeMask() const { return FNegativeMask; }
    const TMaskString &ZeroMask() const { return FZeroMask; }
    void SetPositiveMask(const TMaskString &mask);
    void SetNegativeMask(const TMaskString &mask);
    void SetZeroMask(const TMaskString &mask);
    // Takes the three texts of another set.
    void Assign(const TMasks &source);

    std::function<void()> OnChange;

private:
    void Store(TMaskString &slot, const TMaskString &mask);

    TMaskString FPositiveMask = QStringLiteral("#,##0");
    TMaskString FNegativeMask;
    TMaskString FZeroMask;
};

enum TNumericType { ntGeneral, ntCurrency, ntPercentage };

class TCustomNumEdit : public TCustomStrEdit {
    Q_OBJECT
public:
    explicit TCustomNumEdit(QWidget *parent = nullptr);
    ~TCustomNumEdit() override;

    quint16 Decimals() const { return FDecimals; }
    void SetDecimals(quint16 decimals);
    quint16 Digits() const { return FDigits; }
    void SetDigits(quint16 digits);
    TMasks &Masks() { return FMasks; }
    const TMasks &Masks() const { return FMasks; }
    void SetMasks(const TMasks &masks);
    long double Max() const { return FMax; }
    void SetMax(long double max);
    long double Min() const { return FMin; }
    void SetMin(long double min);
    TNumericType NumericType() const { return FNumericType; }
    void SetNumericType(TNumericType type);
    bool UseRounding() const { return FUseRounding; }
    void SetUseRounding(bool useRounding);
    long double Value() const { return FValue; }
    void SetValue(long double value);
    bool Validate() const { return FValidate; }
    void SetValidate(bool validate);

    virtual void Reformat();
    virtual void Unformat();
    virtual double AsRoundedDouble() const;
    virtual qint16 AsSmallInt() const;
    virtual qint32 AsLongInt() const;
    virtual Real48 AsReal48() const;
    virtual QString AsDigitText() const;
    virtual bool CheckRange(long double x);

    // MaxLength of the focused field from before its focus entry.
    static int SavedMaxLength;

    // Decimals beyond what the number services can show.
    static constexpr quint16 MaxDecimals = 18;

protected:
    void KeyPress(QChar &Key) override;
    void FocusEntered(Qt::FocusReason reason) override;
    void FocusLeft(Qt::FocusReason reason) override;

private:
    quint16 FDecimals = 2;
    quint16 FDigits = 12;
    TMasks FMasks;
    long double FMax = 0;
    long double FMin = 0;
    TNumericType FNumericType = ntCurrency;
    bool FUseRounding = true;
    long double FValue = 0;
    bool FValidate = false;
};

// The published form of the masked numeric edit. The typing limit, auto-selection and
// alignment belong to the class and are not for users to change.
class TNumEdit : public TCustomNumEdit {
    Q_OBJECT
public:
    explicit TNumEdit(QWidget *parent = nullptr) : TCustomNumEdit(parent) {}

private:
    using TCustomNumEdit::SetAlignment;
    using TCustomNumEdit::SetAutoSelect;
    using TCustomNumEdit::SetMaxLength;
};
