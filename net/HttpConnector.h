#pragma once

#include <QByteArray>
#include <QString>

class THttpCli;

// How a client's request reaches the server before the first byte of it is sent: the
// name lookup (skipped when a SOCKS 4A or 5 proxy takes the name), the connection with
// the client's SOCKS settings, for https through an HTTP proxy the CONNECT tunnel, and
// the TLS handshake. Each step moves the client's state on; a failure ends the request
// with its reason. It works on its client's socket and state, whose part it is.
class THttpConnector {
public:
    explicit THttpConnector(THttpCli &client) : FClient(client) {}

    // Starts at the name lookup (the first connection, and each redirect's).
    void Lookup();
    // The socket's events of the set-up.
    void LookupDone(quint16 error);
    void Connected(quint16 error);
    void NoteSocksError(int error, const QString &message);
    void HandshakeDone(quint16 error, const QString &reason);
    // A line of the proxy's answer to CONNECT.
    void TunnelLine(const QByteArray &raw);
    // Why a connection closed before the request went out, with its code.
    QString ClosedBeforeRequest(quint16 error, quint16 *code) const;

private:
    bool ProxyResolvesName() const;
    void ApplySocksSettings();
    void ConnectTo(const QString &address);
    void SendTunnelRequest();
    void StartTls();

    THttpCli &FClient;
    // What the SOCKS layer said of the connection being made, for the reason.
    QString FSocksFailure;
    quint16 FSocksFailureCode = 0;
};
