#include "platform/core/ProgramPaths.h"
#include "platform/gui/Application.h"
#include "tools/schedule/ScheduleProgram.h"

#include <QStringList>
#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    // Help and version are answered before anything needs a display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(qPrintable(ScheduleProgram::UsageText()), stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs(qPrintable(ScheduleProgram::VersionText()), stdout);
            return 0;
        }
    }

    Application app(argc, argv);
    app.setOrganizationName(QStringLiteral("Corvane"));
    app.setApplicationName(QStringLiteral("Tallowmere"));
    app.SetTitle(QStringLiteral("Tallowmere discounting schedule"));

    // Qt has taken its own options out of the arguments by now.
    const ScheduleProgram::Command command = ScheduleProgram::ParseArguments(app.arguments().mid(1));
    switch (command.Kind) {
    case ScheduleProgram::Command::Bad:
        std::fprintf(stderr, "tallowmere-schedule: %s\nTry 'tallowmere-schedule --help'.\n", qPrintable(command.Error));
        return 2;
    case ScheduleProgram::Command::OpenFile:
        return ScheduleProgram::ShowFile(command.File);
    case ScheduleProgram::Command::Help:
    case ScheduleProgram::Command::Version:
    case ScheduleProgram::Command::Schedule:
        break;
    }
    return ScheduleProgram::ShowSchedule(
        ProgramPaths::SettingsFile(ProgramPaths::ProgramDir(), QStringLiteral("tlm.ini")));
}
