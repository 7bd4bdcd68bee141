#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <QDialog>
class QLabel;
class QProgressBar;
class QPushButton;
class TQRPrinter;

// The small window every long operation of the report printer shows: a text, a bar
// that moves at most about twenty times, and a Cancel button that only raises the
// printer's cancelled flag. Built at run time; the window goes with this object.
class TQRProgressForm : public QObject {
    Q_OBJECT
public:
    explicit TQRProgressForm(TQRPrinter *printer, QObject *parent = nullptr);
    ~TQRProgressForm() override;

    void SetMax(int max);
    void SetPosition(int position);
    void SetText(const QString &text);
    void Show();

    int Max() const { return FMax; }
    int StepSize() const { return FStepSize; }
    int LastStep() const { return FLastStep; }
    // The bar as shown.
    int Position() const;

    QDialog *Window() const { return FWindow; }
    QPushButton *CancelButton() const { return FCancelButton; }
    QLabel *TextLabel() const { return FLabel; }
    QProgressBar *ProgressBar() const { return FBar; }

private:
    QPointer<TQRPrinter> FPrinter;
    QPointer<QDialog> FWindow;
    QLabel *FLabel = nullptr;
    QProgressBar *FBar = nullptr;
    QPushButton *FCancelButton = nullptr;
    int FMax = 0;
    int FStepSize = 1;
    int FLastStep = 0;
};
