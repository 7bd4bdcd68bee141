// libFuzzer target: URL parsing, the integer reader of header numbers, and the date
// format of If-Modified-Since. Build as described in net_fuzz_peer.h.

#include "net/HttpUtil.h"
#include "platform/core/Exceptions.h"

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
    try {
        StrToInt(text);
    } catch (const EConvertError &) {
    }
    if (size >= sizeof(double)) {
        double value;
        std::memcpy(&value, data, sizeof value);
        if (std::isfinite(value) && std::fabs(value) < 2.9e6)
            FormatRfc1123Date(value);
    }
    return 0;
}
