#pragma once

#include <QString>
#include <QStringList>

// Where the programs of the project find their own files. Every executable uses the
// same rules, so the calculator and its companion tools share one settings file.
namespace ProgramPaths {

// The folder of the running executable, with a trailing "/".
QString ProgramDir();

// The settings file: beside the program when it already exists there, or when the
// program runs from a writable folder other than the installed bin folder; otherwise
// the same name in the per-user configuration folder (~/.config/Corvane/Tallowmere).
QString SettingsFile(const QString &programDir, const QString &fileName);

// The per-user configuration folder used by SettingsFile, with a trailing "/".
QString UserConfigDir();

// A data file such as the help file: beside the program when present there, else in
// the installed data folder (share/tallowmere/<subdir>).
QString DataFile(const QString &programDir, const QString &subdir, const QString &fileName);

// A data file in the user's language, such as the help file: for the first of uiLanguages
// (BCP 47 tags in order of preference, as QLocale::uiLanguages() gives them) that has
// one, its translation "<name>.<language>.<extension>" (tlm.pt_BR.hlp, else tlm.pt.hlp)
// found by DataFile's rule. A language whose code is sourceLanguage (the language
// fileName itself is written in) or the C locale ends the search: that reader gets
// fileName, as does one whose languages have no translation.
QString LocalizedDataFile(const QString &programDir, const QString &subdir, const QString &fileName,
                          const QStringList &uiLanguages, const QString &sourceLanguage = QStringLiteral("en"));

} // namespace ProgramPaths
