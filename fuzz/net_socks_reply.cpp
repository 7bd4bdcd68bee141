// libFuzzer target: SOCKS 4, 4A and 5 negotiation (with and without authentication)
// answered by arbitrary bytes fed straight to the socket's negotiation, in pieces of a
// size the second byte chooses, then the proxy's close. Whatever arrives, the
// negotiation ends connected or failed, exactly once, and never hands the application
// more than the input held.

#include "net/WSocket.h"

#include <QCoreApplication>
#include <cstdint>

namespace {

QCoreApplication &App()
{
    static int argc = 1;
    static char name[] = "net_socks_reply";
    static char *argv[] = {name, nullptr};
    static auto *app = new QCoreApplication(argc, argv);
    return *app;
}

// The socket with its byte-feeding entry points opened up.
class TFedSocket : public TWSocket {
public:
    using TWSocket::BeginFedNegotiation;
    using TWSocket::EndFedNegotiation;
    using TWSocket::FeedNegotiation;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    App();
    if (size < 2)
        return 0;
    static const char *const levels[] = {"4", "4A", "5", "5"};
    const int choice = data[0] % 4;
    const int piece = 1 + data[1] % 16;
    const char *bytes = reinterpret_cast<const char *>(data + 2);
    const int length = int(size - 2);

    TFedSocket socket;
    // A dotted address at level 4: the proxy gets it without a lookup.
    socket.SetAddr(choice == 0 ? QStringLiteral("127.0.0.1") : QStringLiteral("target.example"));
    socket.SetPort(QStringLiteral("80"));
    socket.SetSocksServer(QStringLiteral("127.0.0.1"));
    socket.SetSocksPort(QStringLiteral("1080"));
    socket.SetSocksLevel(QLatin1String(levels[choice]));
    if (choice == 3) {
        socket.SetSocksAuthentication(socksAuthenticateUsercode);
        socket.SetSocksUsercode(QStringLiteral("user"));
        socket.SetSocksPassword(QStringLiteral("password"));
    }
    int connected = 0;
    QByteArray received;
    socket.OnSessionConnected = [&](QObject *, quint16) { ++connected; };
    socket.OnDataAvailable = [&](QObject *, quint16) {
        char buffer[256];
        const int n = socket.Receive(buffer, sizeof buffer);
        if (n > 0)
            received.append(buffer, n);
    };
    socket.BeginFedNegotiation();
    for (int at = 0; at < length && socket.State() != wsClosed; at += piece)
        socket.FeedNegotiation(bytes + at, qMin(piece, length - at));
    socket.EndFedNegotiation();
    if (connected != 1 || received.size() > length || socket.State() != wsClosed)
        __builtin_trap();
    return 0;
}
