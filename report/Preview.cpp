#include "report/Preview.h"

#include "controls/ExplorerButton.h"
#include "controls/Panel.h"
#include "platform/gui/Application.h"
#include "platform/gui/Fonts.h"
#include "platform/gui/HelpViewer.h"
#include "platform/gui/WorkArea.h"
#include "report/QRPrinter.h"
#include "report/QRPreview.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>

static void InitReportResources()
{
    Q_INIT_RESOURCE(report);
}

namespace {

QString PageText(int page, int count)
{
    return TfrmPreview::tr("Page %1 of %2").arg(page).arg(count);
}

} // namespace

// Long by design: the designed layout, control by control from left to right.
TfrmPreview::TfrmPreview(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    InitReportResources();
    setObjectName(QStringLiteral("frmPreview"));
    setWindowTitle(tr("Print Preview - Tallowmere Calculator - Corvane Software"));
    setSizeGripEnabled(false);
    QPalette silver = palette();
    silver.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(silver);
    setAutoFillBackground(true);
    setFont(Fonts::Make(QStringLiteral("Arial"), -11));
    resize(630, 30);

    Panel1 = new TPanel(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, 630, 30);
    Panel1->SetParentColor(true);
    Panel1->SetAlign(alTop);

    Label1 = new QLabel(PageText(1, 1), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(Fonts::Make(QStringLiteral("Arial"), -11, true));
    QPalette black = Label1->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    Label1->setPalette(black);
    Label1->setGeometry(15, 8, 59, 14);

    bbPrev = MakeButton(113, 39, QString(), tr("Displays previous page"), QStringLiteral("prev"), true);
    bbNext = MakeButton(155, 39, QString(), tr("Displays next page"), QStringLiteral("next"), true);
    bbZoomOut = MakeButton(241, 84, tr(" Zoom &Out"), tr("Fits the full page into the window"),
                           QStringLiteral("zoomout"), true);
    bbZoomIn = MakeButton(326, 83, tr(" &100%"), tr("Displays page at actual size"), QStringLiteral("zoom100"), true);
    bbZoomW = MakeButton(410, 83, tr(" Zoom &in"), tr("Fits the width of the page into the window"),
                         QStringLiteral("zoomwidth"), true);
    bbPrint = MakeButton(497, 66, tr(" &Print"), tr("Prints the document"), QStringLiteral("print"), true);
    bbClose = MakeButton(564, 66, tr(" &Close"), tr("Exit print preview"), QStringLiteral("close"), false);
    bbPrev->setObjectName(QStringLiteral("bbPrev"));
    bbNext->setObjectName(QStringLiteral("bbNext"));
    bbZoomOut->setObjectName(QStringLiteral("bbZoomOut"));
    bbZoomIn->setObjectName(QStringLiteral("bbZoomIn"));
    bbZoomW->setObjectName(QStringLiteral("bbZoomW"));
    bbPrint->setObjectName(QStringLiteral("bbPrint"));
    bbClose->setObjectName(QStringLiteral("bbClose"));
    bbPrev->SetEnabled(false);
    bbPrev->OnClick = [this](QObject *) { bbPrevClick(); };
    bbNext->OnClick = [this](QObject *) { bbNextClick(); };
    bbZoomOut->OnClick = [this](QObject *) { bbZoomOutClick(); };
    bbZoomIn->OnClick = [this](QObject *) { bbZoomInClick(); };
    bbZoomW->OnClick = [this](QObject *) { bbZoomWClick(); };
    bbPrint->OnClick = [this](QObject *) { bbPrintClick(); };
    bbClose->OnClick = [this](QObject *) { bbCloseClick(); };

    QRPreview1 = new TQRPreview(this);
    QRPreview1->setObjectName(QStringLiteral("QRPreview1"));
    QRPreview1->setFont(Fonts::Make(QStringLiteral("Arial"), -16));
    QRPreview1->setGeometry(0, 30, 630, 0);
    QRPreview1->setFocus();

    // Key preview: the window sees every key before the control that has the focus.
    QRPreview1->installEventFilter(this);
    QRPreview1->viewport()->installEventFilter(this);
    Panel1->installEventFilter(this);

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

TfrmPreview::~TfrmPreview() = default;

TExplorerButton *TfrmPreview::MakeButton(int left, int width, const QString &caption, const QString &hint,
                                         const QString &glyph, bool popupMark)
{
    auto *button = new TExplorerButton(Panel1);
    button->setGeometry(left, 3, width, 24);
    button->SetLayout(blBitmapLeft);
    TExplorerButtonOptions options = boShowBevel;
    if (popupMark)
        options |= boPopupMark;
    button->SetOptions(options);
    button->SetCaption(caption);
    button->SetHint(hint);
    button->SetShowHint(true);
    button->SetUnselectedFontColor(Qt::black);
    button->SetFontColor(Qt::black);
    button->SetBitmap(QImage(QStringLiteral(":/preview/%1.png").arg(glyph)));
    return button;
}

void TfrmPreview::ShowPage(int page)
{
    QRPreview1->SetPageNumber(page);
    Label1->setText(PageText(QRPreview1->PageNumber(), QRPrinter()->PageCount()));
    Label1->adjustSize();
}

void TfrmPreview::FormShow()
{
    QRPreview1->SetZoom(100);
    Label1->setText(PageText(1, QRPrinter()->PageCount()));
    Label1->adjustSize();
    bbNext->SetEnabled(QRPrinter()->PageCount() != 1);
    bbZoomIn->SetEnabled(false);
    bbZoomW->SetEnabled(true);
    bbZoomOut->SetEnabled(true);
}

void TfrmPreview::FormActivate()
{
    // No taskbar to work around here: the window simply takes the whole work area. An
    // activation that arrives after the window has closed must not bring it back.
    if (!isVisible())
        return;
    WorkArea::Fill(this);
    PlaceRightButtons();
}

void TfrmPreview::PlaceRightButtons()
{
    bbClose->move(width() - 76, bbClose->y());
    bbPrint->move(width() - 144, bbPrint->y());
}

void TfrmPreview::FormClose()
{
    QRPreview1->SetPageNumber(1);
    bbPrev->SetEnabled(false);
    QRPreview1->horizontalScrollBar()->setValue(0);
    QRPreview1->verticalScrollBar()->setValue(0);
}

bool TfrmPreview::FormKeyDown(int key, Qt::KeyboardModifiers shift)
{
    const Qt::KeyboardModifiers held = shift &
                                       (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool ctrlAlone = held == Qt::ControlModifier;
    const int count = QRPrinter()->PageCount();
    if (((key == Qt::Key_PageDown && ctrlAlone) || key == Qt::Key_End) && bbNext->Enabled()) {
        ShowPage(count);
        bbPrev->SetEnabled(true);
        bbNext->SetEnabled(false);
        return true;
    }
    if (((key == Qt::Key_PageUp && ctrlAlone) || key == Qt::Key_Home) && bbPrev->Enabled()) {
        ShowPage(1);
        bbPrev->SetEnabled(false);
        bbNext->SetEnabled(true);
        return true;
    }
    if (key == Qt::Key_PageDown && bbNext->Enabled()) {
        bbNextClick();
        return true;
    }
    if (key == Qt::Key_PageUp && bbPrev->Enabled()) {
        bbPrevClick();
        return true;
    }
    return false;
}

bool TfrmPreview::DialogKey(int key)
{
    QScrollBar *horizontal = QRPreview1->horizontalScrollBar();
    QScrollBar *vertical = QRPreview1->verticalScrollBar();
    switch (key) {
    case Qt::Key_Left: horizontal->setValue(horizontal->value() - 50); return true;
    case Qt::Key_Right: horizontal->setValue(horizontal->value() + 50); return true;
    case Qt::Key_Up: vertical->setValue(vertical->value() - 50); return true;
    case Qt::Key_Down: vertical->setValue(vertical->value() + 50); return true;
    default: return false;
    }
}

void TfrmPreview::bbPrevClick()
{
    if (QRPreview1->PageNumber() > 1)
        ShowPage(QRPreview1->PageNumber() - 1);
    Label1->setText(PageText(QRPreview1->PageNumber(), QRPrinter()->PageCount()));
    Label1->adjustSize();
    bbNext->SetEnabled(true);
    if (QRPreview1->PageNumber() == 1)
        bbPrev->SetEnabled(false);
}

void TfrmPreview::bbNextClick()
{
    if (QRPreview1->PageNumber() < QRPrinter()->PageCount())
        ShowPage(QRPreview1->PageNumber() + 1);
    Label1->setText(PageText(QRPreview1->PageNumber(), QRPrinter()->PageCount()));
    Label1->adjustSize();
    bbPrev->SetEnabled(true);
    if (QRPreview1->PageNumber() == QRPrinter()->PageCount())
        bbNext->SetEnabled(false);
}

void TfrmPreview::bbZoomOutClick()
{
    QRPreview1->ZoomToFit();
    bbZoomOut->SetEnabled(false);
    bbZoomW->SetEnabled(true);
    bbZoomIn->SetEnabled(true);
}

void TfrmPreview::bbZoomInClick()
{
    QRPreview1->SetZoom(100);
    bbZoomIn->SetEnabled(false);
    bbZoomW->SetEnabled(true);
    bbZoomOut->SetEnabled(true);
}

void TfrmPreview::bbZoomWClick()
{
    QRPreview1->ZoomToWidth();
    bbZoomW->SetEnabled(false);
    bbZoomOut->SetEnabled(true);
    bbZoomIn->SetEnabled(true);
}

void TfrmPreview::bbPrintClick()
{
    const QPointer<TfrmPreview> self(this);
    bool printed = false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    {
        struct RestoreCursor {
            ~RestoreCursor() { QApplication::restoreOverrideCursor(); }
        } restore;
        // Declining the file name of a print to a file cancels the print; the preview
        // stays open on the page the user was reading.
        printed = QRPrinter()->Print();
        while (self && printed && FTag > 1) {
            QRPrinter()->Print();
            --FTag;
        }
        if (self)
            FTag = 1;
    }
    if (self && printed)
        close();
}

void TfrmPreview::bbCloseClick()
{
    close();
}

void TfrmPreview::ShowHelp()
{
    const Application *app = Application::Instance();
    HelpViewer::WinHelp(this, app ? app->HelpFile() : QString(), HELP_CONTEXT, HelpContext);
}

void TfrmPreview::done(int result)
{
    FormClose();
    QDialog::done(result);
}

void TfrmPreview::showEvent(QShowEvent *event)
{
    FormShow();
    // Without a window manager no activation may ever come: the window takes the work
    // area as it is shown, before it appears.
    if (!event->spontaneous()) {
        WorkArea::Fill(this);
        PlaceRightButtons();
    }
    QDialog::showEvent(event);
}

bool TfrmPreview::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QDialog::event(event);
}

void TfrmPreview::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    QRPreview1->setGeometry(0, Panel1->height(), width(), std::max(0, height() - Panel1->height()));
    PlaceRightButtons();
}

bool TfrmPreview::HandleKey(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_F1 && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        ShowHelp();
        return true;
    }
    if (FormKeyDown(key, event->modifiers()))
        return true;
    if (DialogKey(key))
        return true;
    // Page keys the window did not use do nothing else; Esc does not close the window.
    return key == Qt::Key_PageDown || key == Qt::Key_PageUp || key == Qt::Key_Home || key == Qt::Key_End ||
           key == Qt::Key_Escape;
}

bool TfrmPreview::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && HandleKey(static_cast<QKeyEvent *>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

void TfrmPreview::keyPressEvent(QKeyEvent *event)
{
    if (HandleKey(event))
        return;
    QDialog::keyPressEvent(event);
}
