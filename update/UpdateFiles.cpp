#include "update/UpdateFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

namespace UpdateFiles {

QString FileNameOfUrl(const QString &url)
{
    return url.mid(url.lastIndexOf(QLatin1Char('/')) + 1);
}

// A name from an address becomes a file in a folder of our choosing: it must name a
// file there, not the folder itself or its parent.
bool UsableFileName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..");
}

QString UnusableNameError(const QString &url)
{
    return QCoreApplication::translate("UpdateFiles", "The address %1 names no file to save").arg(url);
}

// Read-me files go to a folder of our own inside the temporary folder, so that a name
// chosen by the server can neither collide with nor be redirected onto someone else's
// file there. The folder stays for the viewer that opens the file.
QString ReadMeFolder()
{
    static QString folder;
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tallowmere-XXXXXX"));
        dir.setAutoRemove(false);
        folder = dir.isValid() ? dir.path() + QLatin1Char('/') : QDir::tempPath() + QLatin1Char('/');
    }
    return folder;
}

QString DocumentFileName(const QString &name, ContentSniffer::TDocumentKind kind)
{
    const QString suffix = ContentSniffer::Suffix(kind);
    const bool fits = name.endsWith(suffix, Qt::CaseInsensitive) ||
                      (kind == ContentSniffer::dkHtml && name.endsWith(QLatin1String(".htm"), Qt::CaseInsensitive));
    return fits ? name : name + suffix;
}

QString StartRefusal(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    const QString notStarted =
        QCoreApplication::translate("UpdateFiles", "The update was saved as %1 but was not started: ").arg(path);
    const QString advice = QCoreApplication::translate(
        "UpdateFiles", ".\rMove it to a folder only you can write to and start it from there.");
    struct stat dir {};
    struct stat file {};
    if (::stat(QFile::encodeName(folder).constData(), &dir) != 0 ||
        ::lstat(QFile::encodeName(path).constData(), &file) != 0)
        return notStarted + QCoreApplication::translate("UpdateFiles", "it can no longer be found") + advice;
    if (!S_ISREG(file.st_mode))
        return notStarted + QCoreApplication::translate("UpdateFiles", "it is no longer a plain file") + advice;
    if (!(dir.st_mode & (S_IWGRP | S_IWOTH)))
        return QString();
    if (!(dir.st_mode & S_ISVTX))
        return notStarted +
               QCoreApplication::translate(
                   "UpdateFiles",
                   "other users can replace files in the folder %1, so the file that would run might not "
                   "be the file that was checked")
                   .arg(folder) +
               advice;
    if (file.st_uid != ::geteuid())
        return notStarted +
               QCoreApplication::translate(
                   "UpdateFiles",
                   "in the shared folder %1 it belongs to another user, so the file that would run might "
                   "not be the file that was checked")
                   .arg(folder) +
               advice;
    return QString();
}

} // namespace UpdateFiles
