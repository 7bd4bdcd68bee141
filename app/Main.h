#pragma once

#include "app/core/Npv.h"
#include "app/core/SavedValues.h"

#include <QMainWindow>
#include <array>
#include <memory>

class Exception;
class QAction;
class QFrame;
class QLabel;
class QMenu;
class TExplorerButton;
class TFnpNumericEdit;
class TNStatusLine;
class TNumEdit;
class TQRPaymentChart;
class TfrmPreview;
class TfrmProfile;
class TUrlLabel;
class TWebFileInfo;

// The calculator window: ten cash flows, five discount rates and the five net present
// values beside them, recomputed every time one of the twenty fields is left; a toolbar,
// the main and popup menus and a status line around them.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    // programDir is the folder the settings and help files are looked up from, with a
    // trailing "/"; the program passes its own folder, tests a folder of their own.
    explicit TfrmMain(const QString &programDir, QWidget *parent = nullptr);
    ~TfrmMain() override;

    // Recomputes the five results from the fields; bound to every field's exit.
    void CalculateDCF(QObject *sender);
    void AllowPrinting();
    void DisallowPrinting();
    void Reset(QObject *sender);
    void Exit(QObject *sender);
    void SaveValuesAtExit();
    void AppOnException(QObject *sender, const Exception &e);

    void mnuFilePrintSetupClick(QObject *sender);
    void MnuHelpContentsClick(QObject *sender);
    void MnuHelpSearchClick(QObject *sender);
    void MnuHelpHowClick(QObject *sender);
    void mnuInternetWebHomeClick(QObject *sender);
    void mnuInternetWebFreewareClick(QObject *sender);
    void mnuInternetWebSuggestClick(QObject *sender);
    void mnuInternetEmailSuggestClick(QObject *sender);
    void mnuInternetEmailSupportClick(QObject *sender);
    void MnuHelpAboutClick(QObject *sender);
    void Print(QObject *sender);
    // The report printer's preview hook: shows the preview window until it closes.
    void MyPreview();
    // The report form and the preview window live beside the main window for the whole
    // run; Print needs both.
    void SetReportWindows(TQRPaymentChart *chart, TfrmPreview *preview);
    void ShowDisclaimer(QObject *sender);
    void ShowUpdate(QObject *sender);
    // Opens the NPV profile window, or raises it when it is open.
    void ShowProfile(QObject *sender);
    // The profile window once it has been opened.
    TfrmProfile *Profile() const { return FProfile; }

    const QString &ProgramDir() const { return FProgramDir; }
    const QString &SettingsPath() const { return FSettingsPath; }
    const SavedValues &Saved() const { return FSavedValues; }

    TNumEdit *edtDCFYear(int year) const { return FYears.at(year - 1); }
    TFnpNumericEdit *edtDiscountRate(int k) const { return FRates.at(k - 1); }
    TNumEdit *edtNPV(int k) const { return FResults.at(k - 1); }

    // The commands. Every button and menu item of a command follows its action's
    // enabled state and triggers it.
    QAction *actPrint = nullptr;
    QAction *actPrintSetup = nullptr;
    QAction *actReset = nullptr;
    QAction *actExit = nullptr;
    QAction *actDisclaimer = nullptr;
    QAction *actUpdate = nullptr;
    QAction *actHelpContents = nullptr;
    QAction *actAbout = nullptr;
    QAction *actProfile = nullptr;

    // Toolbar, link labels, status line and menus, named as designed.
    TExplorerButton *btnPrint = nullptr;
    TExplorerButton *ExplorerButton1 = nullptr;
    TExplorerButton *btnDisclaim = nullptr;
    TExplorerButton *btnReset = nullptr;
    TExplorerButton *btnUpdate = nullptr;
    TExplorerButton *btnHelp = nullptr;
    TExplorerButton *btnExit = nullptr;
    TUrlLabel *UrlCorvane = nullptr;
    TUrlLabel *UrlSuggest = nullptr;      // published interface: hidden, holds its command's address
    TUrlLabel *UrlFreeware = nullptr;     // published interface: hidden, holds its command's address
    TUrlLabel *UrlEmailSupport = nullptr; // published interface: hidden, holds its command's address
    TUrlLabel *UrlEmailSuggest = nullptr; // published interface: hidden, holds its command's address
    TNStatusLine *NStatusLine1 = nullptr;
    QMenu *mnuPop = nullptr;
    // Reads the maker's information page for the Update Center.
    TWebFileInfo *WebFileInfo = nullptr;

    static QString MathErrorText();
    static QString UnidentifiedErrorText();

signals:
    // The window has closed for good: the program ends.
    void Closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void BuildActions();
    void BuildLayout();
    void BuildHiddenLinks();
    // The cash-flow, rate and result fields and their tab order.
    void BuildFields();
    void BuildToolbar();
    void BuildMenus();
    void FormCreate();
    void FormActivate();
    void ApplicationActivate();
    void LoadSavedValues();
    void CallHelp(unsigned command);
    // Gives an open profile window the values in the fields.
    void UpdateProfile();
    // Shows a fresh modal instance of a window of ours and destroys it afterwards.
    template <typename Window>
    void ShowFresh();

    TQRPaymentChart *FChart = nullptr;
    TfrmPreview *FPreview = nullptr;
    TfrmProfile *FProfile = nullptr;
    QString FProgramDir;
    QString FSettingsPath;
    bool FHooksInstalled = false; // the application and printer hooks point here
    SavedValues FSavedValues;

    QWidget *FClient = nullptr;
    QFrame *Panel1 = nullptr;
    QFrame *Panel2 = nullptr;
    QFrame *Panel3 = nullptr;
    QFrame *Panel5 = nullptr;
    QLabel *Label16 = nullptr;
    std::array<TNumEdit *, Npv::YearCount> FYears{};
    std::array<TFnpNumericEdit *, Npv::RateCount> FRates{};
    std::array<TNumEdit *, Npv::RateCount> FResults{};
};
