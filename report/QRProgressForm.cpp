#include "report/QRProgressForm.h"

#include "report/QRPrinter.h"
#include "report/QRTypes.h"

#include <QCoreApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

namespace {

// Esc presses the Cancel button instead of hiding the window under the running work.
class ProgressWindow : public QDialog {
public:
    using QDialog::QDialog;
    QPushButton *FCancel = nullptr;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        if (event->key() == Qt::Key_Escape && FCancel) {
            FCancel->click();
            return;
        }
        QDialog::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent *event) override { event->ignore(); }
};

} // namespace

TQRProgressForm::TQRProgressForm(TQRPrinter *printer, QObject *parent) : QObject(parent), FPrinter(printer)
{
    auto *window = new ProgressWindow(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    FWindow = window;
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->setFixedSize(400, 140);
    window->setWindowTitle(printer ? printer->ProgressCaption() : QString());

    FCancelButton = new QPushButton(QRTexts::Cancel(), window);
    FCancelButton->setGeometry(170, 75, 60, 26);
    FCancelButton->setDefault(true);
    FCancelButton->setAutoDefault(true);
    window->FCancel = FCancelButton;

    FLabel = new QLabel(window);
    FLabel->move(20, 10);
    FLabel->resize(360, 20);

    FBar = new QProgressBar(window);
    FBar->setGeometry(20, 40, 360, 20);
    FBar->setRange(0, 1);
    FBar->setValue(0);
    FBar->setTextVisible(false);

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        window->move(area.left() + (area.width() - 400) / 2, area.top() + (area.height() - 140) / 2);
    }

    connect(FCancelButton, &QPushButton::clicked, this, [this] {
        if (FPrinter)
            FPrinter->Cancel();
    });
    FCancelButton->setFocus();
}

TQRProgressForm::~TQRProgressForm()
{
    delete FWindow.data();
}

void TQRProgressForm::SetMax(int max)
{
    FMax = max;
    FStepSize = std::max(1, max / 20);
    FLastStep = 0;
    // A zero maximum must not turn the bar into a busy indicator: it stays still.
    FBar->setRange(0, std::max(1, max));
    FBar->setValue(0);
}

void TQRProgressForm::SetPosition(int position)
{
    if (FMax == 0 || position / FStepSize <= FLastStep)
        return;
    FBar->setValue(std::min(position, FMax));
    FLastStep = position / FStepSize;
}

int TQRProgressForm::Position() const
{
    return FBar->value();
}

void TQRProgressForm::SetText(const QString &text)
{
    FLabel->setText(text);
    QCoreApplication::processEvents();
}

void TQRProgressForm::Show()
{
    FWindow->setCursor(Qt::WaitCursor);
    FWindow->show();
}
