#include "update/SideFile.h"

#include <QCryptographicHash>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString SystemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// What a file created by the user's programs gets: all read and write bits the
// process's mask leaves.
mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

TSideFile::TSideFile(const QString &target) : QTemporaryFile(target + QStringLiteral(".XXXXXX.part")), FTarget(target)
{
}

bool TSideFile::Create()
{
    return QTemporaryFile::open(QIODevice::ReadWrite | QIODevice::Unbuffered);
}

bool TSideFile::Sync()
{
    if (::fsync(handle()) != 0) {
        setErrorString(SystemError(errno));
        return false;
    }
    return true;
}

QString TSideFile::Sha256()
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!seek(0) || !hash.addData(this))
        return QString();
    return QString::fromLatin1(hash.result().toHex());
}

bool TSideFile::PutInPlace()
{
    struct stat existing {};
    const QByteArray target = QFile::encodeName(FTarget);
    const mode_t mode = ::stat(target.constData(), &existing) == 0 ? (existing.st_mode & 07777) : NewFileMode();
    if (::fchmod(handle(), mode) != 0) {
        setErrorString(SystemError(errno));
        return false;
    }
    // rename() replaces an existing target in one step, which QFile::rename does not.
    if (std::rename(QFile::encodeName(fileName()).constData(), target.constData()) != 0) {
        setErrorString(SystemError(errno));
        return false;
    }
    setAutoRemove(false);
    close();
    return true;
}
