#pragma once

#include <QByteArray>
#include <memory>

struct evp_md_ctx_st;

// BLAKE2b-512 (OpenSSL's) over bytes given in pieces, so a large file is hashed as it
// goes by and never held whole.
class TBlake2b512 {
public:
    TBlake2b512();
    ~TBlake2b512();
    TBlake2b512(const TBlake2b512 &) = delete;
    TBlake2b512 &operator=(const TBlake2b512 &) = delete;

    void Add(const char *data, qsizetype length);
    // The 64-byte hash of everything added; empty when OpenSSL failed at any step.
    // Nothing may be added afterwards.
    QByteArray Result();

    static constexpr int HashSize = 64;

private:
    struct Free {
        void operator()(evp_md_ctx_st *ctx) const;
    };
    std::unique_ptr<evp_md_ctx_st, Free> FContext;
    bool FFailed = false;
};
