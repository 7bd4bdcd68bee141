#pragma once

#include "update/core/MinisignKey.h"
#include "update/core/MinisignSignature.h"

#include <QByteArray>
#include <QList>

class QIODevice;

// Checks minisign signatures against the keys it holds, with OpenSSL's Ed25519 and
// BLAKE2b-512. The key is found by the signature's key id before any signature is
// checked.
class TMinisignVerifier {
public:
    explicit TMinisignVerifier(QList<TMinisignKey> keys) : FKeys(std::move(keys)) {}

    // The key whose id the signature names, or null when none of ours has it.
    const TMinisignKey *KeyFor(const TMinisignSignature &signature) const;

    // Whether the trusted comment is signed together with the file signature by key.
    static bool VerifyTrustedComment(const TMinisignKey &key, const TMinisignSignature &signature);

    // Whether the file's bytes (read from its start in chunks, never held whole) are
    // what key signed. False as well when the file cannot be read.
    static bool VerifyFile(const TMinisignKey &key, const TMinisignSignature &signature, QIODevice &file);

    // Whether hash is the BLAKE2b-512 hash key signed.
    static bool VerifyHash(const TMinisignKey &key, const TMinisignSignature &signature, const QByteArray &hash);

    // The BLAKE2b-512 hash of everything from the file's start; empty when it cannot
    // be read.
    static QByteArray Blake2b512(QIODevice &file);

    // Ed25519 as OpenSSL has it: the 64-byte signature of message by the 32-byte key.
    static bool VerifyEd25519(const QByteArray &key, const QByteArray &message, const QByteArray &signature);

    // Bytes read at a time while hashing.
    static constexpr qint64 ChunkSize = 256 * 1024;

private:
    QList<TMinisignKey> FKeys;
};
