#include "net/HttpConnector.h"

#include "net/BestEffort.h"
#include "net/HttpProt.h"
#include "net/HttpRequestWriter.h"
#include "net/WSocketResolve.h"
#include "platform/core/Exceptions.h"

#include <QCoreApplication>

namespace {

QString MessageOf(const std::exception &e)
{
    const auto *own = dynamic_cast<const Exception *>(&e);
    return own ? own->Message() : QString::fromLocal8Bit(e.what());
}

} // namespace

void THttpConnector::Lookup()
{
    THttpCli &c = FClient;
    if (!c.ChangeState(THttpState::LookingUp))
        return;
    c.RestartTimer();
    if (ProxyResolvesName()) {
        // The name goes to the SOCKS proxy as it stands: looking it up here would tell
        // the local resolver where we go, and fail for names only the proxy knows.
        ConnectTo(c.FRoute.HostName);
        return;
    }
    bool refused = false;
    // A host name the socket refuses to look up (an empty one) fails like a name that
    // does not resolve, rather than leaving the client busy for ever.
    if (c.Survives([&] {
            try {
                c.FCtrlSocket->DnsLookup(c.FRoute.HostName);
            } catch (const ESocketException &) {
                refused = true;
            }
        }) &&
        refused)
        LookupDone(Winsock::WSAEINVAL);
}

void THttpConnector::LookupDone(quint16 error)
{
    THttpCli &c = FClient;
    c.RestartTimer();
    if (error != 0) {
        if (c.FState == THttpState::Aborting)
            return;
        c.FReader.Reply.StatusCode = 404;
        c.Fail(QCoreApplication::translate("THttpCli", "can't resolve hostname to IP address"), error);
        c.EndOfConnection();
        return;
    }
    ConnectTo(c.FCtrlSocket->DnsResult());
}

bool THttpConnector::ProxyResolvesName() const
{
    const QString level = FClient.FSocksLevel.toUpper();
    return !FClient.FSocksServer.isEmpty() && (level == QLatin1String("4A") || level == QLatin1String("5"));
}

void THttpConnector::ApplySocksSettings()
{
    // The socket forgets its SOCKS settings at every close, so they go on again for each
    // connection (a redirect makes a new one).
    const THttpCli &c = FClient;
    if (c.FSocksServer.isEmpty())
        return;
    TWSocket &socket = *c.FCtrlSocket;
    socket.SetSocksServer(c.FSocksServer);
    socket.SetSocksPort(c.FSocksPort);
    socket.SetSocksLevel(c.FSocksLevel);
    socket.SetSocksUsercode(c.FSocksUsercode);
    socket.SetSocksPassword(c.FSocksPassword);
    socket.SetSocksAuthentication(c.FSocksAuthentication);
    socket.SetSocksTimeout(c.FSocksTimeout);
}

void THttpConnector::ConnectTo(const QString &address)
{
    THttpCli &c = FClient;
    if (!c.ChangeState(THttpState::LookedUp))
        return;
    FSocksFailure.clear();
    bool failed = false;
    QString message;
    const bool alive = c.Survives([&] {
        try {
            c.FCtrlSocket->SetAddr(address);
            c.FCtrlSocket->SetPort(c.FRoute.Port);
            c.FCtrlSocket->SetProto(QStringLiteral("tcp"));
            ApplySocksSettings();
            c.FCtrlSocket->Connect();
        } catch (const std::exception &e) {
            failed = true;
            message = MessageOf(e);
        }
    });
    if (!alive || !failed)
        return;
    const int code = c.FCtrlSocket->LastError();
    // A refusal of the socket's own (an unusable port, say) has no platform code: its
    // message is the reason.
    const QString why =
        code == 0 ? message
                  : QCoreApplication::translate("THttpCli", "%1 (Error #%2)").arg(SocketErrorDesc(code)).arg(code);
    c.FReader.Reply.StatusCode = 404;
    c.Fail(QCoreApplication::translate("THttpCli", "can't connect: %1").arg(why),
           code == 0 ? quint16(Winsock::WSAEINVAL) : quint16(code));
    if (c.Survives([&] { BestEffort([&] { c.FCtrlSocket->Close(); }); }))
        c.EndOfConnection();
}

