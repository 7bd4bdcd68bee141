// libFuzzer target: the HTTP client's response path (status line, header lines, body,
// redirects) fed from a real socket, in pieces of a size the first byte chooses. The
// request must end with exactly one OnRequestDone and the body can hold no more than
// the input gave. Every connection goes to the loopback peer: through it as a proxy
// when the first byte's high bit is set, and a redirect to anything but a path
// on it is abandoned, so no name is ever looked up. Build as described in net_fuzz_peer.h.

#include "net_fuzz_peer.h"

#include "net/HttpProt.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static TFuzzPeer peer;
    if (size < 1)
        return 0;
    peer.PieceSize = 1 + (data[0] & 0x3F) * 64;
    peer.Payload = QByteArray(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    THttpCli client;
    client.SetTimeout(2);
    if (data[0] & 0x80) {
        client.SetProxy(QStringLiteral("127.0.0.1:%1").arg(peer.Port));
        client.SetURL(QStringLiteral("http://target.example/fuzz/target.exe?x=1"));
    } else {
        client.SetURL(QStringLiteral("http://127.0.0.1:%1/fuzz/target.exe?x=1").arg(peer.Port));
        // Only a path on this server is followed: any other form of address (absolute,
        // "//host", "name:port/...") may name another host, whose lookup would reach
        // the system's resolver.
        client.OnLocationChange = [&](QObject *) {
            for (const QString &line : client.ReceivedHeader()) {
                // Split as the client splits a header line.
                const qsizetype colon = line.indexOf(QLatin1Char(':'));
                if (colon < 0 || line.left(colon).toLower() != QLatin1String("location"))
                    continue;
                const QString value = line.mid(colon + 1).trimmed();
                if (!value.startsWith(QLatin1Char('/')) || value.startsWith(QLatin1String("//"))) {
                    client.Abort();
                    return;
                }
            }
        };
    }
    int done = 0;
    qint64 body = 0;
    client.OnDocData = [&](QObject *, const char *, int length) { body += length; };
    client.OnRequestDone = [&](QObject *, THttpRequest, quint16) { ++done; };
    client.StartGet();
    TFuzzPeer::RunUntil([&] { return done > 0; });
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    // Redirects to this server read the same bytes again, so the body is bounded by
    // the input times the followed redirects.
    if (done != 1 || body > qint64(size) * (THttpCli::MaxRedirects + 1))
        __builtin_trap();
    peer.Reset();
    return 0;
}
