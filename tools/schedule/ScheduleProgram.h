#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The command line and the three things the program does: show the schedule of the
// calculator's saved values, or show a saved report file, each in the engine's own
// preview; or write the schedule as comma-separated values and its NPV profile as a
// picture, without a window.
namespace ScheduleProgram {

QString UsageText();
QString VersionText();

// What the arguments (without the program's name) ask for.
struct Command {
    // Csv: write the values, the picture or both, without a window.
    enum TKind { Schedule, OpenFile, Csv, Help, Version, Bad };
    TKind Kind = Schedule;
    // The report file to open, or the file to write the values to ("-": standard output;
    // empty when only the picture is asked for).
    QString File;
    // The NPV profile's picture, FILE.png or FILE.svg.
    QString Profile;
    // The rate returns are reinvested at for the modified internal rate; without one,
    // each discount rate reinvests at itself.
    std::optional<double> ReinvestPercent;
    QString Error;
};
Command ParseArguments(const QStringList &arguments);
// The arguments of argv (without the program's name) less the toolkit's own options
// and their values, so that a usage error is found before a display is needed.
QStringList WithoutToolkitOptions(const QStringList &arguments);

// The window captions of the preview and of the progress windows.
QString Caption();

// Each returns the exit code; a failure has been shown to the user as a message.
int ShowSchedule(const QString &settingsFile, std::optional<double> reinvestPercent = std::nullopt);
int ShowFile(const QString &pageFile);
// Needs no window and no display: a failure goes to standard error, exit code 1. The
// file is written beside its final name and then put in its place, so a failed write
// leaves an existing file as it was.
int WriteCsv(const QString &settingsFile, const QString &target, std::optional<double> reinvestPercent = std::nullopt);
// The NPV profile of the saved values as PNG or SVG, the same way; needs a
// QGuiApplication (the offscreen platform will do).
int WriteProfile(const QString &settingsFile, const QString &target);

} // namespace ScheduleProgram
