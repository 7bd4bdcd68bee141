#include "app/Main.h"
#include "app/AboutBox.h"
#include "app/AppLog.h"
#include "app/Disclaim.h"
#include "app/Links.h"
#include "app/Profile.h"
#include "app/Qrchart.h"
#include "app/ToolbarIcons.h"
#include "app/core/Npv.h"

#include "controls/ExplorerButton.h"
#include "controls/FnpNumericEdit.h"
#include "controls/Nstatln.h"
#include "controls/NumCtrl.h"
#include "controls/UrlLabel.h"
#include "platform/core/Exceptions.h"
#include "platform/core/ProfileFile.h"
#include "platform/core/ProgramPaths.h"
#include "platform/gui/ActivationTracker.h"
#include "platform/gui/Application.h"
#include "platform/gui/Fonts.h"
#include "platform/gui/HelpViewer.h"
#include "platform/gui/MessageBox.h"
#include "platform/gui/Printers.h"
#include "report/Preview.h"
#include "report/QRCustomControl.h"
#include "report/QRPrinter.h"
#include "report/QRReport.h"
#include "update/Update.h"
#include "update/UpdateSettings.h"
#include "update/WebFileInfo.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QWindow>
#include <iterator>

QString TfrmMain::MathErrorText()
{
    // The box's text breaks its lines as designed, LF CR.
    return tr("Results of this calculation cannot be determined\nusing the values you have entered.\n\n"
              "Please try again with different values.")
        .replace(QLatin1String("\n"), QLatin1String("\n\r"));
}

QString TfrmMain::UnidentifiedErrorText()
{
    return tr("An unidentified error has occurred.");
}

namespace {

// Twelve-digit amounts in their widest forms, "($999,999,999,999.00)" and
// "-999.999.999.999,00 €", need 17 pixels more than the cash-flow and result fields were
// first drawn with. Both fields, the panels that hold them and the window grow by that much;
// everything else keeps its place beside its neighbours.
constexpr int AmountWidening = 17;

constexpr int ClientWidth = 402 + 2 * AmountWidening;
constexpr int ClientHeight = 335;
constexpr int CashFlowPanelWidth = 167 + AmountWidening;
constexpr int ResultPanelLeft = CashFlowPanelWidth + 2;
constexpr int ResultPanelWidth = ClientWidth - ResultPanelLeft;

// The designed row of each year and each rate. The tables are as long as the counts, so
// a new count stops the build here until its rows (and the room for them) are designed.
constexpr int YearTops[] = {29, 52, 75, 99, 122, 145, 168, 192, 215, 238};
constexpr int YearLabelTops[] = {33, 57, 80, 103, 126, 150, 173, 196, 219, 242};
constexpr int RateTops[] = {31, 54, 77, 100, 123};
static_assert(std::size(YearTops) == Npv::YearCount && std::size(YearLabelTops) == Npv::YearCount,
              "Npv::YearCount changed: extend YearTops and YearLabelTops in app/Main.cpp and make Panel2 "
              "and the window tall enough for the new rows");
static_assert(std::size(RateTops) == Npv::RateCount,
              "Npv::RateCount changed: extend RateTops in app/Main.cpp and make Panel1 tall enough for the "
              "new rows");

QFrame *makePanel(QWidget *parent, int left, int top, int width, int height)
{
    auto *panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    panel->setGeometry(left, top, width, height);
    return panel;
}

QLabel *makeLabel(QWidget *parent, const QString &text, int left, int top)
{
    auto *label = new QLabel(text, parent);
    label->setFont(Fonts::Make(QStringLiteral("Arial"), 11, true));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(palette);
    label->move(left, top);
    label->adjustSize();
    return label;
}

void setColors(QWidget *widget, const QColor &base, const QColor &text)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::Window, base);
    palette.setColor(QPalette::Text, text);
    widget->setPalette(palette);
}

void configureMoneyField(TNumEdit *edit)
{
    edit->SetDecimals(2);
    edit->SetDigits(12);
    edit->Masks().SetPositiveMask(QStringLiteral("#,##0"));
    edit->SetUseRounding(true);
    edit->SetValidate(false);
}

} // namespace

