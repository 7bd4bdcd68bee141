#include "tools/schedule/ScheduleProgram.h"
#include "tools/schedule/ScheduleLog.h"

#include "app/core/SavedValues.h"
#include "app/profile/NpvProfile.h"
#include "app/profile/ProfilePicture.h"
#include "platform/core/Exceptions.h"
#include "platform/core/ProfileFile.h"
#include "platform/gui/Application.h"
#include "report/QRPrinter.h"
#include "report/QRReport.h"
#include "tools/schedule/ScheduleCsv.h"
#include "tools/schedule/ScheduleReport.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QSaveFile>
#include <cmath>
#include <cstdio>

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

int CsvFailure(const QString &message)
{
    std::fprintf(stderr, "tallowmere-schedule: %s\n", qPrintable(message));
    return 1;
}

void SetCaptions()
{
    QRPrinter()->SetPreviewCaption(Caption());
    QRPrinter()->SetProgressCaption(Caption());
}

} // namespace

QString UsageText()
{
    return QCoreApplication::translate(
        "ScheduleProgram", "Usage: tallowmere-schedule [--help] [--version] [--reinvest=PERCENT]\n"
                           "                           [FILE.QRP | [--csv=FILE] [--profile=PICTURE]]\n"
                           "\n"
                           "Shows the discounting schedule of the Tallowmere calculator: the ten yearly cash\n"
                           "flows and the five discount rates last used in the calculator, one group per\n"
                           "rate with each year's cash flow, discount factor and present value, and the net\n"
                           "present value at the foot of the group, equal to the calculator's result.\n"
                           "The schedule opens in a preview, where it can be printed or saved as a report\n"
                           "file (*.QRP). Given a report file, the program opens that file instead.\n"
                           "Each group also gives the discounted payback year and the modified internal\n"
                           "rate of return (financed at the group's rate), a summary at the end every\n"
                           "internal rate of return of the flows, and the last page the NPV profile: the\n"
                           "net present value against the discount rate.\n"
                           "\n"
                           "The values come from the calculator's settings file, tlm.ini, found as the\n"
                           "calculator finds it.\n"
                           "\n"
                           "  --csv=FILE         write the schedule as comma-separated values to FILE (-\n"
                           "                     for standard output) instead of showing it; needs no\n"
                           "                     display\n"
                           "  --profile=PICTURE  write the NPV profile to PICTURE, a .png or .svg file,\n"
                           "                     instead of showing the schedule (with --csv as well);\n"
                           "                     needs no display\n"
                           "  --reinvest=PERCENT reinvest returns at PERCENT (\".\" decimal point) for the\n"
                           "                     modified internal rate; by default at each group's rate\n"
                           "  --help             print this help and exit\n"
                           "  --version          print the version and exit\n"
                           "\n"
                           "The values file has one table: the column \"section\" says what a row holds\n"
                           "(year, npv, payback, mirr or irr); numbers have a \".\" decimal point and 15\n"
                           "significant digits. Files are written beside their names and then renamed.\n"
                           "Exit status: 0 done, 1 failed, 2 wrong arguments.\n");
}

QString VersionText()
{
    return QStringLiteral("tallowmere-schedule " TALLOWMERE_VERSION "\n");
}

// Long by design: one branch per option, each with its own usage message.
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
    auto bad = [&command](const QString &error) {
        command.Kind = Command::Bad;
        command.Error = error;
        return command;
    };
    // An option of ours with its value: whether the argument is that option.
    auto option = [](const QString &argument, const char *name, QString &value) {
        const QString prefix = QLatin1String(name);
        if (argument != prefix && !argument.startsWith(prefix + QLatin1Char('=')))
            return false;
        value = argument.mid(prefix.size() + 1);
        return true;
    };
    bool csv = false;
    bool profile = false;
    QString reportFile;
    for (const QString &argument : arguments) {
        QString value;
        if (option(argument, "--csv", value)) {
            if (csv)
                return bad(QCoreApplication::translate("ScheduleProgram", "--csv can be given only once"));
            if (value.isEmpty())
                return bad(QCoreApplication::translate(
                    "ScheduleProgram", "--csv needs a file name: --csv=FILE, or --csv=- for standard output"));
            csv = true;
            command.File = value;
        } else if (option(argument, "--profile", value)) {
            if (profile)
                return bad(QCoreApplication::translate("ScheduleProgram", "--profile can be given only once"));
            if (!ProfilePicture::IsPictureName(value))
                return bad(QCoreApplication::translate(
                    "ScheduleProgram", "--profile needs a picture name ending in .png or .svg: --profile=FILE.svg"));
            profile = true;
            command.Profile = value;
        } else if (option(argument, "--reinvest", value)) {
            if (command.ReinvestPercent)
                return bad(QCoreApplication::translate("ScheduleProgram", "--reinvest can be given only once"));
            bool ok = false;
            const double percent = QLocale::c().toDouble(value, &ok);
            if (!ok || !std::isfinite(percent))
                return bad(QCoreApplication::translate("ScheduleProgram",
                                                       "--reinvest needs a rate in percent with a \".\" decimal point: "
                                                       "--reinvest=PERCENT"));
            command.ReinvestPercent = percent;
        } else if (argument.startsWith(QLatin1Char('-')) && argument != QLatin1String("-")) {
            return bad(QCoreApplication::translate("ScheduleProgram", "unknown option %1").arg(argument));
        } else {
            if (!reportFile.isEmpty())
                return bad(QCoreApplication::translate("ScheduleProgram", "only one report file can be opened"));
            reportFile = argument;
        }
    }
    if (!reportFile.isEmpty()) {
        if (csv)
            return bad(QCoreApplication::translate("ScheduleProgram",
                                                   "--csv writes the saved values; it takes no report file"));
        if (profile)
            return bad(QCoreApplication::translate("ScheduleProgram",
                                                   "--profile draws the saved values; it takes no report file"));
        if (command.ReinvestPercent)
            return bad(QCoreApplication::translate("ScheduleProgram",
                                                   "--reinvest applies to the saved values; it takes no report file"));
        command.Kind = Command::OpenFile;
        command.File = reportFile;
    } else if (csv || profile) {
        command.Kind = Command::Csv;
    }
    return command;
}

