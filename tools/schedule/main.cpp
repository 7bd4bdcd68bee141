#include "platform/core/ProgramPaths.h"
#include "i18n/Translations.h"
#include "platform/gui/Application.h"
#include "tools/schedule/ScheduleProgram.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>
#include <memory>

static int UsageError(const QString &error)
{
    std::fprintf(stderr, "tallowmere-schedule: %s\n%s\n", qPrintable(error),
                 qPrintable(QCoreApplication::translate("ScheduleProgram", "Try 'tallowmere-schedule --help'.")));
    return 2;
}

// Help and usage errors are answered before the application the command needs exists:
// a plain one for the moment, so that they come in the user's language.
static int Answer(int argc, char **argv, const QStringList &arguments)
{
    QCoreApplication app(argc, argv);
    Translations::Install();
    const ScheduleProgram::Command command = ScheduleProgram::ParseArguments(arguments);
    if (command.Kind == ScheduleProgram::Command::Help) {
        std::fputs(qPrintable(ScheduleProgram::UsageText()), stdout);
        return 0;
    }
    return UsageError(command.Error);
}

int main(int argc, char **argv)
{
    // Help, version and usage errors are answered before anything needs a display.
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    const ScheduleProgram::Command early = ScheduleProgram::ParseArguments(ScheduleProgram::WithoutToolkitOptions(raw));
    switch (early.Kind) {
    case ScheduleProgram::Command::Help:
    case ScheduleProgram::Command::Bad: return Answer(argc, argv, ScheduleProgram::WithoutToolkitOptions(raw));
    case ScheduleProgram::Command::Version: std::fputs(qPrintable(ScheduleProgram::VersionText()), stdout); return 0;
    case ScheduleProgram::Command::Csv: {
        // Files only: no window, so no display is needed. The picture is drawn off screen.
        std::unique_ptr<QCoreApplication> app;
        if (early.Profile.isEmpty()) {
            app = std::make_unique<QCoreApplication>(argc, argv);
        } else {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            app = std::make_unique<QGuiApplication>(argc, argv);
        }
        app->setOrganizationName(QStringLiteral("Corvane"));
        app->setApplicationName(QStringLiteral("Tallowmere"));
        Translations::Install();
        const QString settings = ProgramPaths::SettingsFile(ProgramPaths::ProgramDir(), QStringLiteral("tlm.ini"));
        if (!early.File.isEmpty()) {
            if (const int failed = ScheduleProgram::WriteCsv(settings, early.File, early.ReinvestPercent))
                return failed;
        }
        return early.Profile.isEmpty() ? 0 : ScheduleProgram::WriteProfile(settings, early.Profile);
    }
    default: break;
    }

    Application app(argc, argv);
    app.setOrganizationName(QStringLiteral("Corvane"));
    app.setApplicationName(QStringLiteral("Tallowmere"));
    Translations::Install();
    app.SetTitle(QCoreApplication::translate("ScheduleProgram", "Tallowmere discounting schedule"));

    // Qt has taken its own options out of the arguments by now.
    const ScheduleProgram::Command command = ScheduleProgram::ParseArguments(app.arguments().mid(1));
    switch (command.Kind) {
    case ScheduleProgram::Command::Bad: return UsageError(command.Error);
    case ScheduleProgram::Command::OpenFile: return ScheduleProgram::ShowFile(command.File);
    case ScheduleProgram::Command::Help:
    case ScheduleProgram::Command::Version:
    case ScheduleProgram::Command::Csv:
    case ScheduleProgram::Command::Schedule: break;
    }
    return ScheduleProgram::ShowSchedule(
        ProgramPaths::SettingsFile(ProgramPaths::ProgramDir(), QStringLiteral("tlm.ini")), command.ReinvestPercent);
}
