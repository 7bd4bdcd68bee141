#include "update/core/Blake2b512.h"

#include <openssl/evp.h>

void TBlake2b512::Free::operator()(evp_md_ctx_st *ctx) const
{
    EVP_MD_CTX_free(ctx);
}

TBlake2b512::TBlake2b512() : FContext(EVP_MD_CTX_new())
{
    EVP_MD *md = EVP_MD_fetch(nullptr, "BLAKE2B-512", nullptr);
    FFailed = !md || !FContext || EVP_DigestInit_ex(FContext.get(), md, nullptr) != 1;
    EVP_MD_free(md);
}

TBlake2b512::~TBlake2b512() = default;

void TBlake2b512::Add(const char *data, qsizetype length)
{
    if (!FFailed && length > 0 && EVP_DigestUpdate(FContext.get(), data, size_t(length)) != 1)
        FFailed = true;
}

QByteArray TBlake2b512::Result()
{
    if (FFailed)
        return {};
    QByteArray hash(HashSize, Qt::Uninitialized);
    unsigned int length = 0;
    FFailed = true; // the context is spent either way
    if (EVP_DigestFinal_ex(FContext.get(), reinterpret_cast<unsigned char *>(hash.data()), &length) != 1 ||
        length != HashSize)
        return {};
    return hash;
}
