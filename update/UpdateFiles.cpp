#include "update/UpdateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

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
    return QStringLiteral("The address %1 names no file to save").arg(url);
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

// A downloaded program arrives without the execute permission a Linux desktop needs
// to start it; scripts and ELF programs get it when the user asked to install.
void MakeStartable(const QString &path)
{
    QFile file(path);
    if (file.permissions() & QFileDevice::ExeOwner)
        return;
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray head = file.read(4);
    file.close();
    if (head.startsWith("#!") || head == QByteArray("\x7f"
                                                    "ELF"))
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

} // namespace UpdateFiles
