#include "platform/gui/Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>

namespace Shell {

namespace {

int OpenUrl(const QUrl &url)
{
    if (!url.isValid())
        return ERROR_FILE_NOT_FOUND;
    return QDesktopServices::openUrl(url) ? ShellSuccess : SE_ERR_NOASSOC;
}

// Two letters or more before the colon, so that "C:" style paths never count.
bool HasScheme(const QString &target)
{
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(target).hasMatch();
}

int OpenLocal(const QString &path, const QString &parameters, const QString &directory)
{
    QFileInfo info(path);
    if (info.isRelative())
        info.setFile(QDir(directory.isEmpty() ? QDir::currentPath() : directory), path);
    if (!info.exists())
        return info.dir().exists() ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;

    if (info.isFile() && info.isExecutable()) {
        const QString workDir = directory.isEmpty() ? info.absolutePath() : directory;
        return QProcess::startDetached(info.absoluteFilePath(), QProcess::splitCommand(parameters), workDir)
                   ? ShellSuccess
                   : ERROR_BAD_FORMAT;
    }
    if (!info.isReadable())
        return SE_ERR_ACCESSDENIED;
    return OpenUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

} // namespace

int Execute(QWidget *, const QString &operation, const QString &file, const QString &parameters,
            const QString &directory, int)
{
    if (!operation.isEmpty() && operation.compare(QLatin1String("open"), Qt::CaseInsensitive) != 0)
        return SE_ERR_NOASSOC;

    const QString target = file.trimmed();
    if (target.isEmpty())
        return ERROR_FILE_NOT_FOUND;

    if (HasScheme(target)) {
        const QUrl url(target, QUrl::TolerantMode);
        if (url.isLocalFile())
            return OpenLocal(url.toLocalFile(), parameters, directory);
        return OpenUrl(url);
    }
    if (target.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        return OpenUrl(QUrl(QStringLiteral("http://") + target, QUrl::TolerantMode));
    if (target.startsWith(QLatin1String("ftp."), Qt::CaseInsensitive))
        return OpenUrl(QUrl(QStringLiteral("ftp://") + target, QUrl::TolerantMode));
    return OpenLocal(target, parameters, directory);
}

} // namespace Shell
