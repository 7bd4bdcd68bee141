#include "platform/core/ProgramPaths.h"
#include "platform/core/PlatformLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

#include <unistd.h>

namespace {

QString withSlash(QString dir)
{
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

bool sameFolder(const QString &a, const QString &b)
{
    return QDir::cleanPath(QFileInfo(a).absoluteFilePath()) == QDir::cleanPath(QFileInfo(b).absoluteFilePath());
}

} // namespace

namespace ProgramPaths {

QString ProgramDir()
{
    return withSlash(QCoreApplication::applicationDirPath());
}

QString UserConfigDir()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return withSlash(base + QStringLiteral("/Corvane/Tallowmere"));
}

QString SettingsFile(const QString &programDir, const QString &fileName)
{
    const QString beside = withSlash(programDir) + fileName;
    if (QFileInfo::exists(beside)) {
        qCDebug(lcPlatform) << "settings: found beside the program:" << beside;
        return beside;
    }
    const bool installed = sameFolder(programDir, QStringLiteral(TALLOWMERE_INSTALL_BINDIR));
    if (!installed && ::access(QFile::encodeName(programDir).constData(), W_OK) == 0) {
        qCDebug(lcPlatform) << "settings: beside the program, its folder being writable:" << beside;
        return beside;
    }
    qCDebug(lcPlatform) << "settings: in the user's configuration folder:" << UserConfigDir() + fileName
                        << (installed ? "(installed program)" : "(program folder not writable)");
    return UserConfigDir() + fileName;
}

QString DataFile(const QString &programDir, const QString &subdir, const QString &fileName)
{
    const QString beside = withSlash(programDir) + fileName;
    if (QFileInfo::exists(beside))
        return beside;
    const QString besideSub = withSlash(programDir) + subdir + QLatin1Char('/') + fileName;
    if (QFileInfo::exists(besideSub))
        return besideSub;
    return QStringLiteral(TALLOWMERE_INSTALL_DATADIR "/") + subdir + QLatin1Char('/') + fileName;
}

QString LocalizedDataFile(const QString &programDir, const QString &subdir, const QString &fileName,
                          const QStringList &uiLanguages, const QString &sourceLanguage)
{
    const int dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot < 0 ? fileName : fileName.left(dot);
    const QString extension = dot < 0 ? QString() : fileName.mid(dot);
    for (const QString &tag : uiLanguages) {
        const QLocale locale(tag);
        if (locale.language() == QLocale::C) {
            if (tag == QLatin1String("C") || tag == QLatin1String("POSIX"))
                break;
            continue; // a language Qt does not know
        }
        const QString language = QLocale::languageToCode(locale.language());
        if (language == sourceLanguage)
            break;
        // "de-DE" tries de_DE, then de; a bare "de" tries de only.
        QStringList names{language};
        if (tag.contains(QLatin1Char('-')) && locale.name() != language)
            names.prepend(locale.name());
        for (const QString &name : names) {
            const QString translated = stem + QLatin1Char('.') + name + extension;
            const QString path = DataFile(programDir, subdir, translated);
            if (QFileInfo::exists(path)) {
                qCDebug(lcPlatform) << "data file for" << tag << ":" << path;
                return path;
            }
        }
    }
    return DataFile(programDir, subdir, fileName);
}

} // namespace ProgramPaths
