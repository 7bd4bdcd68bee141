#include "app/Main.h"
#include "platform/core/ProgramPaths.h"
#include "platform/gui/Application.h"

#include <QGuiApplication>
#include <QScreen>
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
    app.SetTitle(QStringLiteral("Tallowmere, 1.1"));

    TfrmMain frmMain(ProgramPaths::ProgramDir());
    const QRect screen = frmMain.screen()->availableGeometry();
    frmMain.move(screen.center() - frmMain.rect().center());
    frmMain.show();
    return app.exec();
}