TfrmMain::TfrmMain(const QString &programDir, QWidget *parent) : QMainWindow(parent), FProgramDir(programDir)
{
    if (!FProgramDir.endsWith(QLatin1Char('/')))
        FProgramDir += QLatin1Char('/');
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Tallowmere, 1.1"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFont(Fonts::Make(QStringLiteral("Arial"), 11));
    BuildActions();
    BuildLayout();
    BuildMenus();
    // The designed size is the client area below the menu bar.
    resize(ClientWidth, ClientHeight + menuBar()->heightForWidth(ClientWidth));
    new ActivationTracker(this, [this] { RunHandled(this, [this] { FormActivate(); }); });
    FormCreate();
}

TfrmMain::~TfrmMain()
{
    // The application and the report printer outlive this window: the hooks that
    // call into it go with it.
    if (FHooksInstalled) {
        if (auto *app = Application::Instance()) {
            app->OnActivate = nullptr;
            app->OnException = nullptr;
        }
        QRPrinter()->OnPreview = nullptr;
    }
}

void TfrmMain::BuildActions()
{
    auto command = [this](const QString &text, auto handler) {
        auto *action = new QAction(text, this);
        connect(action, &QAction::triggered, this,
                [this, action, handler] { RunHandled(action, [&] { (this->*handler)(action); }); });
        addAction(action);
        return action;
    };
    actPrint = command(tr("&Print"), &TfrmMain::Print);
    actPrintSetup = command(tr("Prin&t Setup..."), &TfrmMain::mnuFilePrintSetupClick);
    actReset = command(tr("&Reset"), &TfrmMain::Reset);
    actExit = command(tr("E&xit"), &TfrmMain::Exit);
    actDisclaimer = command(tr("&Disclaimer ..."), &TfrmMain::ShowDisclaimer);
    actUpdate = command(tr("Check for &Update ..."), &TfrmMain::ShowUpdate);
    actHelpContents = command(tr("&Contents"), &TfrmMain::MnuHelpContentsClick);
    actHelpContents->setShortcut(Qt::Key_F1);
    actAbout = command(tr("&About..."), &TfrmMain::MnuHelpAboutClick);
    actProfile = command(tr("&NPV Profile..."), &TfrmMain::ShowProfile);
    actProfile->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    actPrint->setEnabled(false);
    actReset->setEnabled(false);
    WebFileInfo = new TWebFileInfo(this);
}

void TfrmMain::BuildLayout()
{
    FClient = new QWidget(this);
    setCentralWidget(FClient);
    FClient->setFixedSize(ClientWidth, ClientHeight);
    FClient->setMinimumSize(0, 0);
    FClient->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);

    Panel5 = makePanel(FClient, 0, 0, ClientWidth, 30);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    Panel2 = makePanel(FClient, 0, 32, CashFlowPanelWidth, 279);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel1 = makePanel(FClient, ResultPanelLeft, 32, ResultPanelWidth, 160);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel3 = makePanel(FClient, ResultPanelLeft, 195, ResultPanelWidth, 116);
    Panel3->setObjectName(QStringLiteral("Panel3"));

    makeLabel(Panel2, tr("YEAR"), 19, 13);
    // Centred over the widened fields, as it was over the narrower ones.
    makeLabel(Panel2, tr("Cash Flows"), 73 + AmountWidening / 2, 13);
    for (int i = 0; i < Npv::YearCount; ++i) // a two-digit year starts further left
        makeLabel(Panel2, QString::number(i + 1), i + 1 < 10 ? 30 : 26, YearLabelTops[i]);
    makeLabel(Panel1, tr("Discount Rate %"), 13, 13);
    makeLabel(Panel1, tr("Net Present Value"), 119, 13);

    Label16 = new QLabel(Panel3);
    Label16->setObjectName(QStringLiteral("Label16"));
    Label16->setText(
        tr("Use this calculator to determine the present value of an investment property's cash flow and sale "
           "proceeds.  Enter each year's cash flow.  For the last year of the holding period, enter the sum of "
           "the cash flow and sale proceeds."));
    Label16->setWordWrap(true);
    Label16->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label16->setGeometry(15, 14, 201 + AmountWidening, 84);

    BuildHiddenLinks();

    NStatusLine1 = new TNStatusLine(FClient);
    NStatusLine1->setObjectName(QStringLiteral("NStatusLine1"));
    NStatusLine1->setGeometry(0, 313, ClientWidth, 22);
    NStatusLine1->SetVertMargin(1);
    NStatusLine1->SetHorizMargin(1);
    NStatusLine1->setFont(Fonts::Make(QStringLiteral("MS Sans Serif"), 11));

    BuildToolbar();
    BuildFields();
}

