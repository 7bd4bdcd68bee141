#pragma once

#include "controls/CustomEdit.h"

#include <QString>

// A numeric edit whose text is always [minus] digits, decimal separator, exactly
// Decimals decimals. Digits typed in the integer part are inserted, digits typed in the
// decimal part overwrite, and deleting a decimal shifts the rest left and appends a zero.
class TFnpNumericEdit : public TCustomEdit {
    Q_OBJECT
public:
    enum TDeleteKind { dkBackspace, dkDelete };

    explicit TFnpNumericEdit(QWidget *parent = nullptr);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment alignment);
    qint8 Decimals() const { return FDecimals; }
    void SetDecimals(int decimals);
    double MaxValue() const { return FMaxValue; }
    void SetMaxValue(double value) { FMaxValue = value; }
    double MinValue() const { return FMinValue; }
    void SetMinValue(double value) { FMinValue = value; }
    // The text converted; EConvertError when code has put something else there.
    double Value() const;
    void SetValue(double value);
    QString Version() const { return QStringLiteral("1.00.08"); }
    void SetVersion(const QString &) {}
    const QString &DisplayMask() const { return FDisplayMask; }

    // Set while a window applies its stored layout: values set then raise no OnChange.
    bool Loading() const { return FLoading; }
    void SetLoading(bool loading) { FLoading = loading; }

    void CutToClipboard() override;
    void PasteFromClipboard() override;
    // As the Delete key: the selection goes the way Backspace takes it, character by character.
    void ClearSelection() override;
    // Takes back the edit's last insertion only when what comes back is a number of this form.
    void Undo() override;

    TNotifyEvent OnInvalidEntry;
    TNotifyEvent OnValidChange;

protected:
    void Change() override;
    void KeyDown(int &Key, Qt::KeyboardModifiers Shift) override;
    void KeyPress(QChar &Key) override;
    void FocusLeft(Qt::FocusReason reason) override;

    // Removes the character before (Backspace) or after (Delete) the caret, keeping the
    // text a number with its decimals.
    void DeleteChar(TDeleteKind kind);
    void DeleteSelection();

private:
    // The filter after KeyPress, for typed and pasted characters; true when the edit
    // itself is to insert the character at the caret.
    bool FilterCharacter(QChar key);
    void Replace(const QString &newText, int caret);
    bool ValueInRange(double &value) const;
    // [minus] digits, and with Decimals above 0 the separator and exactly Decimals digits.
    bool IsNumberText(const QString &candidate) const;

    TAlignment FAlignment = taRightJustify;
    qint8 FDecimals = 2;
    double FMaxValue = 0;
    double FMinValue = 0;
    QString FDisplayMask = QStringLiteral("0.00");
    bool FLoading = false;
    int FChangeSuppressed = 0;
};
