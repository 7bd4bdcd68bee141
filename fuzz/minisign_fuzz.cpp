// Reads arbitrary bytes as a minisign signature file, as public keys and as a trusted
// comment: the readers must never crash or hang, and whatever they accept has the sizes
// the format fixes. A signature that parses is checked against a real key, so the
// verification and the release rules run on it too.
#include "update/core/MinisignKey.h"
#include "update/core/MinisignSignature.h"
#include "update/core/UpdateSignature.h"

#include <QBuffer>
#include <QByteArray>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    if (const auto signature = TMinisignSignature::Parse(bytes)) {
        if (size > size_t(TMinisignSignature::MaxFileSize) || signature->KeyId().size() != TMinisignKey::KeyIdSize ||
            signature->Signature().size() != 64 || signature->GlobalSignature().size() != 64)
            __builtin_trap();
    }
    static const QList<TMinisignKey> keys = *TMinisignKey::ParseList(
        QStringLiteral("RWRsdqzoTZP4u3D0MhxWvFVGSW6erh/eSU3ysB1m6g0gabEhwehZsiRS"), QStringLiteral("fuzz"));
    const TReleaseExpectation expected{QStringLiteral("Tallowmere"), QStringLiteral("msg"), QStringLiteral("1.2.00"),
                                       QStringLiteral("1.1.00"), QDate(2030, 1, 1)};
    TUpdateSignature checked = TUpdateSignature::Check(bytes, keys, expected);
    if (checked.Accepted()) {
        QByteArray file = "Tallowmere fixed vector\n";
        QBuffer buffer(&file);
        buffer.open(QIODevice::ReadOnly);
        checked.CheckFile(buffer);
    } else if (checked.Reason().isEmpty()) {
        __builtin_trap();
    }
    TUpdateSignature::TrustedFields(bytes);

    if (const auto parsed = TMinisignKey::ParseList(QString::fromLatin1(bytes), QStringLiteral("fuzz"))) {
        for (const TMinisignKey &key : *parsed) {
            if (key.KeyId().size() != TMinisignKey::KeyIdSize || key.Key().size() != TMinisignKey::KeySize ||
                key.KeyIdText().size() != 16)
                __builtin_trap();
        }
    }
    TMinisignKey::ParsePublicKeyFile(bytes, QStringLiteral("fuzz"));
    return 0;
}
