// libFuzzer target: the chunked-body decoder fed arbitrary bytes in pieces of a size the
// first byte chooses. Every Step consumes something or stops in a final state, content
// never exceeds what came in and always points inside the piece it came from, and the
// same input decodes the same way whole and in pieces.

#include "net/HttpChunkDecoder.h"

#include <QByteArray>
#include <cstdint>

namespace {

struct TOutcome {
    QByteArray Content;
    THttpChunkDecoder::TState State;
};

TOutcome Decode(const char *data, qsizetype length, qsizetype piece)
{
    THttpChunkDecoder decoder;
    TOutcome out;
    for (qsizetype at = 0; at < length; at += piece) {
        const char *p = data + at;
        qsizetype left = qMin(piece, length - at);
        while (left > 0 && decoder.State() != THttpChunkDecoder::Finished &&
               decoder.State() != THttpChunkDecoder::Malformed) {
            const THttpChunkDecoder::TStep step = decoder.Step(p, left);
            if (step.Consumed <= 0 || step.Consumed > left)
                __builtin_trap();
            if (step.ContentLength > 0) {
                if (step.Content < p || step.Content + step.ContentLength > p + left)
                    __builtin_trap();
                out.Content.append(step.Content, step.ContentLength);
            }
            p += step.Consumed;
            left -= step.Consumed;
        }
    }
    out.State = decoder.State();
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const qsizetype piece = 1 + data[0] % 64;
    const char *bytes = reinterpret_cast<const char *>(data + 1);
    const qsizetype length = qsizetype(size - 1);
    const TOutcome pieces = Decode(bytes, length, piece);
    const TOutcome whole = Decode(bytes, length, qMax<qsizetype>(length, 1));
    if (pieces.Content.size() > length || pieces.Content != whole.Content || pieces.State != whole.State)
        __builtin_trap();
    return 0;
}
