#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

struct ProgramRun {
    int ExitCode = -1;
    QString Out;
    QString Err;
};

// Starts one of the project's programs, which all land in the test program's folder,
// without a display: --help and --version must answer before anything needs one.
// locale, when given, is the user's: LC_ALL, with no LANGUAGE list to override it.
ProgramRun Start(const QString &name, const QStringList &arguments, const QString &locale = QString())
{
    ProgramRun run;
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!locale.isEmpty()) {
        env.insert(QStringLiteral("LC_ALL"), locale);
        env.remove(QStringLiteral("LANGUAGE"));
    }
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    process.setProcessEnvironment(env);
    process.start(QCoreApplication::applicationDirPath() + QLatin1Char('/') + name, arguments);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = QString::fromUtf8(process.readAllStandardOutput());
    run.Err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

// Every program answers --version with its own name and the one version of the
// project, and --help with a usage line naming it, on standard output, exit status 0.
TEST(CommandLine, EveryProgramAnswersVersionAndHelpAlike)
{
    const QStringList programs = {QStringLiteral("tallowmere"), QStringLiteral("tallowmere-fetch"),
                                  QStringLiteral("tallowmere-schedule")};
    QString version;
    for (const QString &name : programs) {
        if (!QFile::exists(QCoreApplication::applicationDirPath() + QLatin1Char('/') + name))
            GTEST_SKIP() << name.toStdString() << " is not built";
        SCOPED_TRACE(name.toStdString());

        const ProgramRun v = Start(name, {QStringLiteral("--version")});
        EXPECT_EQ(v.ExitCode, 0);
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("^%1 (\\d+\\.\\d+\\.\\d+)\\n$").arg(QRegularExpression::escape(name)))
                .match(v.Out);
        ASSERT_TRUE(m.hasMatch()) << v.Out.toStdString();
        if (version.isEmpty())
            version = m.captured(1);
        EXPECT_EQ(m.captured(1), version) << "the programs disagree on the version";
        EXPECT_TRUE(v.Err.isEmpty()) << v.Err.toStdString();

        const ProgramRun h = Start(name, {QStringLiteral("--help")});
        EXPECT_EQ(h.ExitCode, 0);
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^Usage: \\S*%1 ").arg(QRegularExpression::escape(name)))
                        .match(h.Out)
                        .hasMatch())
            << h.Out.toStdString();
        EXPECT_TRUE(h.Out.contains(QStringLiteral("--version")));
        EXPECT_TRUE(h.Err.isEmpty()) << h.Err.toStdString();
    }
    EXPECT_EQ(version, QStringLiteral(TALLOWMERE_VERSION));
}

// A usage error says what is wrong on standard error and ends with status 2; nothing
// is started.
TEST(CommandLine, UsageErrorsExitWithStatusTwo)
{
    for (const QString &name : {QStringLiteral("tallowmere-fetch"), QStringLiteral("tallowmere-schedule")}) {
        if (!QFile::exists(QCoreApplication::applicationDirPath() + QLatin1Char('/') + name))
            GTEST_SKIP() << name.toStdString() << " is not built";
        SCOPED_TRACE(name.toStdString());
        const ProgramRun r = Start(name, {QStringLiteral("--no-such-option")});
        EXPECT_EQ(r.ExitCode, 2);
        EXPECT_TRUE(r.Out.isEmpty()) << r.Out.toStdString();
        EXPECT_TRUE(r.Err.startsWith(name + QStringLiteral(": "))) << r.Err.toStdString();
    }
}

// Every program speaks the user's language from its first word, and English where the
// language has no translation.
TEST(CommandLine, EveryProgramAnswersInTheUsersLanguage)
{
    struct Row {
        const char *Locale;
        const char *Usage;
        const char *UnknownOption;
    } rows[] = {
        {"fr_FR.UTF-8", "Usage: ", "unknown option --no-such-option"},
        {"de_DE.UTF-8", "Aufruf: ", "unbekannte Option --no-such-option"},
    };
    for (const QString &name :
         {QStringLiteral("tallowmere"), QStringLiteral("tallowmere-fetch"), QStringLiteral("tallowmere-schedule")}) {
        if (!QFile::exists(QCoreApplication::applicationDirPath() + QLatin1Char('/') + name))
            GTEST_SKIP() << name.toStdString() << " is not built";
        for (const Row &row : rows) {
            SCOPED_TRACE(name.toStdString() + " " + row.Locale);
            const ProgramRun h = Start(name, {QStringLiteral("--help")}, QLatin1String(row.Locale));
            EXPECT_EQ(h.ExitCode, 0);
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^%1\\S*%2 ").arg(QLatin1String(row.Usage), name))
                            .match(h.Out)
                            .hasMatch())
                << h.Out.toStdString();
            // The calculator takes every other argument as Qt's; the fetch tool's usage errors
            // are Qt's own words.
            if (name != QLatin1String("tallowmere-schedule"))
                continue;
            const ProgramRun e = Start(name, {QStringLiteral("--no-such-option")}, QLatin1String(row.Locale));
            EXPECT_EQ(e.ExitCode, 2);
            EXPECT_TRUE(e.Err.contains(QString::fromUtf8(row.UnknownOption))) << e.Err.toStdString();
        }
    }
}
