#include "update/core/UpdateSignature.h"

#include "update/core/MinisignVerifier.h"
#include "update/core/PageLinks.h"
#include "update/core/ProgramVersion.h"

#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

const QString TUpdateSignature::NotPublished = QStringLiteral("No signature was published for the update");
const QString TUpdateSignature::NotMinisign = QStringLiteral(
    "The update's signature file is not in the minisign format");
const QString TUpdateSignature::Mismatch = QStringLiteral("The update's signature does not match the file");
const QString TUpdateSignature::UntrustedKey = QStringLiteral(
    "The update is signed with a key this program does not trust (key %1)");
const QString TUpdateSignature::OtherVersion = QStringLiteral(
    "The update is signed for version %1, the page offers %2");
const QString TUpdateSignature::NotNewer = QStringLiteral(
    "The update is signed for version %1, which is not newer than this program's %2");
const QString TUpdateSignature::OtherFile = QStringLiteral("The update is signed for file %1, the page offers %2");
const QString TUpdateSignature::OtherProduct = QStringLiteral("The update is signed for another product (%1)");
const QString TUpdateSignature::Expired = QStringLiteral("The update's signature expired on %1");

namespace {

const QStringList KnownFields = {QStringLiteral("product"), QStringLiteral("version"), QStringLiteral("file"),
                                 QStringLiteral("expires")};

} // namespace

std::optional<QHash<QString, QString>> TUpdateSignature::TrustedFields(const QByteArray &comment)
{
    static const QRegularExpression blanks(QStringLiteral("[ \t]+"));
    QHash<QString, QString> fields;
    for (const QString &word : QString::fromUtf8(comment).split(blanks, Qt::SkipEmptyParts)) {
        const qsizetype equals = word.indexOf(QLatin1Char('='));
        if (equals <= 0)
            continue;
        const QString name = word.left(equals);
        if (!KnownFields.contains(name))
            continue;
        if (fields.contains(name))
            return std::nullopt;
        fields.insert(name, word.mid(equals + 1));
    }
    return fields;
}

QString TUpdateSignature::SignedFileName(const QString &pageUrl, const QString &url)
{
    const QString path = QUrl(PageLinks::Resolve(pageUrl, url)).path(QUrl::FullyDecoded);
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

TUpdateSignature TUpdateSignature::Check(const QByteArray &signatureFile, const QList<TMinisignKey> &keys,
                                         const TReleaseExpectation &expected)
{
    TUpdateSignature result;
    result.FSignature = TMinisignSignature::Parse(signatureFile);
    if (!result.FSignature) {
        result.FReason = NotMinisign;
        return result;
    }
    const TMinisignSignature &signature = *result.FSignature;
    const TMinisignKey *key = TMinisignVerifier(keys).KeyFor(signature);
    if (!key) {
        result.FReason = UntrustedKey.arg(TMinisignKey::KeyIdText(signature.KeyId()));
        return result;
    }
    result.FKey = *key;
    if (!TMinisignVerifier::VerifyTrustedComment(*key, signature)) {
        result.FReason = Mismatch;
        return result;
    }
    const std::optional<QHash<QString, QString>> fields = TrustedFields(signature.TrustedComment());
    if (!fields || !fields->contains(QStringLiteral("product")) || !fields->contains(QStringLiteral("version")) ||
        !fields->contains(QStringLiteral("file"))) {
        result.FReason = NotMinisign;
        return result;
    }
    const QString product = fields->value(QStringLiteral("product"));
    const QString version = fields->value(QStringLiteral("version"));
    const QString file = fields->value(QStringLiteral("file"));
    if (product != expected.Product)
        result.FReason = OtherProduct.arg(product);
    else if (file != expected.FileName)
        result.FReason = OtherFile.arg(file, expected.FileName);
    else if (version != expected.PageVersion)
        result.FReason = OtherVersion.arg(version, expected.PageVersion);
    else if (ProgramVersion::Compare(version, expected.CurrentVersion) <= 0)
        result.FReason = NotNewer.arg(version, expected.CurrentVersion);
    else if (fields->contains(QStringLiteral("expires"))) {
        const QString text = fields->value(QStringLiteral("expires"));
        const QDate expires = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
        if (text.size() != 10 || !expires.isValid())
            result.FReason = NotMinisign;
        else if (expires < expected.Today)
            result.FReason = Expired.arg(text);
    }
    return result;
}

bool TUpdateSignature::CheckFile(QIODevice &file)
{
    if (!Accepted())
        return false;
    if (!TMinisignVerifier::VerifyFile(FKey, *FSignature, file)) {
        FReason = Mismatch;
        return false;
    }
    return true;
}

bool TUpdateSignature::CheckHash(const QByteArray &hash)
{
    if (!Accepted())
        return false;
    if (!TMinisignVerifier::VerifyHash(FKey, *FSignature, hash)) {
        FReason = Mismatch;
        return false;
    }
    return true;
}