QStringList WithoutToolkitOptions(const QStringList &arguments)
{
    // Options the Qt GUI application takes out of the command line itself.
    static const QStringList withValue = {QStringLiteral("platform"),
                                          QStringLiteral("platformpluginpath"),
                                          QStringLiteral("platformtheme"),
                                          QStringLiteral("plugin"),
                                          QStringLiteral("qwindowgeometry"),
                                          QStringLiteral("qwindowicon"),
                                          QStringLiteral("qwindowtitle"),
                                          QStringLiteral("display"),
                                          QStringLiteral("geometry"),
                                          QStringLiteral("style"),
                                          QStringLiteral("stylesheet"),
                                          QStringLiteral("session"),
                                          QStringLiteral("title"),
                                          QStringLiteral("name"),
                                          QStringLiteral("fontengine"),
                                          QStringLiteral("visual"),
                                          QStringLiteral("ncols")};
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
    return QCoreApplication::translate("ScheduleProgram",
                                       "Discounting Schedule - Tallowmere Calculator - Corvane Software");
}

int ShowSchedule(const QString &settingsFile, std::optional<double> reinvestPercent)
{
    qCInfo(lcSchedule) << "settings file:" << settingsFile;
    SavedValues values;
    if (const int failed = Reported([&] { values.Load(ProfileFile(settingsFile)); }))
        return failed;
    SetCaptions();
    TScheduleReport form(TDiscountSchedule::FromSavedValues(values, reinvestPercent),
                         QDir::toNativeSeparators(settingsFile));
    return Reported([&] { form.Rep->Preview(); });
}

int WriteCsv(const QString &settingsFile, const QString &target, std::optional<double> reinvestPercent)
{
    qCInfo(lcSchedule) << "settings file:" << settingsFile << "values to:" << target;
    QByteArray text;
    try {
        SavedValues values;
        values.Load(ProfileFile(settingsFile));
        text = ScheduleCsv::Text(TDiscountSchedule::FromSavedValues(values, reinvestPercent));
    } catch (const Exception &e) {
        return CsvFailure(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(settingsFile), e.Message()));
    }
    if (target == QLatin1String("-")) {
        if (std::fwrite(text.constData(), 1, size_t(text.size()), stdout) != size_t(text.size()) ||
            std::fflush(stdout) != 0)
            return CsvFailure(QCoreApplication::translate("ScheduleProgram", "cannot write to standard output"));
        return 0;
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return CsvFailure(QCoreApplication::translate("ScheduleProgram", "cannot write %1: %2")
                              .arg(QDir::toNativeSeparators(target), file.errorString()));
    return 0;
}

int WriteProfile(const QString &settingsFile, const QString &target)
{
    qCInfo(lcSchedule) << "settings file:" << settingsFile << "profile to:" << target;
    SavedValues values;
    try {
        values.Load(ProfileFile(settingsFile));
    } catch (const Exception &e) {
        return CsvFailure(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(settingsFile), e.Message()));
    }
    try {
        const TDiscountSchedule schedule = TDiscountSchedule::FromSavedValues(values);
        ProfilePicture::Save(TNpvProfile(schedule.CashFlows(), schedule.RatesPercent()), target);
    } catch (const Exception &e) {
        return CsvFailure(e.Message());
    }
    return 0;
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
