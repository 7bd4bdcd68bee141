// libFuzzer target: line mode. Arbitrary bytes arrive in pieces; without line editing
// the delivered lines put together must be exactly the bytes sent, every line but the
// last must end with LineEnd (or be cut at LineLimit). The bytes come from the peer of
// net_fuzz_peer.h, through a real local socket.

#include "fuzz_flags.h"
#include "net_fuzz_peer.h"

#include <cstdint>

// Every piece is a trip round the event loop, so the input is kept short; the line
// limits are small enough that such inputs still overrun each of them.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    AddDefaultFlags(argc, argv, {"-max_len=512"});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static TFuzzPeer peer;
    if (size < 2)
        return 0;
    static const char *const ends[] = {"\r\n", "\n", "\r", "END"};
    const QByteArray lineEnd = ends[data[0] % 4];
    const bool edit = data[0] & 0x10;
    const int limit = 16 + (data[0] >> 5) * 64;
    const int pieceSize = 1 + data[1] % 32;
    const QByteArray payload(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));

    TWSocket client;
    client.SetLineEnd(lineEnd);
    client.SetLineMode(true);
    client.SetLineEdit(edit);
    client.SetLineLimit(limit);
    QList<QByteArray> lines;
    bool closed = false;
    client.OnDataAvailable = [&](QObject *, quint16) { lines << client.ReceiveText(); };
    client.OnSessionClosed = [&](QObject *, quint16) { closed = true; };
    client.Dup(peer.Open());
    peer.Feed(payload, pieceSize);
    TFuzzPeer::RunUntil([&] { return closed; });
    if (!edit && closed) {
        if (lines.join() != payload)
            __builtin_trap();
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            if (!lines[i].endsWith(lineEnd) && lines[i].size() != limit)
                __builtin_trap();
        }
    }
    client.Abort();
    return 0;
}
