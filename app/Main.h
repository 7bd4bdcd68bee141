#pragma once

#include "app/core/SavedValues.h"

#include <QMainWindow>
#include <QPointer>
#include <array>

class Exception;
class QAction;
class QFrame;
class QLabel;
class TFnpNumericEdit;
class TNumEdit;

// The calculator window: ten cash flows, five discount rates and the five net present
// values beside them, recomputed every time one of the twenty fields is left.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    // programDir is the folder the settings and help files are looked up from, with a
    // trailing "/"; the program passes its own folder, tests a folder of their own.
    explicit TfrmMain(const QString &programDir, QWidget *parent = nullptr);
    ~TfrmMain() override;

    static constexpr int YearCount = 10;
    static constexpr int RateCount = 5;

    // Recomputes the five results from the fields; bound to every field's exit.
    void CalculateDCF(QObject *sender);
    void AllowPrinting();
    void DisallowPrinting();
    void Reset(QObject *sender);
    void Exit(QObject *sender);
    void SaveValuesAtExit();
    void AppOnException(QObject *sender, const Exception &e);

    const QString &ProgramDir() const { return FProgramDir; }
    const QString &SettingsPath() const { return FSettingsPath; }
    const SavedValues &Saved() const { return FSavedValues; }

    TNumEdit *edtDCFYear(int year) const { return FYears.at(year - 1); }
    TFnpNumericEdit *edtDiscountRate(int k) const { return FRates.at(k - 1); }
    TNumEdit *edtNPV(int k) const { return FResults.at(k - 1); }

    // One action per command; buttons and menu items attach to them.
    QAction *actPrint = nullptr;
    QAction *actReset = nullptr;
    QAction *actExit = nullptr;

    static const QString MathErrorText;
    static const QString UnidentifiedErrorText;

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void BuildLayout();
    void BuildActions();
    void FormCreate();
    void FormActivate();
    void ApplicationActivate();
    void LoadSavedValues();
    void TrackFocusWindow(QWindow *window);

    QString FProgramDir;
    QString FSettingsPath;
    SavedValues FSavedValues;

    QWidget *FClient = nullptr;
    QFrame *Panel1 = nullptr;
    QFrame *Panel2 = nullptr;
    QFrame *Panel3 = nullptr;
    QFrame *Panel5 = nullptr;
    QLabel *Label16 = nullptr;
    std::array<TNumEdit *, YearCount> FYears{};
    std::array<TFnpNumericEdit *, RateCount> FRates{};
    std::array<TNumEdit *, RateCount> FResults{};

    // Activation bookkeeping: the window that had the focus before this one, and
    // whether it was one of our own windows (a message box does not count).
    bool FShownOnce = false;
    bool FOwnWindowWasActive = false;
};
