#include "app/Main.h"
#include "app/Qrchart.h"
#include "app/SplashScreen.h"
#include "i18n/Translations.h"
#include "platform/core/ProgramPaths.h"
#include "platform/gui/Application.h"
#include "report/Preview.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstring>

namespace {

QString helpText()
{
    return QCoreApplication::translate("ProgramEntry",
                                       "Usage: tallowmere [--help] [--version]\n"
                                       "\n"
                                       "Tallowmere, a net present value calculator. Type ten yearly cash flows and\n"
                                       "five discount rates; the five net present values follow every change.\n"
                                       "The inputs are kept in tlm.ini: beside the program when it can be written\n"
                                       "there, otherwise in ~/.config/Corvane/Tallowmere/. Press F1 for help.\n"
                                       "\n"
                                       "  --help     print this help and exit\n"
                                       "  --version  print the version and exit\n"
                                       "\n"
                                       "Qt's own options (-platform, -display, ...) are accepted as well. Set\n"
                                       "QT_LOGGING_RULES=\"tallowmere.*.debug=true\" for a trace on standard error.\n");
}

bool handleCommandLine(int argc, char **argv, int &exitCode)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("tallowmere %s\n", TALLOWMERE_VERSION);
            exitCode = 0;
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            // Answered before any window, in the user's language.
            int count = argc;
            QCoreApplication app(count, argv);
            Translations::Install();
            std::fputs(qPrintable(helpText()), stdout);
            exitCode = 0;
            return true;
        }
    }
    return false;
}

// The program's picture for the window decorations and the task bar: the installed
// theme icon when there is one, else the same drawings carried inside the program.
QIcon programIcon()
{
    QIcon carried;
    for (int size : {16, 32, 48, 64, 128, 256})
        carried.addFile(QStringLiteral(":/icons/tallowmere-%1.png").arg(size), QSize(size, size));
    return QIcon::fromTheme(QStringLiteral("tallowmere"), carried);
}

} // namespace

int main(int argc, char **argv)
{
    int exitCode = 0;
    if (handleCommandLine(argc, argv, exitCode))
        return exitCode;

    Application app(argc, argv);
    app.setOrganizationName(QStringLiteral("Corvane"));
    app.setApplicationName(QStringLiteral("Tallowmere"));
    app.setApplicationVersion(QStringLiteral(TALLOWMERE_VERSION));
    // Lets the desktop match the windows with the installed tallowmere.desktop.
    QGuiApplication::setDesktopFileName(QStringLiteral("tallowmere"));
    Q_INIT_RESOURCE(app);
    QApplication::setWindowIcon(programIcon());
    Translations::Install();

    // The splash is on screen, fully painted, while the rest of start-up runs; it hides
    // itself when its timer fires and lives until the program ends.
    auto *splash = new TSplashScreen(nullptr);
    splash->Timer1->start();
    splash->setCursor(Qt::WaitCursor);
    splash->show();
    splash->repaint();
    app.processEvents(QEventLoop::ExcludeUserInputEvents);

    app.SetTitle(QStringLiteral("Tallowmere, 1.1"));

    TfrmMain frmMain(ProgramPaths::ProgramDir());
    TQRPaymentChart QRPaymentChart;
    TfrmPreview frmPreview;
    frmMain.SetReportWindows(&QRPaymentChart, &frmPreview);
    // Only the main window's close ends the program, whatever else is still open.
    app.setQuitOnLastWindowClosed(false);
    QObject::connect(&frmMain, &TfrmMain::Closed, &app, &QCoreApplication::quit);

    const QRect screen = frmMain.screen()->availableGeometry();
    frmMain.move(screen.center() - frmMain.frameGeometry().center() + frmMain.pos());
    frmMain.show();
    // Stay-on-top is the window manager's to honour; without one the splash would end
    // up under the window shown after it.
    if (splash->isVisible())
        splash->raise();
    const int result = app.exec();
    delete splash;
    return result;
}
