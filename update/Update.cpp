#include "update/Update.h"

#include "controls/Panel.h"
#include "platform/gui/ActivationTracker.h"
#include "platform/gui/Fonts.h"
#include "update/WebFileInfo.h"
#include "update/core/ProgramVersion.h"
#include "update/WfiWindows.h"

#include <QCoreApplication>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <algorithm>
#include <memory>

// The library is static: its pictures are registered by hand before the first use.
static void InitUpdateResources()
{
    Q_INIT_RESOURCE(update);
}

TWebFileInfo *TfrmUpdate::WebFileInfo() const
{
    return FWebFileInfo;
}

const QString TfrmUpdate::CurrentVersion = ProgramVersion::Current();
const QString TfrmUpdate::CurrentCompileDate = QStringLiteral("April 25, 1999");

namespace {

const QColor clBlack(0, 0, 0);
const QColor clGreen(0x00, 0x80, 0x00);
const QColor clSilver(0xC0, 0xC0, 0xC0);
const QColor clBlue(0x00, 0x00, 0xFF);
const QColor clRed(0xFF, 0x00, 0x00);
const QColor clWhite(0xFF, 0xFF, 0xFF);

void SetColor(QLabel *label, const QColor &color)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
}

// An auto-sized label follows its caption, as the designed labels do.
void SetCaption(QLabel *label, const QString &caption)
{
    label->setText(caption);
    if (label->property("autoSize").toBool())
        label->adjustSize();
}

// The hourglass for the whole screen, restored on every way out.
class TScreenCursor {
public:
    TScreenCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TScreenCursor() { Restore(); }
    void Restore()
    {
        if (FActive)
            QApplication::restoreOverrideCursor();
        FActive = false;
    }

private:
    bool FActive = true;
};

class TBusy {
public:
    explicit TBusy(bool &flag) : FFlag(flag) { FFlag = true; }
    ~TBusy() { FFlag = false; }

private:
    bool &FFlag;
};

} // namespace

