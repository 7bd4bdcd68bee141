#pragma once

#include <QByteArray>
#include <optional>

// A minisign signature file, read strictly. Four lines, each ending in LF (CR LF is
// taken too; the last line end may be missing):
//   untrusted comment: <text>
//   base64 of "ED", the 8-byte key id and the 64-byte Ed25519 signature of the
//     file's BLAKE2b-512 hash
//   trusted comment: <text>
//   base64 of the 64-byte Ed25519 signature of the file signature followed by the
//     trusted comment's text
// Only the prehashed "ED" form is read; the legacy "Ed" form, which signs the whole
// file, is refused.
class TMinisignSignature {
public:
    // The largest signature file read; minisign's comments are far shorter.
    static constexpr qsizetype MaxFileSize = 8 * 1024;
    static constexpr int SignatureSize = 64;

    static std::optional<TMinisignSignature> Parse(const QByteArray &file);

    const QByteArray &KeyId() const { return FKeyId; }
    // The signature of the file's hash.
    const QByteArray &Signature() const { return FSignature; }
    // The text after "trusted comment: ".
    const QByteArray &TrustedComment() const { return FTrustedComment; }
    // The signature of Signature() + TrustedComment().
    const QByteArray &GlobalSignature() const { return FGlobalSignature; }

    // Standard base64 that decodes to exactly size bytes and is written as the
    // canonical encoding of them (padding included, nothing around it).
    static std::optional<QByteArray> DecodeBase64(const QByteArray &text, qsizetype size);

private:
    QByteArray FKeyId;
    QByteArray FSignature;
    QByteArray FTrustedComment;
    QByteArray FGlobalSignature;
};
