#include "app/Main.h"
#include "app/core/Npv.h"

#include "controls/FnpNumericEdit.h"
#include "controls/NumCtrl.h"
#include "platform/core/Exceptions.h"
#include "platform/core/ProfileFile.h"
#include "platform/core/ProgramPaths.h"
#include "platform/gui/Application.h"
#include "platform/gui/Fonts.h"
#include "platform/gui/MessageBox.h"

#include <QAction>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QWindow>

const QString TfrmMain::MathErrorText = QStringLiteral(
    "Results of this calculation cannot be determined\n\rusing the values you have entered.\n\r\n\r"
    "Please try again with different values.");
const QString TfrmMain::UnidentifiedErrorText = QStringLiteral("An unidentified error has occurred.");

namespace {

constexpr int ClientWidth = 402;
constexpr int ClientHeight = 335;

const int YearTops[TfrmMain::YearCount] = {29, 52, 75, 99, 122, 145, 168, 192, 215, 238};
const int YearLabelTops[TfrmMain::YearCount] = {33, 57, 80, 103, 126, 150, 173, 196, 219, 242};
const int RateTops[TfrmMain::RateCount] = {31, 54, 77, 100, 123};

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
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setFont(Fonts::Make(QStringLiteral("Arial"), 11));
    BuildActions();
    BuildLayout();
    FormCreate();
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::BuildActions()
{
    // Print gets its work with the report; until then it only follows the enable rules.
    actPrint = new QAction(QStringLiteral("&Print"), this);
    actPrint->setEnabled(false);
    actReset = new QAction(QStringLiteral("&Reset"), this);
    actReset->setEnabled(false);
    connect(actReset, &QAction::triggered, this, [this] { Reset(actReset); });
    actExit = new QAction(QStringLiteral("E&xit"), this);
    connect(actExit, &QAction::triggered, this, [this] { Exit(actExit); });
    addActions({actPrint, actReset, actExit});
}

void TfrmMain::BuildLayout()
{
    FClient = new QWidget(this);
    setCentralWidget(FClient);
    FClient->setFixedSize(ClientWidth, ClientHeight);
    FClient->setMinimumSize(0, 0);
    FClient->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);

    Panel5 = makePanel(FClient, 0, 0, 402, 30);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    Panel2 = makePanel(FClient, 0, 32, 167, 279);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel1 = makePanel(FClient, 169, 32, 233, 160);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel3 = makePanel(FClient, 169, 195, 233, 116);
    Panel3->setObjectName(QStringLiteral("Panel3"));

    makeLabel(Panel2, QStringLiteral("YEAR"), 19, 13);
    makeLabel(Panel2, QStringLiteral("Cash Flows"), 73, 13);
    for (int i = 0; i < YearCount; ++i)
        makeLabel(Panel2, QString::number(i + 1), i == 9 ? 26 : 30, YearLabelTops[i]);
    makeLabel(Panel1, QStringLiteral("Discount Rate %"), 13, 13);
    makeLabel(Panel1, QStringLiteral("Net Present Value"), 119, 13);

    Label16 = new QLabel(Panel3);
    Label16->setObjectName(QStringLiteral("Label16"));
    Label16->setText(QStringLiteral(
        "Use this calculator to determine the present value of an investment property's cash flow and sale "
        "proceeds.  Enter each year's cash flow.  For the last year of the holding period, enter the sum of "
        "the cash flow and sale proceeds."));
    Label16->setWordWrap(true);
    Label16->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label16->setGeometry(15, 14, 201, 84);

    auto recalculate = [this](QObject *sender) { CalculateDCF(sender); };

