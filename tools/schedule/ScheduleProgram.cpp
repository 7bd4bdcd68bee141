#include "tools/schedule/ScheduleProgram.h"
#include "tools/schedule/ScheduleLog.h"

#include "app/core/SavedValues.h"
#include "platform/core/ProfileFile.h"
#include "platform/gui/Application.h"
#include "report/QRPrinter.h"
#include "report/QRReport.h"
#include "tools/schedule/ScheduleReport.h"

#include <QDir>

namespace ScheduleProgram {

namespace {

// Runs fn; an error goes to the application's report and makes the exit code 1.
template <typename Fn>
int Reported(Fn &&fn)
{
    try {
        fn();
        return 0;
    } catch (...) {
        if (Application *app = Application::Instance())
            app->HandleException(nullptr);
        return 1;
    }
}

void SetCaptions()
{
    QRPrinter()->SetPreviewCaption(Caption());
    QRPrinter()->SetProgressCaption(Caption());
}

} // namespace

QString UsageText()
{
    return QStringLiteral(
        "Usage: tallowmere-schedule [--help] [--version] [FILE.QRP]\n"
        "\n"
        "Shows the discounting schedule of the Tallowmere calculator: the ten yearly cash\n"
        "flows and the five discount rates last used in the calculator, one group per\n"
        "rate with each year's cash flow, discount factor and present value, and the net\n"
        "present value at the foot of the group, equal to the calculator's result.\n"
        "The schedule opens in a preview, where it can be printed or saved as a report\n"
        "file (*.QRP). Given a report file, the program opens that file instead.\n"
        "\n"
        "The values come from the calculator's settings file, tlm.ini, found as the\n"
        "calculator finds it.\n"
        "\n"
        "  --help     print this help and exit\n"
        "  --version  print the version and exit\n");
}

QString VersionText()
{
    return QStringLiteral("tallowmere-schedule " TALLOWMERE_VERSION "\n");
}

Command ParseArguments(const QStringList &arguments)
{
    Command command;
    for (const QString &argument : arguments) {
        if (argument == QLatin1String("--help")) {
            command.Kind = Command::Help;
            return command;
        }
        if (argument == QLatin1String("--version")) {
            command.Kind = Command::Version;
            return command;
        }
    }
    for (const QString &argument : arguments) {
        if (argument.startsWith(QLatin1Char('-')) && argument != QLatin1String("-")) {
            command.Kind = Command::Bad;
            command.Error = QStringLiteral("unknown option %1").arg(argument);
            return command;
        }
        if (!command.File.isEmpty()) {
            command.Kind = Command::Bad;
            command.Error = QStringLiteral("only one report file can be opened");
            return command;
        }
        command.File = argument;
        command.Kind = Command::OpenFile;
    }
    return command;
}

QStringList WithoutToolkitOptions(const QStringList &arguments)
{
    // Options the Qt GUI application takes out of the command line itself.
    static const QStringList withValue = {
        QStringLiteral("platform"),   QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
        QStringLiteral("plugin"),     QStringLiteral("qwindowgeometry"),    QStringLiteral("qwindowicon"),
        QStringLiteral("qwindowtitle"), QStringLiteral("display"),          QStringLiteral("geometry"),
        QStringLiteral("style"),      QStringLiteral("stylesheet"),         QStringLiteral("session"),
        QStringLiteral("title"),      QStringLiteral("name"),               QStringLiteral("fontengine"),
        QStringLiteral("visual"),     QStringLiteral("ncols")};
    static const QStringList alone = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                      QStringLiteral("nograb"),  QStringLiteral("dograb"),
                                      QStringLiteral("sync"),    QStringLiteral("cmap")};
    QStringList kept;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (!argument.startsWith(QLatin1Char('-'))) {
            kept << argument;
            continue;
        }
        // Qt reads "--platform" as "-platform".
        const int dashes = argument.startsWith(QLatin1String("--")) ? 2 : 1;
        const QString name = argument.mid(dashes).section(QLatin1Char('='), 0, 0);
        if (alone.contains(name) || name.startsWith(QLatin1String("qmljsdebugger")))
            continue;
        if (withValue.contains(name)) {
            if (!argument.contains(QLatin1Char('=')))
                ++i; // its value follows
            continue;
        }
        kept << argument;
    }
    return kept;
}

QString Caption()
{
    return QStringLiteral("Discounting Schedule - Tallowmere Calculator - Corvane Software");
}

int ShowSchedule(const QString &settingsFile)
{
    qCInfo(lcSchedule) << "settings file:" << settingsFile;
    SavedValues values;
    if (const int failed = Reported([&] { values.Load(ProfileFile(settingsFile)); }))
        return failed;
    SetCaptions();
    TScheduleReport form(TDiscountSchedule::FromSavedValues(values), QDir::toNativeSeparators(settingsFile));
    return Reported([&] { form.Rep->Preview(); });
}

int ShowFile(const QString &pageFile)
{
    qCInfo(lcSchedule) << "report file:" << pageFile;
    SetCaptions();
    TQRPrinter *printer = QRPrinter();
    return Reported([&] {
        printer->Load(pageFile);
        struct Discard {
            TQRPrinter *Printer;
            ~Discard() { Printer->ClearPages(); }
        } discard{printer};
        printer->ShowPreview();
    });
}

} // namespace ScheduleProgram
