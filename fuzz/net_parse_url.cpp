// libFuzzer target: URL parsing and refusal, the encoding of the request target, the
// strict readers of the status line and Content-Length, and the date format of
// If-Modified-Since.

#include "net/HttpUtil.h"

#include <cmath>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const TUrlParts parts = ParseUrl(text);
    // Every piece is taken from the input; none can be longer than it.
    if (parts.Host.size() > text.size() || parts.Path.size() > text.size() || parts.Port.size() > text.size())
        __builtin_trap();
    // What is not refused goes on the wire: no control byte may be left in it.
    if (UrlRefusal(text).isEmpty()) {
        for (const QChar c : EncodeRequestTarget(parts.Path))
            if (c.unicode() <= 0x20 || c.unicode() >= 0x7F)
                __builtin_trap();
    }
    int status = 0;
    QString reason;
    if (ParseStatusLine(text, &status, &reason) && (status < 100 || status > 999))
        __builtin_trap();
    qint64 length = -1;
    if (ParseContentLength(text, &length) && length < 0)
        __builtin_trap();
    if (size >= sizeof(double)) {
        double value;
        std::memcpy(&value, data, sizeof value);
        if (std::isfinite(value) && std::fabs(value) < 2.9e6)
            FormatRfc1123Date(value);
    }
    return 0;
}
