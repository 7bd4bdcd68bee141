#include "platform/core/ProgramPaths.h"
#include "platform/core/PlatformLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
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

} // namespace ProgramPaths
