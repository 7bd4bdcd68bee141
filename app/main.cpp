#include "app/Main.h"
#include "app/Qrchart.h"
#include "app/SplashScreen.h"
#include "platform/core/ProgramPaths.h"
#include "platform/gui/Application.h"
#include "report/Preview.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstring>

namespace {

bool handleCommandLine(int argc, char **argv, int &exitCode)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("tallowmere 1.1\n");
            exitCode = 0;
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("Usage: tallowmere [--help] [--version]\n\n"
                        "Tallowmere, a net present value calculator. Type ten yearly cash flows and\n"
                        "five discount rates; the five net present values follow every change.\n");
            exitCode = 0;
            return true;
        }
    }
    return false;
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