// Hidden link labels: they only hold the targets of the web and e-mail commands.
void TfrmMain::BuildHiddenLinks()
{
    auto hiddenLink = [this](const char *name, const QString &caption, const QString &url) {
        auto *label = new TUrlLabel(Panel3);
        label->setObjectName(QString::fromLatin1(name));
        label->SetCaption(caption);
        label->SetURL(url);
        QFont font = Fonts::Make(QStringLiteral("MS Sans Serif"), 11);
        font.setUnderline(true);
        label->setFont(font);
        label->SetFontColor(Qt::blue);
        label->hide();
        return label;
    };
    UrlSuggest = hiddenLink("UrlSuggest", QStringLiteral("suggest.htm"), Links::SuggestPage);
    UrlFreeware = hiddenLink("UrlFreeware", QStringLiteral("freeware.htm"), Links::FreewarePage);
    UrlEmailSupport = hiddenLink("UrlEmailSupport", QStringLiteral("emailSupport"),
                                 QStringLiteral("mailto:") + Links::SupportAddress);
    UrlEmailSuggest = hiddenLink("UrlEmailSuggest", QStringLiteral("emailSuggest"),
                                 QStringLiteral("mailto:") + Links::SuggestAddress);
}

void TfrmMain::BuildFields()
{
    auto recalculate = [this](QObject *sender) { CalculateDCF(sender); };

    for (int i = 0; i < Npv::YearCount; ++i) {
        auto *edit = new TNumEdit(Panel2);
        edit->setObjectName(QStringLiteral("edtDCFYear%1").arg(i + 1));
        edit->setGeometry(61, YearTops[i], 90 + AmountWidening, 22);
        configureMoneyField(edit);
        edit->setAccessibleName(tr("Cash flow, year %1").arg(i + 1));
        edit->OnExit = recalculate;
        FYears[i] = edit;
    }
    const QFont rateFont = Fonts::Make(QStringLiteral("Arial"), 11);
    const QFont resultFont = Fonts::Make(QStringLiteral("Arial"), 12, true);
    for (int k = 0; k < Npv::RateCount; ++k) {
        auto *rate = new TFnpNumericEdit(Panel1);
        rate->setObjectName(QStringLiteral("edtDiscountRate%1").arg(k + 1));
        rate->setGeometry(22, RateTops[k], 67, 22);
        rate->SetDecimals(3);
        rate->SetValue(SavedValues::DefaultRates[k]);
        rate->setFont(rateFont);
        setColors(rate, Qt::white, Qt::black);
        rate->setAccessibleName(tr("Discount rate %1").arg(k + 1));
        rate->OnExit = recalculate;
        FRates[k] = rate;

        auto *result = new TNumEdit(Panel1);
        result->setObjectName(QStringLiteral("edtNPV%1").arg(k + 1));
        result->setGeometry(119, RateTops[k], 100 + AmountWidening, 23);
        configureMoneyField(result);
        result->setReadOnly(true);
        result->setFocusPolicy(Qt::ClickFocus);
        result->setFont(resultFont);
        setColors(result, Qt::yellow, Qt::black);
        result->setAccessibleName(tr("Net present value %1").arg(k + 1));
        result->OnExit = recalculate;
        FResults[k] = result;
    }

    // Tab runs through the rates, then the years, and wraps; the results are skipped.
    QWidget *previous = FRates[0];
    for (int k = 1; k < Npv::RateCount; ++k) {
        setTabOrder(previous, FRates[k]);
        previous = FRates[k];
    }
    for (TNumEdit *year : FYears) {
        setTabOrder(previous, year);
        previous = year;
    }
}

