#include "update/core/MinisignSignature.h"

#include "update/core/MinisignKey.h"

#include <QList>

namespace {

const QByteArray UntrustedPrefix = "untrusted comment: ";
const QByteArray TrustedPrefix = "trusted comment: ";

// The file split into lines without their ends; nothing when a line holds a control
// character other than a tab (a CR only right before the LF).
std::optional<QList<QByteArray>> Lines(const QByteArray &file)
{
    QList<QByteArray> lines = file.split('\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        for (const char c : line) {
            if ((uchar(c) < 0x20 && c != '\t') || c == 0x7F)
                return std::nullopt;
        }
    }
    return lines;
}

} // namespace

std::optional<QByteArray> TMinisignSignature::DecodeBase64(const QByteArray &text, qsizetype size)
{
    const QByteArray::FromBase64Result decoded = QByteArray::fromBase64Encoding(
        text, QByteArray::Base64Encoding | QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != size || decoded.decoded.toBase64() != text)
        return std::nullopt;
    return decoded.decoded;
}

std::optional<TMinisignSignature> TMinisignSignature::Parse(const QByteArray &file)
{
    if (file.size() > MaxFileSize)
        return std::nullopt;
    const std::optional<QList<QByteArray>> lines = Lines(file);
    if (!lines || lines->size() != 4)
        return std::nullopt;
    const QList<QByteArray> &l = *lines;
    if (!l[0].startsWith(UntrustedPrefix) || !l[2].startsWith(TrustedPrefix))
        return std::nullopt;
    const std::optional<QByteArray> signature = DecodeBase64(l[1], 2 + TMinisignKey::KeyIdSize + SignatureSize);
    const std::optional<QByteArray> global = DecodeBase64(l[3], SignatureSize);
    if (!signature || !global || !signature->startsWith("ED"))
        return std::nullopt;
    TMinisignSignature result;
    result.FKeyId = signature->mid(2, TMinisignKey::KeyIdSize);
    result.FSignature = signature->mid(2 + TMinisignKey::KeyIdSize);
    result.FTrustedComment = l[2].mid(TrustedPrefix.size());
    result.FGlobalSignature = *global;
    return result;
}
