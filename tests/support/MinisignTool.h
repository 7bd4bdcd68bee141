#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A key pair made by the real minisign tool (without a password) in a temporary
// folder of its own, and signatures made with it, as the maker makes them.
class TMinisignTool {
public:
    TMinisignTool();

    // Empty when the tool is missing or failed; Error() says why.
    bool IsValid() const { return !FPublicKey.isEmpty(); }
    const QString &Error() const { return FError; }

    // The base64 line of the public key, as [Update] PublicKey takes it.
    const QByteArray &PublicKey() const { return FPublicKey; }
    // The key id as minisign prints it.
    const QString &KeyId() const { return FKeyId; }

    // The .minisig text for bytes with the trusted comment; legacy makes the old
    // "Ed" form. Empty when the tool failed.
    QByteArray Sign(const QByteArray &bytes, const QString &trustedComment, bool legacy = false);
    // The same for a file already on disk (the signature is written beside it too).
    QByteArray SignFile(const QString &path, const QString &trustedComment, bool legacy = false);

private:
    bool Run(const QStringList &arguments);

    QTemporaryDir FDir;
    QByteArray FPublicKey;
    QString FKeyId;
    QString FError;
    int FCount = 0;
};