void TfrmMain::BuildToolbar()
{
    struct ToolButton {
        TExplorerButton *&button;
        const char *name;
        int left;
        const char *hint;
        ToolbarIcons::Kind icon;
        QAction *action;
    };
    const ToolButton tools[] = {
        {btnPrint, "btnPrint", 6, QT_TR_NOOP(" Print ..."), ToolbarIcons::Print, actPrint},
        {ExplorerButton1, "ExplorerButton1", 36, QT_TR_NOOP(" Print Setup ..."), ToolbarIcons::PrintSetup,
         actPrintSetup},
        {btnDisclaim, "btnDisclaim", 66, QT_TR_NOOP(" Disclaimer ..."), ToolbarIcons::Disclaimer, actDisclaimer},
        {btnReset, "btnReset", 95, QT_TR_NOOP(" Reset the calculator"), ToolbarIcons::Reset, actReset},
        {btnUpdate, "btnUpdate", 125, QT_TR_NOOP(" Check for an update ..."), ToolbarIcons::Update, actUpdate},
        {btnHelp, "btnHelp", 155, QT_TR_NOOP(" Help ..."), ToolbarIcons::Help, actHelpContents},
        // Exit keeps its place at the right end of the widened toolbar.
        {btnExit, "btnExit", ClientWidth - 30, QT_TR_NOOP(" Exit"), ToolbarIcons::Exit, actExit},
    };
    for (const ToolButton &tool : tools) {
        auto *button = new TExplorerButton(Panel5);
        button->setObjectName(QString::fromLatin1(tool.name));
        button->setGeometry(tool.left, 3, 25, 24);
        button->SetOptions(boIconOnly | boShowBevel);
        button->SetBitmap(ToolbarIcons::Make(tool.icon));
        button->SetHint(tr(tool.hint));
        button->SetShowHint(false);
        button->setAccessibleName(tr(tool.hint).trimmed());
        QAction *action = tool.action;
        button->SetEnabled(action->isEnabled());
        connect(action, &QAction::enabledChanged, button, [button](bool on) { button->SetEnabled(on); });
        button->OnClick = [action](QObject *) { action->trigger(); };
        tool.button = button;
    }

    UrlCorvane = new TUrlLabel(Panel5);
    UrlCorvane->setObjectName(QStringLiteral("UrlCorvane"));
    // Midway between Help and Exit, as designed.
    UrlCorvane->setGeometry(208 + AmountWidening, 7, 139, 16);
    UrlCorvane->SetCaption(QStringLiteral("Corvane Software"));
    UrlCorvane->setFont(Fonts::Make(QStringLiteral("Arial"), 13, true));
    UrlCorvane->SetFontColor(palette().color(QPalette::WindowText));
    UrlCorvane->SetActiveColor(Qt::blue);
    UrlCorvane->SetHint(tr("Click to visit Corvane' website!"));
    UrlCorvane->SetURL(Links::HomePage);
    UrlCorvane->setAccessibleName(QStringLiteral("Corvane Software"));
}

