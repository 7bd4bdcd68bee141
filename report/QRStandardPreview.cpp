#include "report/QRStandardPreview.h"

#include "platform/gui/Application.h"
#include "platform/gui/WorkArea.h"
#include "report/QRGlyphs.h"
#include "report/QRPrinter.h"
#include "report/QRPreview.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>
#include <QToolButton>

namespace {

std::function<void(QFileDialog &)> &FileDialogHook()
{
    static std::function<void(QFileDialog &)> hook;
    return hook;
}

constexpr int ToolbarHeight = 32;
constexpr int ButtonTop = 2;
constexpr int ButtonHeight = 28;

// The window keeps the page surface filling everything below the toolbar.
class StandardPreviewWindow : public QDialog {
public:
    using QDialog::QDialog;
    QWidget *FToolbar = nullptr;
    QWidget *FSurface = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QDialog::resizeEvent(event);
        if (FToolbar)
            FToolbar->setGeometry(0, 0, width(), ToolbarHeight);
        if (FSurface)
            FSurface->setGeometry(0, ToolbarHeight, width(), std::max(0, height() - ToolbarHeight));
    }
};

// "Report files|*.QRP": a description and its patterns, as a file dialog filter.
QString DialogFilter(const QString &filter)
{
    const qsizetype bar = filter.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return filter;
    return filter.left(bar) + QStringLiteral(" (") + filter.mid(bar + 1).replace(QLatin1Char(';'), QLatin1Char(' ')) +
           QLatin1Char(')');
}

struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

TQRStandardPreview::TQRStandardPreview(TQRPrinter *printer) : QObject(printer), FPrinter(printer) {}

TQRStandardPreview::~TQRStandardPreview()
{
    delete FWindow.data();
}

void TQRStandardPreview::SetOnFileDialog(std::function<void(QFileDialog &)> onDialog)
{
    FileDialogHook() = std::move(onDialog);
}

