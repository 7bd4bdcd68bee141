#include "update/core/MinisignKey.h"

#include "update/core/MinisignSignature.h"

#include <QRegularExpression>

std::optional<TMinisignKey> TMinisignKey::Parse(const QByteArray &base64, const QString &name)
{
    const std::optional<QByteArray> bytes = TMinisignSignature::DecodeBase64(base64, 2 + KeyIdSize + KeySize);
    if (!bytes || !bytes->startsWith("Ed"))
        return std::nullopt;
    TMinisignKey key;
    key.FKeyId = bytes->mid(2, KeyIdSize);
    key.FKey = bytes->mid(2 + KeyIdSize);
    key.FName = name;
    return key;
}

std::optional<QList<TMinisignKey>> TMinisignKey::ParseList(const QString &text, const QString &name)
{
    static const QRegularExpression blanks(QStringLiteral("[ \t]+"));
    QList<TMinisignKey> keys;
    for (const QString &word : text.split(blanks, Qt::SkipEmptyParts)) {
        std::optional<TMinisignKey> key = Parse(word.toLatin1(), name);
        if (!key || word.size() != word.toLatin1().size())
            return std::nullopt;
        keys.append(*key);
    }
    if (keys.isEmpty())
        return std::nullopt;
    return keys;
}

std::optional<TMinisignKey> TMinisignKey::ParsePublicKeyFile(const QByteArray &file, const QString &name)
{
    QList<QByteArray> lines = file.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (lines.size() != 2 || !lines[0].startsWith("untrusted comment: "))
        return std::nullopt;
    return Parse(lines[1], name);
}

QString TMinisignKey::KeyIdText(const QByteArray &keyId)
{
    QString text;
    for (qsizetype i = keyId.size() - 1; i >= 0; --i)
        text += QStringLiteral("%1").arg(uchar(keyId[i]), 2, 16, QLatin1Char('0'));
    return text.toUpper();
}