// Long by design: every menu item in menu order, so the code reads like the menu bar.
void TfrmMain::BuildMenus()
{
    // A menu item of its own that runs the command's action and follows its state.
    auto item = [](QMenu *menu, const char *name, const QString &caption, QAction *command) {
        QAction *entry = menu->addAction(caption);
        entry->setObjectName(QString::fromLatin1(name));
        entry->setEnabled(command->isEnabled());
        connect(command, &QAction::enabledChanged, entry, &QAction::setEnabled);
        connect(entry, &QAction::triggered, command, &QAction::trigger);
        return entry;
    };
    auto handlerItem = [this](QMenu *menu, const char *name, const QString &caption,
                              void (TfrmMain::*handler)(QObject *)) {
        QAction *entry = menu->addAction(caption);
        entry->setObjectName(QString::fromLatin1(name));
        connect(entry, &QAction::triggered, this,
                [this, entry, handler] { RunHandled(entry, [&] { (this->*handler)(entry); }); });
        return entry;
    };
    auto separator = [](QMenu *menu, const char *name) {
        QAction *line = menu->addSeparator();
        line->setObjectName(QString::fromLatin1(name));
        return line;
    };

    QMenuBar *MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    QMenu *File1 = MainMenu1->addMenu(tr("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    item(File1, "mnuFileReset", tr("&Reset"), actReset);
    separator(File1, "N3")->setVisible(false);
    item(File1, "mnuFilePrintSetup", tr("Prin&t Setup..."), actPrintSetup);
    item(File1, "mnuFilePrint", tr("&Print"), actPrint);
    QAction *profile = item(File1, "mnuFileProfile", tr("&NPV Profile..."), actProfile);
    profile->setShortcut(actProfile->shortcut());
    profile->setShortcutContext(Qt::WidgetShortcut); // the window's own action answers the key
    separator(File1, "N2");
    item(File1, "mnuFileExit", tr("E&xit"), actExit);

    QMenu *Internet1 = MainMenu1->addMenu(tr("&Internet"));
    Internet1->setObjectName(QStringLiteral("Internet1"));
    QMenu *web = Internet1->addMenu(tr("&Corvane on the Web"));
    web->menuAction()->setObjectName(QStringLiteral("mnuInternetWeb"));
    handlerItem(web, "mnuInternetWebHome", tr("&Home Page"), &TfrmMain::mnuInternetWebHomeClick);
    handlerItem(web, "mnuInternetWebFreeware", tr("Corvane' &Freeware Page"), &TfrmMain::mnuInternetWebFreewareClick);
    separator(web, "N4");
    handlerItem(web, "SuggestionBox1", tr("&Suggestion Box"), &TfrmMain::mnuInternetWebSuggestClick);
    QMenu *email = Internet1->addMenu(tr("Contact Corvane by &Email"));
    email->menuAction()->setObjectName(QStringLiteral("mnuInternetEmail"));
    handlerItem(email, "SendSuggestions1", tr("&Send Suggestions"), &TfrmMain::mnuInternetEmailSuggestClick);
    handlerItem(email, "ContactTechSupport1", tr("Contact &Tech Support"), &TfrmMain::mnuInternetEmailSupportClick);

    QMenu *Help1 = MainMenu1->addMenu(tr("&Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    QAction *contents = item(Help1, "Contents1", tr("&Contents"), actHelpContents);
    contents->setShortcut(Qt::Key_F1);
    contents->setShortcutContext(Qt::WidgetShortcut); // the window's own F1 action answers the key
    separator(Help1, "N8");
    handlerItem(Help1, "SearchforHelpOn1", tr("&Search for Help On..."), &TfrmMain::MnuHelpSearchClick);
    handlerItem(Help1, "HowtoUseHelp1", tr("&How to Use Help"), &TfrmMain::MnuHelpHowClick);
    separator(Help1, "N7");
    QMenu *support = Help1->addMenu(tr("Contact Tech Support by &Email"));
    support->menuAction()->setObjectName(QStringLiteral("ContactTechSupportbyEmail1"));
    QAction *address = handlerItem(support, "mnuHelpSupport", Links::SupportAddress,
                                   &TfrmMain::mnuInternetEmailSupportClick);
    address->setText(QString(Links::SupportAddress).replace(QLatin1Char('&'), QLatin1String("&&")));
    separator(Help1, "N6");
    item(Help1, "mnuHelpUpdate", tr("Check for &Update ..."), actUpdate);
    separator(Help1, "N5");
    item(Help1, "mnuHelpAbout", tr("&About..."), actAbout);

    mnuPop = new QMenu(this);
    mnuPop->setObjectName(QStringLiteral("mnuPop"));
    item(mnuPop, "mnuPopPrint", tr("&Print ..."), actPrint);
    item(mnuPop, "mnuPopReset", tr("&Reset"), actReset);
    separator(mnuPop, "N1");
    item(mnuPop, "mnuPopUpdate", tr("Check for &Update ..."), actUpdate);
    item(mnuPop, "mnuPopDisclaim", tr("&Disclaimer ..."), actDisclaimer);
    // The popup's About shows the About window, as the Help menu's item of the same name does.
    item(mnuPop, "mnuPopAbout", tr("&About..."), actAbout);
    separator(mnuPop, "N9");
    item(mnuPop, "mnuPopExit", tr("E&xit"), actExit);
}

void TfrmMain::contextMenuEvent(QContextMenuEvent *event)
{
    mnuPop->popup(event->globalPos());
}

void TfrmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    // The toolbar panel spans the width; everything else keeps its designed place.
    if (Panel5)
        Panel5->resize(FClient->width(), Panel5->height());
}

void TfrmMain::FormCreate()
{
    RunHandled(this, [this] {
        auto *app = Application::Instance();
        FSettingsPath = ProgramPaths::SettingsFile(FProgramDir, QStringLiteral("tlm.ini"));
        qCInfo(lcApp) << "settings file:" << FSettingsPath;
        if (app) {
            app->SetHelpFile(ProgramPaths::LocalizedDataFile(
                FProgramDir, QStringLiteral("help"), QStringLiteral("tlm.hlp"), QLocale::system().uiLanguages()));
            qCInfo(lcApp) << "help file:" << app->HelpFile();
            app->OnActivate = [this] { ApplicationActivate(); };
            app->OnException = [this](QObject *sender, const Exception &e) { AppOnException(sender, e); };
            app->SetHintPause(300);
            QRPrinter()->OnPreview = [this] { MyPreview(); };
            FHooksInstalled = true;
        }
        UpdateSettings::ConfigureWebFileInfo(*WebFileInfo, FSettingsPath);
        FSavedValues.Clear();
        LoadSavedValues();
        DisallowPrinting();
    });
}

void TfrmMain::LoadSavedValues()
{
    FSavedValues.Load(ProfileFile(FSettingsPath));
    for (int i = 0; i < Npv::YearCount; ++i)
        FYears[i]->SetValue(FSavedValues.Value(i));
    for (int k = 0; k < Npv::RateCount; ++k)
        FRates[k]->SetValue(static_cast<double>(FSavedValues.Value(SavedValues::FirstRate + k)));
}

void TfrmMain::SaveValuesAtExit()
{
    ProfileFile file(FSettingsPath);
    FSavedValues.Save(file);
}

void TfrmMain::CalculateDCF(QObject *)
{
    QCoreApplication::sendPostedEvents(this, QEvent::UpdateRequest);
    AllowPrinting();
    actReset->setEnabled(true);

    Npv::CashFlows flows{};
    for (int i = 0; i < Npv::YearCount; ++i)
        flows[i] = FYears[i]->Value();
    std::array<Real48, Npv::RateCount> scaled{};
    for (int k = 0; k < Npv::RateCount; ++k)
        scaled[k] = Npv::ScaledRate(FRates[k]->Value());

    for (int i = 0; i < Npv::YearCount; ++i)
        FSavedValues.SetSlot(i, ToReal48(flows[i]));
    for (int k = 0; k < Npv::RateCount; ++k)
        FSavedValues.SetSlot(SavedValues::FirstRate + k, ToReal48(FRates[k]->Value()));

    UpdateProfile();

    // Each result shows as soon as it is known, so a failure at one rate leaves the
    // rates before it updated.
    for (int k = 0; k < Npv::RateCount; ++k)
        FResults[k]->SetValue(Npv::NetPresentValue(flows, scaled[k]));
}

void TfrmMain::AllowPrinting()
{
    actPrint->setEnabled(true);
}

void TfrmMain::DisallowPrinting()
{
    actPrint->setEnabled(false);
}

void TfrmMain::Reset(QObject *)
{
    // A field being typed in shows what is typed, not its Value, and reads that text when
    // the focus leaves it below: what is typed goes too, or it would come back as a result.
    for (TNumEdit *year : FYears) {
        if (focusWidget() == year)
            year->clear();
        year->SetValue(0);
    }
    for (int k = 0; k < Npv::RateCount; ++k)
        FRates[k]->SetValue(SavedValues::DefaultRates[k]);
    for (TNumEdit *result : FResults)
        result->SetValue(0);
    FYears[0]->setFocus(Qt::OtherFocusReason);
    DisallowPrinting();
    actReset->setEnabled(false);
    UpdateProfile();
}

void TfrmMain::Exit(QObject *)
{
    close();
}

void TfrmMain::mnuFilePrintSetupClick(QObject *)
{
    Printers::ExecSetupDialog(this);
}

void TfrmMain::CallHelp(unsigned command)
{
    const QString helpFile = Application::Instance() ? Application::Instance()->HelpFile() : QString();
    HelpViewer::WinHelp(this, helpFile, command, 0);
}

void TfrmMain::MnuHelpContentsClick(QObject *)
{
    CallHelp(HELP_CONTENTS);
}

void TfrmMain::MnuHelpSearchClick(QObject *)
{
    CallHelp(HELP_PARTIALKEY);
}

void TfrmMain::MnuHelpHowClick(QObject *)
{
    CallHelp(HELP_HELPONHELP);
}

void TfrmMain::mnuInternetWebHomeClick(QObject *)
{
    UrlCorvane->Click();
}

void TfrmMain::mnuInternetWebFreewareClick(QObject *)
{
    UrlFreeware->Click();
}

void TfrmMain::mnuInternetWebSuggestClick(QObject *)
{
    UrlSuggest->Click();
}

void TfrmMain::mnuInternetEmailSuggestClick(QObject *)
{
    UrlEmailSuggest->Click();
}

void TfrmMain::mnuInternetEmailSupportClick(QObject *)
{
    UrlEmailSupport->Click();
}

template <typename Window>
void TfrmMain::ShowFresh()
{
    QCoreApplication::sendPostedEvents(this, QEvent::UpdateRequest);
    // Owned here and destroyed when it closes, also when showing it failed.
    auto window = std::make_unique<Window>(this);
    window->setWindowModality(Qt::ApplicationModal);
    window->exec();
}

void TfrmMain::MnuHelpAboutClick(QObject *)
{
    ShowFresh<TAboutBox>();
}

void TfrmMain::ShowDisclaimer(QObject *)
{
    ShowFresh<TfrmDisclaim>();
}

void TfrmMain::ShowUpdate(QObject *)
{
    TfrmUpdate::ShowUpdateCenter(WebFileInfo, this);
}

void TfrmMain::ShowProfile(QObject *)
{
    if (!FProfile)
        FProfile = new TfrmProfile(this);
    FProfile->show();
    UpdateProfile();
    FProfile->raise();
    FProfile->activateWindow();
}

void TfrmMain::UpdateProfile()
{
    if (!FProfile || !FProfile->isVisible())
        return;
    Npv::CashFlows flows{};
    for (int i = 0; i < Npv::YearCount; ++i)
        flows[i] = FYears[i]->Value();
    std::array<double, Npv::RateCount> rates{};
    for (int k = 0; k < Npv::RateCount; ++k)
        rates[k] = FRates[k]->Value();
    FProfile->SetValues(flows, rates);
}

void TfrmMain::SetReportWindows(TQRPaymentChart *chart, TfrmPreview *preview)
{
    FChart = chart;
    FPreview = preview;
}

void TfrmMain::Print(QObject *)
{
    if (!FChart)
        return;
    QRPrinter()->SetPreviewCaption(tr("Discounted Cash Flow"));
    QRPrinter()->SetProgressCaption(tr("Preview of Discounted Cash Flow"));
    for (int n = 0; n < Npv::YearCount; ++n)
        FChart->lblYear[n]->SetCaption(TQRPaymentChart::CurrencyText(FYears[n]->Value()));
    for (int k = 0; k < Npv::RateCount; ++k)
        FChart->lblDR[k]->SetCaption(TQRPaymentChart::NumberText(FRates[k]->Value()) + QLatin1Char('%'));
    for (int k = 0; k < Npv::RateCount; ++k)
        FChart->lblNPV[k]->SetCaption(TQRPaymentChart::CurrencyText(FResults[k]->Value()));
    FChart->Rep->Preview();
}

void TfrmMain::MyPreview()
{
    if (FPreview)
        FPreview->exec();
}

void TfrmMain::AppOnException(QObject *, const Exception &e)
{
    const bool math = dynamic_cast<const EMathError *>(&e) != nullptr;
    MessageBox::MessageDlg(math ? MathErrorText() : UnidentifiedErrorText(), mtInformation);
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    if (auto *app = Application::Instance())
        HelpViewer::WinHelp(this, app->HelpFile(), HELP_QUIT, 0);
    try {
        SaveValuesAtExit();
    } catch (...) {
        // The values could not be saved: keep the window (and the inputs) open.
        event->ignore();
        if (auto *app = Application::Instance())
            app->HandleException(this);
        return;
    }
    event->accept();
    emit Closed();
}

void TfrmMain::FormActivate()
{
    FYears[0]->setFocus(Qt::OtherFocusReason);
}

void TfrmMain::ApplicationActivate()
{
    if (QWidget *active = QApplication::activeWindow())
        active->raise();
}