void THttpConnector::Connected(quint16 error)
{
    THttpCli &c = FClient;
    c.RestartTimer();
    if (error != 0) {
        c.FReader.Reply.StatusCode = 404;
        c.Fail(FSocksFailure.isEmpty()
                   ? QCoreApplication::translate("THttpCli", "%1 (Error #%2)").arg(SocketErrorDesc(error)).arg(error)
                   : FSocksFailure,
               error);
        c.EndOfConnection();
        return;
    }
    c.FConnected = true;
    if (!c.ChangeState(THttpState::Connected))
        return;
    if (!c.FRoute.Secure)
        c.SendRequestNow();
    else if (c.FRoute.Proxy.isEmpty())
        StartTls();
    else
        SendTunnelRequest();
}

void THttpConnector::NoteSocksError(int error, const QString &message)
{
    FSocksFailure = QCoreApplication::translate("THttpCli", "SOCKS proxy: %1 (Error #%2)").arg(message).arg(error);
    FSocksFailureCode = quint16(error);
}

void THttpConnector::SendTunnelRequest()
{
    THttpCli &c = FClient;
    c.FReader.BeginConnection();
    c.FReader.BeginReply();
    if (!c.ChangeState(THttpState::Tunnelling))
        return;
    const QByteArray request = THttpRequestWriter::TunnelRequest(c.FRoute, c.FProxyUsername, c.FProxyPassword);
    bool failed = false;
    if (c.Survives([&] {
            try {
                c.FCtrlSocket->SendText(request);
            } catch (const std::exception &) {
                failed = true;
            }
        }) &&
        failed)
        c.DoClose();
}

void THttpConnector::TunnelLine(const QByteArray &raw)
{
    const THttpReplyReader::TLine line = FClient.FReader.ReadTunnelLine(raw);
    if (line.Kind == THttpReplyReader::TLine::Failed) {
        FClient.FailReply(line.Error, line.Text);
    } else if (line.Kind == THttpReplyReader::TLine::HeaderEnd) {
        FClient.FReader.BeginReply();
        StartTls();
    }
}

void THttpConnector::StartTls()
{
    THttpCli &c = FClient;
    if (!c.ChangeState(THttpState::Securing))
        return;
    QString failure;
    if (!c.Survives([&] {
            try {
                c.FCtrlSocket->SetSslHostName(c.FRoute.TargetHost);
                c.FCtrlSocket->SetSslCAFile(c.FCAFile);
                c.FCtrlSocket->StartSsl();
            } catch (const std::exception &e) {
                failure = QCoreApplication::translate("THttpCli", "TLS: %1").arg(MessageOf(e));
            }
        }))
        return;
    if (!failure.isEmpty())
        c.FailReply(ErrTlsFailed, failure);
}

void THttpConnector::HandshakeDone(quint16 error, const QString &reason)
{
    THttpCli &c = FClient;
    c.RestartTimer();
    if (c.FState != THttpState::Securing || c.FRequestDoneError != 0)
        return;
    if (error != 0) {
        // The socket closes itself after a refused handshake; its close ends the request.
        c.Fail(QCoreApplication::translate("THttpCli", "TLS: %1").arg(reason), ErrTlsFailed);
        return;
    }
    c.SendRequestNow();
}

QString THttpConnector::ClosedBeforeRequest(quint16 error, quint16 *code) const
{
    if (!FSocksFailure.isEmpty()) {
        *code = FSocksFailureCode;
        return FSocksFailure;
    }
    *code = error ? error : ErrIncomplete;
    return QCoreApplication::translate("THttpCli", "Connection closed before the request was sent");
}
