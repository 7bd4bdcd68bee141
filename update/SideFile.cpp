#include "update/SideFile.h"

#include "update/core/ContentSniffer.h"

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

bool TSideFile::PutInPlace(bool mayRun)
{
    // The mode is set on the open file, the very bytes that were checked, before its
    // name becomes the target's.
    char head[4] = {};
    const ssize_t got = ::pread(handle(), head, sizeof head, 0);
    const bool program = mayRun && got > 0 && ContentSniffer::IsProgram(QByteArray(head, int(got)));
    const QByteArray target = QFile::encodeName(FTarget);
    if (::fchmod(handle(), program ? 0700 : 0600) != 0) {
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