    for (int i = 0; i < YearCount; ++i) {
        auto *edit = new TNumEdit(Panel2);
        edit->setObjectName(QStringLiteral("edtDCFYear%1").arg(i + 1));
        edit->setGeometry(61, YearTops[i], 90, 22);
        configureMoneyField(edit);
        edit->setAccessibleName(QStringLiteral("Cash flow, year %1").arg(i + 1));
        edit->OnExit = recalculate;
        FYears[i] = edit;
    }
    const QFont rateFont = Fonts::Make(QStringLiteral("Arial"), 11);
    const QFont resultFont = Fonts::Make(QStringLiteral("Arial"), 12, true);
    for (int k = 0; k < RateCount; ++k) {
        auto *rate = new TFnpNumericEdit(Panel1);
        rate->setObjectName(QStringLiteral("edtDiscountRate%1").arg(k + 1));
        rate->setGeometry(22, RateTops[k], 67, 22);
        rate->SetDecimals(3);
        rate->SetValue(4.0 + k);
        rate->setFont(rateFont);
        setColors(rate, Qt::white, Qt::black);
        rate->setAccessibleName(QStringLiteral("Discount rate %1").arg(k + 1));
        rate->OnExit = recalculate;
        FRates[k] = rate;

        auto *result = new TNumEdit(Panel1);
        result->setObjectName(QStringLiteral("edtNPV%1").arg(k + 1));
        result->setGeometry(119, RateTops[k], 100, 23);
        configureMoneyField(result);
        result->setReadOnly(true);
        result->setFocusPolicy(Qt::ClickFocus);
        result->setFont(resultFont);
        setColors(result, Qt::yellow, Qt::black);
        result->setAccessibleName(QStringLiteral("Net present value %1").arg(k + 1));
        result->OnExit = recalculate;
        FResults[k] = result;
    }

    // Tab runs through the rates, then the years, and wraps; the results are skipped.
    QWidget *previous = FRates[0];
    for (int k = 1; k < RateCount; ++k) {
        setTabOrder(previous, FRates[k]);
        previous = FRates[k];
    }
    for (TNumEdit *year : FYears) {
        setTabOrder(previous, year);
        previous = year;
    }

    resize(ClientWidth, ClientHeight);
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
        if (app) {
            app->SetHelpFile(ProgramPaths::DataFile(FProgramDir, QStringLiteral("help"), QStringLiteral("tlm.hlp")));
            app->OnActivate = [this] { ApplicationActivate(); };
            app->OnException = [this](QObject *sender, const Exception &e) { AppOnException(sender, e); };
            app->SetHintPause(300);
            connect(app, &QGuiApplication::focusWindowChanged, this, &TfrmMain::TrackFocusWindow);
        }
        FSavedValues.Clear();
        LoadSavedValues();
        DisallowPrinting();
    });
}

void TfrmMain::LoadSavedValues()
{
    FSavedValues.Load(ProfileFile(FSettingsPath));
    for (int i = 0; i < YearCount; ++i)
        FYears[i]->SetValue(FSavedValues.Value(i));
    for (int k = 0; k < RateCount; ++k)
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
    for (int i = 0; i < YearCount; ++i)
        flows[i] = FYears[i]->Value();
    std::array<Real48, RateCount> scaled{};
    for (int k = 0; k < RateCount; ++k)
        scaled[k] = Npv::ScaledRate(FRates[k]->Value());

    for (int i = 0; i < YearCount; ++i)
        FSavedValues.SetSlot(i, ToReal48(flows[i]));
    for (int k = 0; k < RateCount; ++k)
        FSavedValues.SetSlot(SavedValues::FirstRate + k, ToReal48(FRates[k]->Value()));

    // Each result shows as soon as it is known, so a failure at one rate leaves the
    // rates before it updated.
    for (int k = 0; k < RateCount; ++k)
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
    for (TNumEdit *year : FYears)
        year->SetValue(0);
    for (int k = 0; k < RateCount; ++k)
        FRates[k]->SetValue(4.0 + k);
    for (TNumEdit *result : FResults)
        result->SetValue(0);
    FYears[0]->setFocus(Qt::OtherFocusReason);
    DisallowPrinting();
    actReset->setEnabled(false);
}

void TfrmMain::Exit(QObject *)
{
    close();
}

void TfrmMain::AppOnException(QObject *, const Exception &e)
{
    const bool math = dynamic_cast<const EMathError *>(&e) != nullptr;
    MessageBox::MessageDlg(math ? MathErrorText : UnidentifiedErrorText, mtInformation);
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
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
}

void TfrmMain::TrackFocusWindow(QWindow *window)
{
    if (window == windowHandle())
        return;
    bool ownWindow = false;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (top->windowHandle() == window) {
            ownWindow = !qobject_cast<QMessageBox *>(top);
            break;
        }
    }
    FOwnWindowWasActive = ownWindow;
}

void TfrmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow())
        return;
    // Activation counts when the window is first shown and when one of our own windows
    // that was shown over it has closed; a message box or another program does not.
    const bool activate = !FShownOnce || FOwnWindowWasActive;
    FShownOnce = true;
    FOwnWindowWasActive = false;
    if (activate)
        RunHandled(this, [this] { FormActivate(); });
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
