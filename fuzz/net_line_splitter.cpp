// libFuzzer target: line mode. Arbitrary bytes arrive in pieces; without line editing
// the delivered lines put together must be exactly the bytes sent, every line but the
// last must end with LineEnd (or be cut at LineLimit). Build as described in
// net_fuzz_peer.h.

#include "fuzz_flags.h"
#include "net_fuzz_peer.h"

#include <cstdint>

// Every piece is a trip through a real connection, so the input is kept short; the line
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
    peer.PieceSize = 1 + data[1] % 32;
    peer.Payload = QByteArray(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));

    TWSocket client;
    client.SetAddr(QStringLiteral("127.0.0.1"));
    client.SetPort(peer.Port);
    client.SetLineEnd(lineEnd);
    client.SetLineMode(true);
    client.SetLineEdit(edit);
    client.SetLineLimit(limit);
    QList<QByteArray> lines;
    bool closed = false;
    client.OnDataAvailable = [&](QObject *, quint16) { lines << client.ReceiveText(); };
    client.OnSessionClosed = [&](QObject *, quint16) { closed = true; };
    client.Connect();
    TFuzzPeer::RunUntil([&] { return closed; });
    if (!edit && closed) {
        if (lines.join() != peer.Payload)
            __builtin_trap();
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            if (!lines[i].endsWith(lineEnd) && lines[i].size() != limit)
                __builtin_trap();
        }
    }
    client.Abort();
    peer.Reset();
    return 0;
}
