// libFuzzer target: a TLS handshake whose server side is arbitrary bytes, fed straight
// to the socket's TLS layer in pieces of a size the first byte chooses, then the
// server's close. Whatever arrives, the handshake is told to have ended exactly once,
// as a failure (no input can carry a certificate that verifies against the system's
// store), the socket ends closed with the same code, and the application receives
// nothing.

#include "net/WSocket.h"

#include <QCoreApplication>
#include <cstdint>

namespace {

QCoreApplication &App()
{
    static int argc = 1;
    static char name[] = "net_tls_handshake";
    static char *argv[] = {name, nullptr};
    static auto *app = new QCoreApplication(argc, argv);
    return *app;
}

// The socket with its byte-feeding entry points opened up.
class TFedSocket : public TWSocket {
public:
    using TWSocket::BeginFedHandshake;
    using TWSocket::EndFedHandshake;
    using TWSocket::FeedHandshake;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    App();
    if (size < 1)
        return 0;
    // Pieces of 1 to 64 bytes, or the whole input at once.
    const int piece = data[0] == 0 ? int(size) : 1 + data[0] % 64;
    const char *bytes = reinterpret_cast<const char *>(data + 1);
    const int length = int(size - 1);

    TFedSocket socket;
    int done = 0;
    quint16 doneError = 0;
    int closed = 0;
    quint16 closeError = 0;
    QByteArray received;
    socket.OnSslHandshakeDone = [&](QObject *, quint16 error, const QString &) {
        ++done;
        doneError = error;
    };
    socket.OnSessionClosed = [&](QObject *, quint16 error) {
        ++closed;
        closeError = error;
    };
    socket.OnDataAvailable = [&](QObject *, quint16) {
        char buffer[256];
        const int n = socket.Receive(buffer, sizeof buffer);
        if (n > 0)
            received.append(buffer, n);
    };
    // A name, so SNI and the name check are set up as for a real server.
    socket.BeginFedHandshake(QStringLiteral("server.example"));
    for (int at = 0; at < length && socket.State() != wsClosed; at += piece)
        socket.FeedHandshake(bytes + at, qMin(piece, length - at));
    socket.EndFedHandshake();
    if (done != 1 || doneError == 0 || closed != 1 || closeError != doneError || !received.isEmpty() ||
        socket.State() != wsClosed)
        __builtin_trap();
    return 0;
}
