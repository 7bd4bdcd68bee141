#include "update/core/MinisignVerifier.h"

#include "update/core/Blake2b512.h"

#include <QIODevice>

#include <memory>
#include <openssl/evp.h>

namespace {

struct PKeyFree {
    void operator()(EVP_PKEY *key) const { EVP_PKEY_free(key); }
};
struct MdCtxFree {
    void operator()(EVP_MD_CTX *ctx) const { EVP_MD_CTX_free(ctx); }
};

const uchar *Bytes(const QByteArray &bytes)
{
    return reinterpret_cast<const uchar *>(bytes.constData());
}

} // namespace

const TMinisignKey *TMinisignVerifier::KeyFor(const TMinisignSignature &signature) const
{
    for (const TMinisignKey &key : FKeys) {
        if (key.KeyId() == signature.KeyId())
            return &key;
    }
    return nullptr;
}

bool TMinisignVerifier::VerifyTrustedComment(const TMinisignKey &key, const TMinisignSignature &signature)
{
    return VerifyEd25519(key.Key(), signature.Signature() + signature.TrustedComment(), signature.GlobalSignature());
}

bool TMinisignVerifier::VerifyFile(const TMinisignKey &key, const TMinisignSignature &signature, QIODevice &file)
{
    return VerifyHash(key, signature, Blake2b512(file));
}

QByteArray TMinisignVerifier::Blake2b512(QIODevice &file)
{
    if (!file.isSequential() && !file.seek(0))
        return {};
    TBlake2b512 hash;
    QByteArray chunk(ChunkSize, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(chunk.data(), ChunkSize);
        if (got < 0)
            return {};
        if (got == 0)
            break;
        hash.Add(chunk.constData(), got);
    }
    return hash.Result();
}

bool TMinisignVerifier::VerifyHash(const TMinisignKey &key, const TMinisignSignature &signature, const QByteArray &hash)
{
    return hash.size() == TBlake2b512::HashSize && VerifyEd25519(key.Key(), hash, signature.Signature());
}

bool TMinisignVerifier::VerifyEd25519(const QByteArray &key, const QByteArray &message, const QByteArray &signature)
{
    if (key.size() != TMinisignKey::KeySize || signature.size() != TMinisignSignature::SignatureSize)
        return false;
    const std::unique_ptr<EVP_PKEY, PKeyFree> pkey(
        EVP_PKEY_new_raw_public_key(EVP_PKEY_ED25519, nullptr, Bytes(key), size_t(key.size())));
    const std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx(EVP_MD_CTX_new());
    if (!pkey || !ctx || EVP_DigestVerifyInit(ctx.get(), nullptr, nullptr, nullptr, pkey.get()) != 1)
        return false;
    return EVP_DigestVerify(ctx.get(), Bytes(signature), size_t(signature.size()), Bytes(message),
                            size_t(message.size())) == 1;
}