TfrmUpdate::TfrmUpdate(TWebFileInfo *webFileInfo, QWidget *parent) : QDialog(parent), FWebFileInfo(webFileInfo)
{
    InitUpdateResources();
    setObjectName(QStringLiteral("frmUpdate"));
    setWindowTitle(QCoreApplication::translate("TfrmUpdate", "Corvane Software Update Center"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFont(Fonts::Make(QStringLiteral("Arial"), -11));
    setFixedSize(428, 231);
    BuildLayout();
    WfiWindowFrame::CentreOnScreen(*this);
    // Activation counts when the window is first shown and when one of our own windows
    // shown over it has closed; a message box does not count, so a failure report cannot
    // start the check that failed all over again. The check runs outside the activation
    // event, so that its own modal windows do not run inside it.
    new ActivationTracker(this, [this] {
        if (!FBusy)
            QTimer::singleShot(0, this, [this] { CheckUpdate(); });
    });
    FormCreate();
}

TfrmUpdate::~TfrmUpdate() = default;

void TfrmUpdate::ShowUpdateCenter(TWebFileInfo *webFileInfo, QWidget *mainWindow)
{
    if (mainWindow)
        mainWindow->repaint();
    const std::unique_ptr<TfrmUpdate> form(new TfrmUpdate(webFileInfo));
    form->exec();
}

QToolButton *TfrmUpdate::MakeButton(const QString &name, const QString &caption, const QString &hint,
                                    const QString &glyph, const QRect &geometry)
{
    auto *button = new QToolButton(this);
    button->setObjectName(name);
    button->setText(caption);
    button->setIcon(QIcon(glyph));
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setStatusTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(geometry);
    return button;
}

QLabel *TfrmUpdate::MakeLabel(const QString &name, const QString &caption, int left, int top, const QColor &color,
                              bool bold)
{
    auto *label = new QLabel(Panel1);
    label->setObjectName(name);
    label->setFont(Fonts::Make(QStringLiteral("Arial"), -11, bold));
    label->setProperty("autoSize", true);
    label->move(left, top);
    SetColor(label, color);
    SetCaption(label, caption);
    return label;
}

QLabel *TfrmUpdate::MakeRightLabel(const QString &name, const QString &caption, int left, int top, int width)
{
    QLabel *label = MakeLabel(name, caption, left, top, clBlack);
    label->setProperty("autoSize", false);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    // The widths were laid out for a narrower face than ours: a caption that does not
    // fit grows to the left, so its right edge stays against the value it names.
    const int needed = label->fontMetrics().horizontalAdvance(caption);
    const int right = left + width;
    const int grown = std::min(std::max(width, needed), right);
    label->setGeometry(right - grown, top, grown, label->height());
    return label;
}

// Long by design: the designed layout, control by control from top to bottom.
void TfrmUpdate::BuildLayout()
{
    btnClose = MakeButton(QStringLiteral("btnClose"), QCoreApplication::translate("TfrmUpdate", "Close"),
                          QCoreApplication::translate("TfrmUpdate", " Close Update Center"),
                          QStringLiteral(":/update/close.png"), QRect(295, 200, 115, 25));
    connect(btnClose, &QToolButton::clicked, this, [this] { CloseUpdateCenter(); });
    btnRetrieveUpdate = MakeButton(QStringLiteral("btnRetrieveUpdate"),
                                   QCoreApplication::translate("TfrmUpdate", "Retrieve Update"),
                                   QCoreApplication::translate("TfrmUpdate", " Retrieve Update"),
                                   QStringLiteral(":/update/retrieve.png"), QRect(157, 200, 115, 25));
    btnRetrieveUpdate->setEnabled(false);
    connect(btnRetrieveUpdate, &QToolButton::clicked, this, [this] { RetrieveUpdate(); });
    btnCheckForUpdate = MakeButton(QStringLiteral("btnCheckForUpdate"),
                                   QCoreApplication::translate("TfrmUpdate", "Check for Update"),
                                   QCoreApplication::translate("TfrmUpdate", " Check for Update"),
                                   QStringLiteral(":/update/check.png"), QRect(18, 200, 115, 25));
    btnCheckForUpdate->setVisible(false);
    connect(btnCheckForUpdate, &QToolButton::clicked, this, [this] { CheckUpdate(); });

    Panel1 = new TPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(6, 6, 416, 186);
    Panel1->SetBevelInner(bvRaised);
    Panel1->SetBevelOuter(bvLowered);
    Panel1->SetColor(clWhite);

    Image1 = new QLabel(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    const QPixmap picture(QStringLiteral(":/update/update_center.png"));
    Image1->setPixmap(picture);
    Image1->setGeometry(268, 25, picture.width(), picture.height());

    Label7 = MakeLabel(QStringLiteral("Label7"), QCoreApplication::translate("TfrmUpdate", "Current Application"), 124,
                       14, clBlack, true);
    Label7->setAutoFillBackground(true);
    QPalette opaque = Label7->palette();
    opaque.setColor(QPalette::Window, clWhite);
    Label7->setPalette(opaque);

    Label1 = MakeRightLabel(QStringLiteral("Label1"), QCoreApplication::translate("TfrmUpdate", "Application Name:"),
                            32, 34, 86);
    lblApplicationName = MakeLabel(QStringLiteral("lblApplicationName"),
                                   QCoreApplication::translate("TfrmUpdate", " Tallowmere Calculator"), 124, 34,
                                   clGreen);
    Label2 = MakeRightLabel(QStringLiteral("Label2"), QCoreApplication::translate("TfrmUpdate", "Developer:"), 66, 53,
                            52);
    lblDeveloper = MakeLabel(QStringLiteral("lblDeveloper"), QStringLiteral(" Corvane Software"), 124, 53, clGreen);
    Label8 = MakeRightLabel(QStringLiteral("Label8"), QCoreApplication::translate("TfrmUpdate", "Current Version:"), 38,
                            72, 80);
    lblCurrentVersion = MakeLabel(QStringLiteral("lblCurrentVersion"),
                                  QCoreApplication::translate("TfrmUpdate", " Current Version"), 124, 72, clGreen);
    Label10 = MakeRightLabel(QStringLiteral("Label10"),
                             QCoreApplication::translate("TfrmUpdate", "Current Compile Date:"), 14, 91, 104);
    lblCurrentCompileDate = MakeLabel(QStringLiteral("lblCurrentCompileDate"),
                                      QCoreApplication::translate("TfrmUpdate", " Current Compile Date"), 124, 91,
                                      clGreen);
    lblUpdateStatus = MakeLabel(QStringLiteral("lblUpdateStatus"),
                                QCoreApplication::translate("TfrmUpdate", "Update Status:  Unknown"), 124, 131, clBlack,
                                true);
    Label4 = MakeRightLabel(QStringLiteral("Label4"), QCoreApplication::translate("TfrmUpdate", "Version on Server:"),
                            26, 153, 92);
    lblVersion = MakeLabel(QStringLiteral("lblVersion"), QCoreApplication::translate("TfrmUpdate", "Status Unknown"),
                           124, 153, clSilver);

    // Filled by every check but never shown.
    Label5 = MakeLabel(QStringLiteral("Label5"), QCoreApplication::translate("TfrmUpdate", "Online Information:"), 243,
                       95, clBlack);
    lblReadMe = MakeLabel(QStringLiteral("lblReadMe"), QCoreApplication::translate("TfrmUpdate", "Status Unknown"), 339,
                          96, clSilver);
    lblReadMe->setProperty("autoSize", false);
    lblReadMe->resize(250, lblReadMe->height());
    Label6 = MakeLabel(QStringLiteral("Label6"), QCoreApplication::translate("TfrmUpdate", "Download URL:"), 257, 115,
                       clBlack);
    lblURL = MakeLabel(QStringLiteral("lblURL"), QCoreApplication::translate("TfrmUpdate", "Status Unknown"), 339, 115,
                       clSilver);
    lblURL->setProperty("autoSize", false);
    lblURL->resize(250, lblURL->height());
    Label3 = MakeLabel(QStringLiteral("Label3"), QCoreApplication::translate("TfrmUpdate", "Compile Date:"), 267, 134,
                       clBlack);
    lblDate = MakeLabel(QStringLiteral("lblDate"), QCoreApplication::translate("TfrmUpdate", "Status Unknown"), 340,
                        134, clSilver);
    for (QLabel *hidden : {Label5, lblReadMe, Label6, lblURL, Label3, lblDate})
        hidden->setVisible(false);
    // These show what the server's page says: markup in it is text, never formatting.
    for (QLabel *fromPage : {lblVersion, lblReadMe, lblURL, lblDate})
        fromPage->setTextFormat(Qt::PlainText);
}

void TfrmUpdate::FormCreate()
{
    SetCaption(lblCurrentVersion, CurrentVersion);
    SetCaption(lblCurrentCompileDate, CurrentCompileDate);
}

void TfrmUpdate::CheckUpdate()
{
    if (FBusy || !FWebFileInfo)
        return;
    TBusy busy(FBusy);
    TScreenCursor cursor;
    if (!FWebFileInfo->GetInfo()) {
        cursor.Restore();
        ShowPlainMessage(
            QCoreApplication::translate("TfrmUpdate", "Get Info failed due to:\r\n%1").arg(FWebFileInfo->LastError()));
        return;
    }
    SetColor(lblUpdateStatus, clRed);
    SetCaption(lblUpdateStatus, QCoreApplication::translate("TfrmUpdate", "Update Information"));
    SetCaption(lblDate, FWebFileInfo->ProductDateStr());
    SetCaption(lblVersion, FWebFileInfo->ProductVersion());
    SetCaption(lblReadMe, FWebFileInfo->ProductReadMe());
    SetCaption(lblURL, FWebFileInfo->DownloadURL());
    for (QLabel *label : {lblDate, lblVersion, lblReadMe, lblURL})
        SetColor(label, clBlue);
    if (IsUpdateAvailable())
        btnRetrieveUpdate->setEnabled(true);
    else
        SetCaption(lblUpdateStatus, QCoreApplication::translate("TfrmUpdate", "No Update Available"));
}

bool TfrmUpdate::IsUpdateAvailable() const
{
    return InfoPage::IsNewerVersion(CurrentVersion, lblVersion->text(), wfivBuildNumber);
}

void TfrmUpdate::RetrieveUpdate()
{
    if (FBusy || !FWebFileInfo || !FWebFileInfo->Active())
        return;
    TBusy busy(FBusy);
    FWebFileInfo->ExecuteUpdate();
}

void TfrmUpdate::CloseUpdateCenter()
{
    close();
}
