#pragma once

#include "update/core/MinisignKey.h"
#include "update/core/MinisignSignature.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>

class QIODevice;

// What an update must have been signed for to be kept and offered to run.
struct TReleaseExpectation {
    // This program's name, as the trusted comment's product= names it.
    QString Product;
    // The last path segment of the page's update address (see SignedFileName).
    QString FileName;
    // The version the page offers, and the running program's.
    QString PageVersion;
    QString CurrentVersion;
    // Today in UTC.
    QDate Today;
};

// The maker's signature over an update: the minisign signature file, read and checked
// against the program's keys and against what the page offers. The trusted comment
// holds blank- or tab-separated name=value fields: product=, version= and file= are
// required, expires=YYYY-MM-DD is optional, other names are ignored.
//
// Check decides everything the signature file alone can tell, before anything is
// downloaded; CheckFile then decides whether the downloaded bytes are what was signed.
// Each failure leaves one reason in the words the user is shown.
class TUpdateSignature {
public:
    static TUpdateSignature Check(const QByteArray &signatureFile, const QList<TMinisignKey> &keys,
                                  const TReleaseExpectation &expected);

    // Whether the file (read from its start) is what the signature signs; on failure
    // Reason() says why.
    bool CheckFile(QIODevice &file);
    // The same for the file's BLAKE2b-512 hash, made as it was written.
    bool CheckHash(const QByteArray &hash);

    bool Accepted() const { return FSignature && FReason.isEmpty(); }
    const QString &Reason() const { return FReason; }
    // The key that signed, once Check accepted the signature.
    const TMinisignKey &Key() const { return FKey; }

    // The name=value fields of a trusted comment; nothing when a known name comes
    // twice.
    static std::optional<QHash<QString, QString>> TrustedFields(const QByteArray &comment);

    // The file name a signature must carry for the update at url on the page at
    // pageUrl: the last path segment of url resolved against the page, without query
    // or fragment, percent-decoded.
    static QString SignedFileName(const QString &pageUrl, const QString &url);

    static const QString NotPublished;
    static const QString NotMinisign;
    static const QString Mismatch;
    static const QString UntrustedKey; // %1 key id
    static const QString OtherVersion; // %1 signed, %2 on the page
    static const QString NotNewer;     // %1 signed, %2 running
    static const QString OtherFile;    // %1 signed, %2 on the page
    static const QString OtherProduct; // %1 signed
    static const QString Expired;      // %1 the date

private:
    QString FReason;
    std::optional<TMinisignSignature> FSignature;
    TMinisignKey FKey;
};
