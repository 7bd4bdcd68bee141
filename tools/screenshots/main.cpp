// Usage: tallowmere-screenshots PROGRAM_DIR OUTPUT_DIR
//
// Runs the calculator's own windows in this process, with PROGRAM_DIR as the
// program's folder (its tlm.ini gives the values and, in [Update], the information
// page to check), and writes OUTPUT_DIR/preview.png (the Print command's preview) and
// OUTPUT_DIR/update-center.png (the Update Center after its check). Each window is
// opened by triggering the command a user would click, and pictured with
// QWidget::grab() once it has finished its work.
#include "app/Main.h"
#include "app/Qrchart.h"
#include "platform/gui/Application.h"
#include "report/Preview.h"
#include "update/Update.h"
#include "update/WebFileInfo.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QLabel>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <functional>

Q_LOGGING_CATEGORY(lcScreenshots, "tallowmere.screenshots", QtWarningMsg)

namespace {

// A message box means the window could not do its work (no answer from the
// information page, say): it is closed and reported, and there is no picture.
bool MessageBoxShown()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible()) {
            qCWarning(lcScreenshots) << "message:" << box->text();
            box->reject();
            return true;
        }
    }
    return false;
}

// Lets the event loop run, the nested loops of modal windows included, until done()
// or the deadline; a window that never gets there is a failure, not a picture.
bool WaitFor(const std::function<bool()> &done, int milliseconds = 30000)
{
    QDeadlineTimer deadline(milliseconds);
    while (!done()) {
        if (deadline.hasExpired() || MessageBoxShown())
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return true;
}

void Settle(int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

template <typename T>
T *VisibleWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<T *>(widget); window && window->isVisible())
            return window;
    }
    return nullptr;
}

bool AnyVisibleWaitWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowTitle() == QLatin1String("Please Wait"))
            return true;
    }
    return false;
}

bool Save(QWidget *window, const QString &file)
{
    if (!window->grab().save(file)) {
        qCWarning(lcScreenshots) << "cannot write" << file;
        return false;
    }
    return true;
}

// Triggers action; while its modal window runs, waits until ready(window) holds,
// saves the picture and closes the window, which returns from the action.
template <typename T, typename Ready>
bool Shoot(QAction *action, const QString &file, Ready ready)
{
    bool saved = false;
    bool failed = false;
    QTimer poll;
    poll.setInterval(100);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        T *window = VisibleWindow<T>();
        if (!window)
            return;
        poll.stop();
        if (!WaitFor([&] { return ready(window); })) {
            qCWarning(lcScreenshots) << window->windowTitle() << "did not finish its work";
            failed = true;
        } else {
            Settle(300); // the last repaints of the page or the labels
            saved = Save(window, file);
        }
        window->close();
    });
    poll.start();
    action->trigger();
    if (!saved && !failed)
        qCWarning(lcScreenshots) << action->text() << "showed no window";
    return saved && !failed;
}

} // namespace

int main(int argc, char **argv)
{
    Application app(argc, argv);
    app.setOrganizationName(QStringLiteral("Corvane"));
    app.setApplicationName(QStringLiteral("Tallowmere"));
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3) {
        qCWarning(lcScreenshots, "usage: tallowmere-screenshots PROGRAM_DIR OUTPUT_DIR");
        return 2;
    }
    const QString programDir = QDir(arguments.at(1)).absolutePath() + QLatin1Char('/');
    const QDir output(arguments.at(2));

    TfrmMain frmMain(programDir);
    TQRPaymentChart chart;
    TfrmPreview frmPreview;
    frmMain.SetReportWindows(&chart, &frmPreview);
    frmMain.show();
    if (!WaitFor(
            [&] { return frmMain.isVisible() && frmMain.windowHandle() && frmMain.windowHandle()->isExposed(); })) {
        qCWarning(lcScreenshots) << "the main window did not appear";
        return 1;
    }
    // Leaving a field computes; the pictures show the results of the saved values.
    frmMain.CalculateDCF(nullptr);
    Settle(200);

    bool ok = Shoot<TfrmPreview>(frmMain.actPrint, output.filePath(QStringLiteral("preview.png")),
                                 [](TfrmPreview *preview) {
                                     // The preview asks to be maximised; with no window manager
                                     // on the display, this does what one would.
                                     const QRect screen = preview->screen()->availableGeometry();
                                     if (preview->isMaximized() && preview->size() != screen.size())
                                         preview->setGeometry(screen);
                                     return preview->windowHandle()->isExposed() && preview->size() == screen.size();
                                 });
    // The Update Center checks the page as soon as it is active; its status line says
    // when the answer is in.
    ok = Shoot<TfrmUpdate>(frmMain.actUpdate, output.filePath(QStringLiteral("update-center.png")),
                           [](TfrmUpdate *update) {
                               const QString status = update->lblUpdateStatus->text();
                               return !AnyVisibleWaitWindow() && (status == QLatin1String("Update Information") ||
                                                                  status == QLatin1String("No Update Available"));
                           }) &&
         ok;
    return ok ? 0 : 1;
}
