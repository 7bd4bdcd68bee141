// libFuzzer target: SOCKS 4, 4A and 5 negotiation (with and without authentication)
// answered by arbitrary bytes from a real socket. Whatever arrives, the negotiation
// ends connected or closed, never past the reply buffer. Build as described in
// net_fuzz_peer.h.

#include "net_fuzz_peer.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static TFuzzPeer proxy;
    if (size < 2)
        return 0;
    static const char *const levels[] = {"4", "4A", "5", "5"};
    const int choice = data[0] % 4;
    proxy.PieceSize = 1 + data[1] % 16;
    proxy.Payload = QByteArray(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2));

    TWSocket client;
    client.SetAddr(choice == 0 ? QStringLiteral("127.0.0.1") : QStringLiteral("target.example"));
    client.SetPort(QStringLiteral("80"));
    client.SetSocksServer(QStringLiteral("127.0.0.1"));
    client.SetSocksPort(proxy.Port);
    client.SetSocksLevel(QLatin1String(levels[choice]));
    if (choice == 3) {
        client.SetSocksAuthentication(socksAuthenticateUsercode);
        client.SetSocksUsercode(QStringLiteral("user"));
        client.SetSocksPassword(QStringLiteral("password"));
    }
    bool closed = false;
    QByteArray received;
    client.OnSessionClosed = [&](QObject *, quint16) { closed = true; };
    client.OnDataAvailable = [&](QObject *, quint16) { received += client.ReceiveText(); };
    client.Connect();
    TFuzzPeer::RunUntil([&] { return closed || client.State() == wsClosed; });
    if (received.size() > proxy.Payload.size())
        __builtin_trap();
    client.Abort();
    proxy.Reset();
    return 0;
}