QToolButton *TQRStandardPreview::MakeButton(int left, int width, const QString &glyph, const QString &hint)
{
    auto *button = new QToolButton(FToolbar);
    button->setObjectName(glyph);
    button->setGeometry(left, ButtonTop, width, ButtonHeight);
    button->setAutoRaise(true);
    button->setIcon(QIcon(QRGlyph(glyph)));
    button->setIconSize(QSize(20, 20));
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

// Long by design: the window's layout, control by control from left to right.
void TQRStandardPreview::Build()
{
    auto *window = new StandardPreviewWindow(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    FWindow = window;
    window->setObjectName(QStringLiteral("QRStandardPreview"));
    window->setWindowTitle(FPrinter ? FPrinter->PreviewCaption() : QString());
    window->resize(500, 400);
    window->setSizeGripEnabled(false);

    FToolbar = new QWidget(window);
    FToolbar->setObjectName(QStringLiteral("Toolbar"));
    FToolbar->setGeometry(0, 0, 500, ToolbarHeight);
    window->FToolbar = FToolbar;

    int left = 15;
    FFit = MakeButton(left, 28, QStringLiteral("QRBMPFITPAGE"), QRTexts::FitInWindow());
    FActualSize = MakeButton(left += 28, 28, QStringLiteral("QRBMP100"), QRTexts::ActualSize());
    FWidth = MakeButton(left += 28, 28, QStringLiteral("QRBMPWIDTH"), QRTexts::PageWidth());
    // The zoom buttons show the mode in force: one of them is always down.
    auto *zoomGroup = new QButtonGroup(FToolbar);
    zoomGroup->setExclusive(true);
    for (QToolButton *button : {FFit, FActualSize, FWidth}) {
        button->setCheckable(true);
        zoomGroup->addButton(button);
    }
    FFit->setChecked(true);
    FFirst = MakeButton(left += 28 + 10, 28, QStringLiteral("BMPFIRST"), QRTexts::FirstPage());
    FPrev = MakeButton(left += 28, 28, QStringLiteral("BMPPREV"), QRTexts::PreviousPage());
    FPagePanel = new QLabel(FToolbar);
    FPagePanel->setObjectName(QStringLiteral("PagePanel"));
    FPagePanel->setGeometry(left += 28, ButtonTop, 110, ButtonHeight);
    FPagePanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    FPagePanel->setAlignment(Qt::AlignCenter);
    FNext = MakeButton(left += 110, 28, QStringLiteral("BMPNEXT"), QRTexts::NextPage());
    FLast = MakeButton(left += 28, 28, QStringLiteral("BMPLAST"), QRTexts::LastPage());
    FPrint = MakeButton(left += 28, 36, QStringLiteral("BMPPRINT"), QRTexts::PrintReport());
    FSave = MakeButton(left += 36, 36, QStringLiteral("BMPSAVE"), QRTexts::SaveReport());
    FLoad = MakeButton(left += 36, 36, QStringLiteral("BMPLOAD"), QRTexts::LoadReport());
    FExit = new QPushButton(QRTexts::Exit(), FToolbar);
    FExit->setObjectName(QStringLiteral("Exit"));
    FExit->setGeometry(left += 36, ButtonTop, 60, ButtonHeight);
    FExit->setAutoDefault(false);

    FPreview = new TQRPreview(window);
    FPreview->setObjectName(QStringLiteral("Preview"));
    FPreview->setFrameShape(QFrame::NoFrame);
    FPreview->setGeometry(0, ToolbarHeight, 500, 400 - ToolbarHeight);
    FPreview->setFocus();
    window->FSurface = FPreview;

    // A click's failure (a file that will not load or save) reaches the application's
    // error report here; it must not unwind through Qt's signal delivery.
    auto bind = [this](QAbstractButton *button, void (TQRStandardPreview::*handler)()) {
        connect(button, &QAbstractButton::clicked, this,
                [this, button, handler] { RunHandled(button, [&] { (this->*handler)(); }); });
    };
    bind(FFit, &TQRStandardPreview::FitClick);
    bind(FActualSize, &TQRStandardPreview::ActualSizeClick);
    bind(FWidth, &TQRStandardPreview::WidthClick);
    bind(FFirst, &TQRStandardPreview::FirstClick);
    bind(FPrev, &TQRStandardPreview::PrevClick);
    bind(FNext, &TQRStandardPreview::NextClick);
    bind(FLast, &TQRStandardPreview::LastClick);
    bind(FPrint, &TQRStandardPreview::PrintClick);
    bind(FSave, &TQRStandardPreview::SaveClick);
    bind(FLoad, &TQRStandardPreview::LoadClick);
    bind(FExit, &TQRStandardPreview::ExitClick);
    Refresh();
}

void TQRStandardPreview::Show()
{
    if (FWindow)
        return;
    Build();
    const QPointer<QDialog> window = FWindow;
    WorkArea::Fill(window);
    window->exec();
    delete window.data();
}

void TQRStandardPreview::Refresh()
{
    if (!FWindow || !FPrinter)
        return;
    const int page = FPrinter->CurrentPage();
    const int count = FPrinter->PageCount();
    const bool pages = FPrinter->Status() == stFinished;
    FPagePanel->setText(QRTexts::PageOf(page, count));
    FFirst->setEnabled(pages && page > 1);
    FPrev->setEnabled(pages && page > 1);
    FNext->setEnabled(pages && page < count);
    FLast->setEnabled(pages && page < count);
    // Printing and saving need pages: after a failed load the store is empty.
    FPrint->setEnabled(FPrinter->PrinterOK() && pages);
    FSave->setEnabled(pages);
}

void TQRStandardPreview::Relayout()
{
    switch (FPreview->ZoomMode()) {
    case TQRPreview::zmFitPage: FPreview->ZoomToFit(); break;
    case TQRPreview::zmPageWidth: FPreview->ZoomToWidth(); break;
    case TQRPreview::zmFixed: FPreview->UpdateLayout(); break;
    }
    FPreview->Surface()->update();
}

void TQRStandardPreview::ShowPage(int page)
{
    FPreview->SetPageNumber(page);
    Refresh();
}

void TQRStandardPreview::FitClick()
{
    FPreview->ZoomToFit();
    FFit->setChecked(true);
}

void TQRStandardPreview::ActualSizeClick()
{
    FPreview->SetZoom(100);
    FActualSize->setChecked(true);
}

void TQRStandardPreview::WidthClick()
{
    FPreview->ZoomToWidth();
    FWidth->setChecked(true);
}

void TQRStandardPreview::FirstClick()
{
    ShowPage(1);
}

void TQRStandardPreview::PrevClick()
{
    if (FPreview->PageNumber() > 1)
        ShowPage(FPreview->PageNumber() - 1);
}

void TQRStandardPreview::NextClick()
{
    if (FPrinter && FPreview->PageNumber() < FPrinter->PageCount())
        ShowPage(FPreview->PageNumber() + 1);
}

void TQRStandardPreview::LastClick()
{
    if (FPrinter)
        ShowPage(FPrinter->PageCount());
}

void TQRStandardPreview::PrintClick()
{
    const QPointer<TQRStandardPreview> self(this);
    const QPointer<QToolButton> button = FPrint;
    button->setEnabled(false);
    struct Reenable {
        QPointer<TQRStandardPreview> Self;
        ~Reenable()
        {
            if (Self)
                Self->Refresh();
        }
    } reenable{self};
    if (FPrinter)
        FPrinter->Print();
}

void TQRStandardPreview::SaveClick()
{
    const QString fileName = AskFileName(true);
    if (fileName.isEmpty() || !FPrinter)
        return;
    WaitCursor wait;
    FPrinter->Save(fileName);
}

void TQRStandardPreview::LoadClick()
{
    const QPointer<TQRStandardPreview> self(this);
    const QString fileName = AskFileName(false);
    if (!self || fileName.isEmpty() || !FPrinter)
        return;
    // A file that does not load leaves the store, and so the window, as they were.
    FPrinter->Load(fileName);
    if (!self || !FWindow)
        return;
    FPreview->SetPageNumber(1);
    Relayout();
    Refresh();
}

void TQRStandardPreview::ExitClick()
{
    if (FWindow)
        FWindow->reject();
}

QString TQRStandardPreview::AskFileName(bool save)
{
    QFileDialog dialog(FWindow, save ? QRTexts::SaveReport() : QRTexts::LoadReport());
    dialog.setNameFilter(DialogFilter(QRTexts::ReportFiles()));
    dialog.setDefaultSuffix(QStringLiteral("QRP"));
    if (save) {
        // Replacing an existing file is asked about first.
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (const std::function<void(QFileDialog &)> hook = FileDialogHook()) {
        QPointer<QFileDialog> running(&dialog);
        QTimer::singleShot(0, &dialog, [running, hook] {
            if (running)
                hook(*running);
        });
    }
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}
