#include "support/MinisignTool.h"

#include <QFile>
#include <QProcess>

TMinisignTool::TMinisignTool()
{
    if (!FDir.isValid()) {
        FError = QStringLiteral("no temporary folder");
        return;
    }
    if (!Run({QStringLiteral("-G"), QStringLiteral("-W"), QStringLiteral("-p"),
              FDir.filePath(QStringLiteral("key.pub")), QStringLiteral("-s"),
              FDir.filePath(QStringLiteral("key.key"))}))
        return;
    QFile file(FDir.filePath(QStringLiteral("key.pub")));
    if (!file.open(QIODevice::ReadOnly)) {
        FError = QStringLiteral("no public key written");
        return;
    }
    const QList<QByteArray> lines = file.readAll().trimmed().split('\n');
    if (lines.size() != 2) {
        FError = QStringLiteral("unexpected public key file");
        return;
    }
    // The public key file's comment drops the key id's leading zeros; the program
    // always shows all 16 digits.
    FKeyId = QString::fromLatin1(lines[0].mid(lines[0].lastIndexOf(' ') + 1)).rightJustified(16, QLatin1Char('0'));
    FPublicKey = lines[1].trimmed();
}

QByteArray TMinisignTool::Sign(const QByteArray &bytes, const QString &trustedComment, bool legacy)
{
    const QString path = FDir.filePath(QStringLiteral("file%1").arg(++FCount));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    file.close();
    return SignFile(path, trustedComment, legacy);
}

QByteArray TMinisignTool::SignFile(const QString &path, const QString &trustedComment, bool legacy)
{
    const QString signature = path + QStringLiteral(".minisig");
    QStringList arguments{QStringLiteral("-S"),
                          QStringLiteral("-s"),
                          FDir.filePath(QStringLiteral("key.key")),
                          QStringLiteral("-x"),
                          signature,
                          QStringLiteral("-t"),
                          trustedComment,
                          QStringLiteral("-m"),
                          path};
    if (legacy)
        arguments.prepend(QStringLiteral("-l"));
    if (!Run(arguments))
        return {};
    QFile file(signature);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool TMinisignTool::Run(const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("minisign"), arguments);
    process.closeWriteChannel();
    if (!process.waitForStarted(10000)) {
        FError = QStringLiteral("minisign did not start: ") + process.errorString();
        return false;
    }
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        FError = QStringLiteral("minisign %1 failed: %2")
                     .arg(arguments.join(QLatin1Char(' ')), QString::fromLocal8Bit(process.readAll()));
        process.kill();
        process.waitForFinished(5000);
        return false;
    }
    return true;
}
