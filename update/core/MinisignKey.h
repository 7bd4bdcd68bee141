#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// A minisign public key: the base64 line of a .pub file, which holds "Ed", the 8-byte
// key id and the 32-byte Ed25519 key. The name is ours: who the key stands for, as the
// install question shows it.
class TMinisignKey {
public:
    static constexpr int KeyIdSize = 8;
    static constexpr int KeySize = 32;

    // The base64 text of one key, nothing around it. Anything but exactly the 42
    // bytes in canonical base64 with the "Ed" mark gives nothing.
    static std::optional<TMinisignKey> Parse(const QByteArray &base64, const QString &name);

    // One or more keys separated by blanks or tabs; nothing when any of them does not
    // parse or there is none.
    static std::optional<QList<TMinisignKey>> ParseList(const QString &text, const QString &name);

    // A .pub file as minisign writes it: an "untrusted comment: " line, then the key.
    static std::optional<TMinisignKey> ParsePublicKeyFile(const QByteArray &file, const QString &name);

    const QByteArray &KeyId() const { return FKeyId; }
    const QByteArray &Key() const { return FKey; }
    const QString &Name() const { return FName; }

    // The key id as minisign prints it: the 8 bytes read as a little-endian number, in
    // 16 upper-case hexadecimal digits.
    QString KeyIdText() const { return KeyIdText(FKeyId); }
    static QString KeyIdText(const QByteArray &keyId);

private:
    QByteArray FKeyId;
    QByteArray FKey;
    QString FName;
};
