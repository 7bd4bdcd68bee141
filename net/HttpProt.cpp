#include "net/HttpProt.h"

#include "net/BestEffort.h"
#include "net/HttpUtil.h"
#include "net/NetLog.h"
#include "net/WSocketResolve.h"
#include "platform/core/Exceptions.h"

#include <QPointer>
#include <cstring>

THttpCli::THttpCli(QObject *owner) : QObject(owner), FReceiveBuffer(std::make_unique<char[]>(LineBufferSize))
{
    FWindow = std::make_unique<TMessageWindow>([this](TMessage &msg) { WndProc(msg); });
    FCtrlSocket = std::make_unique<TWSocket>();
    FCtrlSocket->OnSessionConnected = [this](QObject *, quint16 error) { SocketSessionConnected(error); };
    FCtrlSocket->OnSessionClosed = [this](QObject *, quint16 error) { SocketSessionClosed(error); };
    FCtrlSocket->OnDataAvailable = [this](QObject *, quint16 error) { SocketDataAvailable(error); };
    FCtrlSocket->OnDataSent = [this](QObject *, quint16 error) { SocketDataSent(error); };
    FCtrlSocket->OnDnsLookupDone = [this](QObject *, quint16 error) { SocketDnsLookupDone(error); };
    FCtrlSocket->OnSslHandshakeDone = [this](QObject *, quint16 error, const QString &reason) {
        SslHandshakeDone(error, reason);
    };
    // The proxy's own words reach the user, not the platform's text for an unknown code.
    FCtrlSocket->OnSocksError = [this](QObject *, int error, const QString &msg) {
        FSocksFailure = QStringLiteral("SOCKS proxy: %1 (Error #%2)").arg(msg).arg(error);
        FSocksFailureCode = quint16(error);
    };
    // Whatever ends in the socket's background handling (a line too long, a header
    // number that does not read) fails the request instead of passing for a response.
    FCtrlSocket->OnBgException = [this](QObject *, const std::exception &e, bool &) { SocketBgException(e); };
    FTimer.setSingleShot(true);
    connect(&FTimer, &QTimer::timeout, this, [this] { TimerExpired(); });
    FDeadlineTimer.setSingleShot(true);
    connect(&FDeadlineTimer, &QTimer::timeout, this, [this] { DeadlineExpired(); });
}

THttpCli::~THttpCli()
{
    FTimer.stop();
    FDeadlineTimer.stop();
    FCtrlSocket.reset();
    FWindow.reset();
}

void THttpCli::SetMultiThreaded(bool value)
{
    FMultiThreaded = value;
    FCtrlSocket->SetMultiThreaded(value);
}

void THttpCli::WndProc(TMessage &msg)
{
    switch (msg.Msg) {
    case WM_HTTP_REQUEST_DONE:
        if (OnRequestDone)
            OnRequestDone(this, FRequestType, FRequestDoneError);
        break;
    case WM_HTTP_SET_READY:
        if (msg.WParam == FRequestSerial)
            ChangeState(THttpState::Idle);
        break;
    case WM_HTTP_RESTART:
        if (msg.WParam == FRequestSerial && FState != THttpState::Idle && FState != THttpState::Aborting)
            DoStartLookup();
        break;
    default: break;
    }
}

void THttpCli::PostToSelf(quint32 msg)
{
    TMessageWindow::PostMessage(FWindow.get(), msg, FRequestSerial, 0);
}

void THttpCli::ChangeState(THttpState newState)
{
    if (newState == FState)
        return;
    FState = newState;
    qCDebug(lcNet) << "http state" << int(newState);
    if (newState == THttpState::Idle) {
        FTimer.stop();
        FDeadlineTimer.stop();
        PostToSelf(WM_HTTP_REQUEST_DONE);
    }
    if (OnStateChange)
        OnStateChange(this);
}

void THttpCli::StartGet()
{
    StartRequest(RequestGet);
}

void THttpCli::StartRequest(THttpRequest request)
{
    if (FState != THttpState::Idle)
        throw EHttpException(QStringLiteral("HTTP component is busy"), ErrBusy);
    if (request == RequestPost && !FPostStream)
        throw EHttpException(QStringLiteral("HTTP component has nothing to post"), ErrNothingToPost);

    FFed = false;
    FReceivedHeader.clear();
    FRequestType = request;
    FRequestDoneError = 0;
    FCloseAction = CloseEndsRequest;
    ++FRequestSerial;
    FRedirectCount = 0;
    if (FDeadline > 0)
        FDeadlineTimer.start(FDeadline * 1000);
    QPointer<THttpCli> self(this);
    ChangeState(THttpState::Starting);
    if (!self)
        return;

    FDocName.clear();
    FStatusCode = 0;
    FReceivedCount = 0;
    FSentCount = 0;
    FHeaderLineCount = 0;
    FBodyLineCount = 0;
    FContentLength = -1;
    FAllowedToSend = false;
    FLocation = FURL;
    // What the previous response said must not pass for this one's answer.
    FReasonPhrase.clear();
    FContentType.clear();
    FAuthenticateList.clear();
    FReceiveLen = 0;
    FLocationChangeRedirect = false;
    FChunked = false;
    FBodyMode = BodyToClose;
    FBodyRemaining = 0;
    FReplyComplete = false;

    const TUrlParts url = ParseUrl(FURL);
    FTargetHost = url.Host;
    FDocName = url.Path;
    // A user or password in the URL is for this request alone, and every credential
    // goes only to the origin it was given for.
    FRequestUsername = url.User.isEmpty() ? FUsername : url.User;
    FRequestPassword = url.Pass.isEmpty() ? FPassword : url.Pass;
    const bool secure = url.Proto.toLower() == QLatin1String("https");
    FFirstOrigin = HttpOrigin(secure, url.Host, url.Port);
    const TUrlParts proxy = ParseUrl(FProxy);
    if (!FProxy.isEmpty()) {
        FHostName = proxy.Host;
        FPort = proxy.Port.isEmpty() ? FProxyPort : proxy.Port;
    }
    SetTarget(url, secure);
    // Nothing goes on the wire for an address the client refuses; the request ends
    // through the message loop as a failed lookup does.
    QString refusal = UrlRefusal(FURL);
    if (refusal.isEmpty() && !FProxy.isEmpty() && !IsValidPort(FPort))
        refusal = QStringLiteral("Bad proxy port: %1").arg(FPort);
    quint16 refusalCode = ErrUrlRefused;
    for (qsizetype i = 0; refusal.isEmpty() && i < FExtraHeaders.size(); ++i) {
        refusal = HeaderRefusal(FExtraHeaders[i]);
        refusalCode = ErrHeaderRefused;
    }
    if (!refusal.isEmpty()) {
        Fail(refusal, refusalCode);
        EndOfConnection();
        return;
    }
    if (FPath.isEmpty())
        FPath = QStringLiteral("/");

    if (!FDocName.isEmpty() && FDocName != QLatin1String("/")) {
        if (FDocName.endsWith(QLatin1Char('/')))
            FDocName.chop(1);
        FDocName = FDocName.mid(FDocName.lastIndexOf(QLatin1Char('/')) + 1).left(255);
        const qsizetype query = FDocName.indexOf(QLatin1Char('?'));
        if (query >= 0)
            FDocName.truncate(query);
    } else {
        FDocName = QStringLiteral("document.htm");
    }
    DoStartLookup();
}

void THttpCli::SetTarget(const TUrlParts &url, bool secure)
{
    FSecure = secure;
    FTargetHost = url.Host;
    FTargetPort = url.Port.isEmpty() ? (secure ? QStringLiteral("443") : QStringLiteral("80")) : url.Port;
    if (FProxy.isEmpty()) {
        FPath = EncodeRequestTarget(url.Path);
        FHostName = url.Host;
        FPort = FTargetPort;
        FTargetPortText.clear();
    } else if (secure) {
        // Through an HTTP proxy an https request goes through a CONNECT tunnel and is
        // then sent as to the server itself.
        FPath = EncodeRequestTarget(url.Path);
        FTunnelTarget = url.Host + QLatin1Char(':') + FTargetPort;
        FTargetPortText.clear();
    } else {
        // Through a proxy the request line carries the whole URL.
        FTargetPortText = url.Port.isEmpty() ? QString() : QLatin1Char(':') + url.Port;
        FPath = QStringLiteral("http://") + url.Host + FTargetPortText + EncodeRequestTarget(url.Path);
    }
}

void THttpCli::DoStartLookup()
{
    QPointer<THttpCli> self(this);
    ChangeState(THttpState::LookingUp);
    if (!self)
        return;
    RestartTimer();
    if (ProxyResolvesName()) {
        // The name goes to the SOCKS proxy as it stands: looking it up here would tell
        // the local resolver where we go, and fail for names only the proxy knows.
        ConnectTo(FHostName);
        return;
    }
    try {
        FCtrlSocket->DnsLookup(FHostName);
    } catch (const ESocketException &) {
        // A host name the socket refuses to look up (an empty one) fails like a name
        // that does not resolve, rather than leaving the client busy for ever.
        if (self)
            SocketDnsLookupDone(Winsock::WSAEINVAL);
    }
}

void THttpCli::SocketDnsLookupDone(quint16 error)
{
    RestartTimer();
    if (error != 0) {
        if (FState == THttpState::Aborting)
            return;
        FStatusCode = 404;
        Fail(QStringLiteral("can't resolve hostname to IP address"), error);
        EndOfConnection();
        return;
    }
    ConnectTo(FCtrlSocket->DnsResult());
}

bool THttpCli::ProxyResolvesName() const
{
    const QString level = FSocksLevel.toUpper();
    return !FSocksServer.isEmpty() && (level == QLatin1String("4A") || level == QLatin1String("5"));
}

void THttpCli::ConnectTo(const QString &address)
{
    QPointer<THttpCli> self(this);
    ChangeState(THttpState::LookedUp);
    if (!self)
        return;
    FSocksFailure.clear();
    try {
        FCtrlSocket->SetAddr(address);
        FCtrlSocket->SetPort(FPort);
        FCtrlSocket->SetProto(QStringLiteral("tcp"));
        // The socket forgets its SOCKS settings at every close, so they go on again for
        // each connection (a redirect makes a new one).
        if (!FSocksServer.isEmpty()) {
            FCtrlSocket->SetSocksServer(FSocksServer);
            FCtrlSocket->SetSocksPort(FSocksPort);
            FCtrlSocket->SetSocksLevel(FSocksLevel);
            FCtrlSocket->SetSocksUsercode(FSocksUsercode);
            FCtrlSocket->SetSocksPassword(FSocksPassword);
            FCtrlSocket->SetSocksAuthentication(FSocksAuthentication);
            FCtrlSocket->SetSocksTimeout(FSocksTimeout);
        }
        FCtrlSocket->Connect();
    } catch (const std::exception &e) {
        if (!self)
            return;
        const int code = FCtrlSocket->LastError();
        // A refusal of the socket's own (an unusable port, say) has no platform code:
        // its message is the reason.
        QString why = SocketErrorDesc(code) + QStringLiteral(" (Error #%1)").arg(code);
        if (code == 0) {
            const auto *own = dynamic_cast<const Exception *>(&e);
            why = own ? own->Message() : QString::fromLocal8Bit(e.what());
        }
        FStatusCode = 404;
        Fail(QStringLiteral("can't connect: ") + why, code == 0 ? quint16(Winsock::WSAEINVAL) : quint16(code));
        BestEffort([&] { FCtrlSocket->Close(); });
        if (self)
            EndOfConnection();
    }
}

void THttpCli::SocketSessionConnected(quint16 error)
{
    RestartTimer();
    if (error != 0) {
        FStatusCode = 404;
        Fail(FSocksFailure.isEmpty() ? SocketErrorDesc(error) + QStringLiteral(" (Error #%1)").arg(error)
                                     : FSocksFailure,
             error);
        EndOfConnection();
        return;
    }
    QPointer<THttpCli> self(this);
    FConnected = true;
    ChangeState(THttpState::Connected);
    if (!self)
        return;
    if (FSecure) {
        if (FProxy.isEmpty())
            StartTls();
        else
            SendTunnelRequest();
        return;
    }
    SendRequestNow();
}

void THttpCli::SendTunnelRequest()
{
    QPointer<THttpCli> self(this);
    FReplyStarted = false;
    FHeaderBytes = 0;
    FHeaderLines = 0;
    FHeaderLineCount = 0;
    FStatusCode = 0;
    FReceiveLen = 0;
    ChangeState(THttpState::Tunnelling);
    if (!self)
        return;
    QByteArray request = "CONNECT " + FTunnelTarget.toLatin1() + " HTTP/1.0\r\nHost: " + FTunnelTarget.toLatin1() +
                         "\r\n";
    // Proxy credentials go to the proxy, in the clear part only.
    if (!FProxyUsername.isEmpty())
        request += "Proxy-Authorization: Basic " +
                   EncodeBase64((FProxyUsername + QLatin1Char(':') + FProxyPassword).toLatin1()) + "\r\n";
    request += "\r\n";
    try {
        FCtrlSocket->SendText(request);
    } catch (const std::exception &) {
        if (self)
            DoClose();
    }
}

void THttpCli::ProcessTunnelLine(const QByteArray &raw)
{
    FHeaderBytes += raw.size() + 2;
    if (++FHeaderLines > MaxHeaderLines || FHeaderBytes > MaxHeaderBytes) {
        FailReply(ErrHeaderTooLarge, QStringLiteral("Header too large"));
        return;
    }
    if (raw.contains('\0')) {
        FailReply(ErrBadReply, QStringLiteral("Bad reply from the proxy: NUL byte in the header"));
        return;
    }
    if (++FHeaderLineCount == 1) {
        QString reason;
        if (!ParseStatusLine(QString::fromLatin1(raw), &FStatusCode, &reason)) {
            FailReply(ErrBadReply, QStringLiteral("Bad reply from the proxy: no status line"));
            return;
        }
        FReasonPhrase = reason;
        return;
    }
    // The proxy's own header lines say nothing the request needs.
    if (!raw.isEmpty())
        return;
    if (FStatusCode < 200 || FStatusCode > 299) {
        FailReply(ErrTunnelRefused,
                  QStringLiteral("Proxy refused the tunnel: %1 %2").arg(FStatusCode).arg(FReasonPhrase));
        return;
    }
    // The server speaks only after the client's hello: anything here is not TLS.
    if (FReceiveLen > 0) {
        FailReply(ErrBadReply, QStringLiteral("Bad reply from the proxy: data after the tunnel was opened"));
        return;
    }
    FStatusCode = 0;
    FReasonPhrase.clear();
    StartTls();
}

void THttpCli::StartTls()
{
    QPointer<THttpCli> self(this);
    ChangeState(THttpState::Securing);
    if (!self)
        return;
    try {
        FCtrlSocket->SetSslHostName(FTargetHost);
        FCtrlSocket->SetSslCAFile(FCAFile);
        FCtrlSocket->StartSsl();
    } catch (const std::exception &e) {
        if (!self)
            return;
        const auto *own = dynamic_cast<const Exception *>(&e);
        FailReply(ErrTlsFailed, QStringLiteral("TLS: ") + (own ? own->Message() : QString::fromLocal8Bit(e.what())));
    }
}

void THttpCli::SslHandshakeDone(quint16 error, const QString &reason)
{
    RestartTimer();
    if (FState != THttpState::Securing || FRequestDoneError != 0)
        return;
    if (error != 0) {
        // The socket closes itself after a refused handshake; its close ends the request.
        Fail(QStringLiteral("TLS: ") + reason, ErrTlsFailed);
        return;
    }
    SendRequestNow();
}

void THttpCli::SendRequestNow()
{
    QPointer<THttpCli> self(this);
    TriggerSessionConnected();
    if (!self)
        return;
    FReplyStarted = false;
    FHeaderBytes = 0;
    FHeaderLines = 0;
    BeginReply();
    ChangeState(THttpState::ReadingHeader);
    if (!self)
        return;
    try {
        switch (FRequestType) {
        case RequestPost:
            SendRequest(QStringLiteral("POST"));
            if (!self)
                return;
            TriggerSendBegin();
            if (!self)
                return;
            FAllowedToSend = true;
            SendPostChunk();
            break;
        case RequestHead: SendRequest(QStringLiteral("HEAD")); break;
        default: SendRequest(QStringLiteral("GET")); break;
        }
    } catch (const std::exception &) {
        if (self)
            DoClose();
    }
}

void THttpCli::BeginReply()
{
    // What a redirect's or an interim reply said does not describe the next one.
    FHeaderLineCount = 0;
    FReceivedHeader.clear();
    FStatusCode = 0;
    FReasonPhrase.clear();
    FContentLength = -1;
    FContentType.clear();
    FChunked = false;
    FBodyMode = BodyToClose;
    FBodyRemaining = 0;
    FReplyComplete = false;
    FLocationChangeRedirect = false;
    FReplyLocation.clear();
    FHasReplyLocation = false;
    FLocationConflict = false;
}

void THttpCli::RequestTarget(QString *host, QString *port) const
{
    if (FSecure) {
        *host = FTargetHost;
        *port = FTargetPort;
    } else if (FProxy.isEmpty()) {
        *host = FTargetHost;
        *port = FPort;
    } else {
        // Through a proxy the request line names the server, also after a redirect.
        const TUrlParts target = ParseUrl(FPath);
        *host = target.Host;
        *port = target.Port;
    }
    if (port->isEmpty())
        *port = FSecure ? QStringLiteral("443") : QStringLiteral("80");
}

QString THttpCli::CurrentOrigin() const
{
    QString host;
    QString port;
    RequestTarget(&host, &port);
    return HttpOrigin(FSecure, host, port);
}

QString THttpCli::HostHeader() const
{
    QString host;
    QString port;
    RequestTarget(&host, &port);
    const QLatin1String schemePort(FSecure ? "443" : "80");
    return port == schemePort ? host : host + QLatin1Char(':') + port;
}

void THttpCli::SendRequestLine(const QString &line)
{
    if (OnCommand)
        OnCommand(this, line);
}

THttpRequestMessage THttpCli::BuildRequest(const QString &method) const
{
    THttpRequestMessage request;
    request.Method = method;
    request.Target = FPath;
    const bool firstOrigin = CurrentOrigin() == FFirstOrigin;
    const QStringList caller = firstOrigin ? FExtraHeaders : QStringList();
    THttpRequestMessage callerLines;
    callerLines.Headers = caller;
    // The client's own line, unless the caller gave one of the same name.
    const auto own = [&](const QString &name, const QString &value) {
        if (!callerLines.Has(name))
            request.Add(name, value);
    };
    if (!FSender.isEmpty())
        own(QStringLiteral("From"), FSender);
    if (!FAccept.isEmpty())
        own(QStringLiteral("Accept"), FAccept);
    if (!FReference.isEmpty())
        own(QStringLiteral("Referer"), FReference);
    if (FRequestType == RequestPost && !FContentPost.isEmpty())
        own(QStringLiteral("Content-Type"), FContentPost);
    if (!FAgent.isEmpty())
        own(QStringLiteral("User-Agent"), FAgent);
    request.Add(QStringLiteral("Host"), HostHeader());
    if (FNoCache)
        own(QStringLiteral("Pragma"), QStringLiteral("no-cache"));
    if (FRequestType == RequestPost) {
        request.Add(QStringLiteral("Content-Length"), QString::number(FPostStream->size()));
        request.Body = FPostStream;
    }
    if (FModifiedSince != 0)
        own(QStringLiteral("If-Modified-Since"), FormatRfc1123Date(FModifiedSince) + QStringLiteral(" GMT"));
    if (!FRequestUsername.isEmpty() && firstOrigin)
        own(QStringLiteral("Authorization"),
            QStringLiteral("Basic ") +
                QString::fromLatin1(EncodeBase64((FRequestUsername + QLatin1Char(':') + FRequestPassword).toLatin1())));
    if (!FProxy.isEmpty() && !FSecure && !FProxyUsername.isEmpty())
        own(QStringLiteral("Proxy-Authorization"),
            QStringLiteral("Basic ") +
                QString::fromLatin1(EncodeBase64((FProxyUsername + QLatin1Char(':') + FProxyPassword).toLatin1())));
    if (!FCookie.isEmpty())
        own(QStringLiteral("Cookie"), FCookie);
    request.Headers << caller;
    return request;
}

void THttpCli::SendRequest(const QString &method)
{
    QPointer<THttpCli> self(this);
    TriggerRequestHeaderBegin();
    if (!self)
        return;
    // Built after the begin event, whose handler may still change the properties.
    const THttpRequestMessage request = BuildRequest(method);
    SendRequestLine(request.RequestLine());
    for (const QString &line : request.Headers)
        SendRequestLine(line);
    TriggerRequestHeaderEnd();
    if (!self)
        return;
    SendRequestLine(QString());
    FCtrlSocket->SendText(request.Text());
}

void THttpCli::SendPostChunk()
{
    if (!FAllowedToSend || !FPostStream)
        return;
    char buffer[8193];
    const qint64 count = FPostStream->read(buffer, sizeof buffer);
    if (count > 0) {
        FSentCount += count;
        QPointer<THttpCli> self(this);
        TriggerSendData(buffer, int(count));
        if (self)
            FCtrlSocket->Send(buffer, int(count));
        return;
    }
    FAllowedToSend = false;
    TriggerSendEnd();
}

void THttpCli::SocketDataSent(quint16)
{
    RestartTimer();
    SendPostChunk();
}

void THttpCli::SocketDataAvailable(quint16)
{
    // Once the header is behind, the body needs no line buffer: it is read in larger
    // pieces straight into a buffer of its own, which takes far fewer system calls.
    if (FState == THttpState::ReadingBody && FReceiveLen == 0 && FRequestType != RequestNone) {
        ReceiveBody();
        return;
    }
    if (FReceiveLen >= LineBufferSize)
        throw EHttpException(QStringLiteral("HTTP line too long"), ErrLineTooLong);
    const int count = FCtrlSocket->Receive(FReceiveBuffer.get() + FReceiveLen, LineBufferSize - FReceiveLen);
    if (FRequestType == RequestNone || count <= 0)
        return;
    RestartTimer();
    FReplyStarted = true;
    FReceiveLen += count;
    ProcessLineBuffer();
}

void THttpCli::ProcessLineBuffer()
{
    QPointer<THttpCli> self(this);
    while (FReceiveLen > 0) {
        if (FState == THttpState::ReadingBody) {
            FLastResponse = QByteArray(FReceiveBuffer.get(), FReceiveLen);
            FReceiveLen = 0;
            ProcessBodyBytes(FLastResponse.constData(), FLastResponse.size());
            return;
        }
        if (FState != THttpState::ReadingHeader && FState != THttpState::Tunnelling) {
            // Nothing is expected now (the reply ended or failed): what came is dropped.
            FReceiveLen = 0;
            return;
        }
        const char *lf = static_cast<const char *>(std::memchr(FReceiveBuffer.get(), '\n', size_t(FReceiveLen)));
        if (!lf) {
            // A full buffer without a line end can only be refused; waiting for the next
            // packet to say so would hang on a peer that sends nothing more.
            if (FReceiveLen >= LineBufferSize)
                throw EHttpException(QStringLiteral("HTTP line too long"), ErrLineTooLong);
            return;
        }
        const int taken = int(lf - FReceiveBuffer.get()) + 1;
        int length = taken - 1;
        if (length > 0 && FReceiveBuffer[length - 1] == '\r')
            --length;
        FLastResponse = QByteArray(FReceiveBuffer.get(), length);
        std::memmove(FReceiveBuffer.get(), FReceiveBuffer.get() + taken, size_t(FReceiveLen - taken));
        FReceiveLen -= taken;
        if (FState == THttpState::Tunnelling)
            ProcessTunnelLine(FLastResponse);
        else
            ProcessHeaderLine(FLastResponse);
        if (!self)
            return;
    }
}

void THttpCli::BeginFedReply(THttpRequest request)
{
    if (FState != THttpState::Idle)
        throw EHttpException(QStringLiteral("HTTP component is busy"), ErrBusy);
    FFed = true;
    FFedClosed = false;
    FRequestType = request;
    FRequestDoneError = 0;
    FCloseAction = CloseEndsRequest;
    ++FRequestSerial;
    FRedirectCount = 0;
    FReceivedCount = 0;
    FHeaderBytes = 0;
    FHeaderLines = 0;
    FBodyLineCount = 0;
    FReceiveLen = 0;
    FReplyStarted = false;
    FAuthenticateList.clear();
    BeginReply();
    ChangeState(THttpState::ReadingHeader);
}

void THttpCli::FeedReply(const char *data, qsizetype length)
{
    QPointer<THttpCli> self(this);
    try {
        while (length > 0 && self && ReadingReply()) {
            FReplyStarted = true;
            if (FState == THttpState::ReadingBody && FReceiveLen == 0) {
                ProcessBodyBytes(data, length);
                return;
            }
            if (FReceiveLen >= LineBufferSize)
                throw EHttpException(QStringLiteral("HTTP line too long"), ErrLineTooLong);
            const int take = int(qMin<qsizetype>(length, LineBufferSize - FReceiveLen));
            std::memcpy(FReceiveBuffer.get() + FReceiveLen, data, size_t(take));
            FReceiveLen += take;
            data += take;
            length -= take;
            ProcessLineBuffer();
        }
    } catch (const std::exception &e) {
        // As the socket's background handling does: the request fails, the connection ends.
        if (!self)
            return;
        SocketBgException(e);
        DoClose();
    }
}

void THttpCli::EndFedReply(quint16 error)
{
    if (FFed && !FFedClosed) {
        FFedClosed = true;
        SocketSessionClosed(error);
    }
}

void THttpCli::ReceiveBody()
{
    if (!FBodyBuffer)
        FBodyBuffer = std::make_unique<char[]>(BodyBufferSize);
    const int count = FCtrlSocket->Receive(FBodyBuffer.get(), BodyBufferSize);
    if (count <= 0)
        return;
    RestartTimer();
    ProcessBodyBytes(FBodyBuffer.get(), count);
}

void THttpCli::ProcessHeaderLine(const QByteArray &raw)
{
    QPointer<THttpCli> self(this);
    if (FHeaderLineCount == 0) {
        TriggerHeaderBegin();
        if (!self)
            return;
    }
    ++FHeaderLineCount;
    // Lines are bounded one by one by the line buffer, and here in number and in all,
    // interim replies included.
    FHeaderBytes += raw.size() + 2;
    if (++FHeaderLines > MaxHeaderLines || FHeaderBytes > MaxHeaderBytes) {
        FailReply(ErrHeaderTooLarge, QStringLiteral("Header too large"));
        return;
    }
    // A zero byte has no place in a header; reading past it would hide the rest of the
    // reply, reading up to it would take half a line for the whole.
    if (raw.contains('\0')) {
        FailReply(ErrBadReply, QStringLiteral("Bad reply from the server: NUL byte in the header"));
        return;
    }
    const QString line = QString::fromLatin1(raw);

    if (FHeaderLineCount == 1) {
        // The first line must be a status line. A reply without one (a bare document,
        // say) cannot be told from a broken or cut one, so it is refused.
        QString reason;
        if (!ParseStatusLine(line, &FStatusCode, &reason)) {
            FailReply(ErrBadReply, QStringLiteral("Bad reply from the server: no status line"));
            return;
        }
        FReasonPhrase = reason;
        FReceivedHeader.append(line);
    } else if (line.isEmpty()) {
        HeaderEnded();
        return;
    } else if (line.front() == QLatin1Char(' ') || line.front() == QLatin1Char('\t')) {
        // An obsolete continuation line: read as its own field or dropped, it would make
        // this client see another header than the next reader of the same bytes.
        FailReply(ErrBadReply, QStringLiteral("Bad reply from the server: folded header line"));
        return;
    } else if (!line.contains(QLatin1Char(':'))) {
        FailReply(ErrBadReply, QStringLiteral("Bad reply from the server: header line without a colon"));
        return;
    } else {
        FReceivedHeader.append(line);
        if (!ProcessHeaderField(line) || !self)
            return;
    }
    if (OnHeaderData) {
        OnHeaderData(this);
        if (!self)
            return;
    }
    if (FStatusCode >= 400 && ReadingReply()) {
        // The body of an error is not read: the rest of the exchange is dropped, and
        // the close that this makes is no truncation.
        FReplyComplete = true;
        FReceiveLen = 0;
        DoClose();
    }
}

bool THttpCli::ProcessHeaderField(const QString &line)
{
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    const QString field = line.left(colon).toLower();
    const QString data = line.mid(colon + 1).trimmed();
    if (field == QLatin1String("location")) {
        // Only noted here: whether it redirects depends on the status, and nothing
        // changes before the whole header is in.
        if (FHasReplyLocation && data != FReplyLocation)
            FLocationConflict = true;
        FReplyLocation = data;
        FHasReplyLocation = true;
    } else if (field == QLatin1String("content-length")) {
        qint64 length = 0;
        if (!ParseContentLength(data, &length)) {
            FailReply(ErrBadReply, QStringLiteral("Bad reply from the server: bad Content-Length"));
            return false;
        }
        if (FContentLength >= 0 && FContentLength != length) {
            FailReply(ErrBadReply, QStringLiteral("Bad reply from the server: conflicting Content-Length values"));
            return false;
        }
        FContentLength = length;
    } else if (field == QLatin1String("transfer-encoding")) {
        const QString coding = data.toLower();
        if (coding == QLatin1String("chunked")) {
            FChunked = true;
        } else if (coding != QLatin1String("identity")) {
            FailReply(ErrBadReply, QStringLiteral("Bad reply from the server: unsupported Transfer-Encoding"));
            return false;
        }
    } else if (field == QLatin1String("content-type")) {
        FContentType = data.toLower();
    } else if (field == QLatin1String("www-authenticate")) {
        FAuthenticateList.append(data);
    } else if (field == QLatin1String("set-cookie")) {
        QPointer<THttpCli> self(this);
        bool accept = true;
        TriggerCookie(data, accept);
        return !self.isNull();
    }
    return true;
}

bool THttpCli::FollowRedirect()
{
    switch (FStatusCode) {
    case 301:
    case 302:
    case 303:
    case 307:
    case 308: break;
    default: return true; // Location is an ordinary header here.
    }
    if (!FHasReplyLocation)
        return true;
    if (FLocationConflict) {
        FailReply(ErrBadReply, QStringLiteral("Bad reply from the server: conflicting Location values"));
        return false;
    }
    const QString refusal = UrlRefusal(FReplyLocation);
    if (!refusal.isEmpty()) {
        FailReply(ErrUrlRefused, QStringLiteral("Redirect refused: ") + refusal);
        return false;
    }
    return NoteRedirect(FReplyLocation);
}

void THttpCli::HeaderEnded()
{
    QPointer<THttpCli> self(this);
    if (FStatusCode >= 100 && FStatusCode < 200) {
        // An interim reply: the final one follows on the same connection, and nothing
        // the interim one said changes the request.
        BeginReply();
        return;
    }
    if (!FollowRedirect())
        return;
    if (FLocationChangeRedirect) {
        if (FRedirectCount >= MaxRedirects) {
            // A server that keeps redirecting (to itself, say) would keep the client busy
            // for ever; past the limit the request ends with its own reason.
            FLocationChangeRedirect = false;
            Fail(QStringLiteral("Too many redirects (more than %1)").arg(MaxRedirects), ErrTooManyRedirects);
            TriggerHeaderEnd();
            if (!self)
                return;
            FReceiveLen = 0;
            DoClose();
            return;
        }
        ++FRedirectCount;
        TriggerHeaderEnd();
        if (!self)
            return;
        FReceiveLen = 0;
        FHeaderLineCount = 0;
        FBodyLineCount = 0;
        FCloseAction = CloseRedirects;
        DoClose();
        return;
    }

    const qsizetype dot = FDocName.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0 && FDocName.mid(dot).toLower() == QLatin1String(".exe") && FContentType == QLatin1String("text/html"))
        FDocName = FDocName.left(dot + 1) + QStringLiteral("htm");

    // A chunked body carries its own end and wins over a length; HEAD, 204 and 304
    // replies have no body whatever their header says.
    if (FMaxBodySize > 0 && FContentLength > FMaxBodySize && !FChunked && FRequestType != RequestHead) {
        FailReply(ErrBodyTooLarge, QStringLiteral("Reply larger than %1 bytes").arg(FMaxBodySize));
        return;
    }
    if (FRequestType == RequestHead || FStatusCode == 204 || FStatusCode == 304) {
        FBodyMode = BodyNone;
    } else if (FChunked) {
        FBodyMode = BodyChunked;
        FChunks.Reset();
    } else if (FContentLength >= 0) {
        FBodyMode = BodyLength;
        FBodyRemaining = FContentLength;
    } else {
        FBodyMode = BodyToClose;
    }
    ChangeState(THttpState::ReadingBody);
    if (!self)
        return;
    TriggerHeaderEnd();
    if (!self)
        return;
    if (FBodyMode == BodyNone || (FBodyMode == BodyLength && FBodyRemaining == 0))
        FinishReply();
}

void THttpCli::ProcessBodyBytes(const char *data, qsizetype length)
{
    QPointer<THttpCli> self(this);
    switch (FBodyMode) {
    case BodyNone: return;
    case BodyToClose: DeliverBody(data, length); return;
    case BodyLength: {
        // Bytes past the announced length are not part of this reply.
        const qsizetype take = qsizetype(qMin<qint64>(length, FBodyRemaining));
        if (take > 0 && !DeliverBody(data, take))
            return;
        FBodyRemaining -= take;
        if (FBodyRemaining == 0)
            FinishReply();
        return;
    }
    case BodyChunked:
        while (length > 0) {
            const THttpChunkDecoder::TStep step = FChunks.Step(data, length);
            data += step.Consumed;
            length -= step.Consumed;
            if (step.ContentLength > 0 && !DeliverBody(step.Content, step.ContentLength))
                return;
            if (FChunks.State() == THttpChunkDecoder::Finished) {
                FinishReply();
                return;
            }
            if (FChunks.State() == THttpChunkDecoder::Malformed) {
                FailReply(ErrBadReply, QStringLiteral("Bad reply from the server: ") + FChunks.Error());
                return;
            }
        }
        return;
    }
}

bool THttpCli::DeliverBody(const char *data, qsizetype length)
{
    QPointer<THttpCli> self(this);
    if (FBodyLineCount == 0) {
        TriggerDocBegin();
        if (!self || !ReadingReply())
            return false;
    }
    if (FMaxBodySize > 0 && FReceivedCount + length > FMaxBodySize) {
        FailReply(ErrBodyTooLarge, QStringLiteral("Reply larger than %1 bytes").arg(FMaxBodySize));
        return false;
    }
    ++FBodyLineCount;
    FReceivedCount += length;
    TriggerDocData(data, int(length));
    if (!self || !ReadingReply())
        return false;
    if (!FReceiveStream)
        return true;
    // A write that stops short (at a file size limit, say) is tried again for the rest,
    // so that the failure comes with the system's reason.
    qint64 written = 0;
    while (written < length) {
        const qint64 count = FReceiveStream->write(data + written, length - written);
        if (count <= 0) {
            FailReply(ErrWriteFailed,
                      QStringLiteral("Cannot write the received data: ") + FReceiveStream->errorString());
            return false;
        }
        written += count;
    }
    return true;
}

bool THttpCli::ReadingReply() const
{
    return (FState == THttpState::ReadingHeader || FState == THttpState::ReadingBody) && FRequestDoneError == 0 &&
           !FReplyComplete && FCloseAction == CloseEndsRequest;
}

void THttpCli::FinishReply()
{
    FReplyComplete = true;
    FReceiveLen = 0;
    DoClose();
}

void THttpCli::FailReply(quint16 error, const QString &reason)
{
    qCDebug(lcNet) << "http reply refused:" << reason;
    Fail(reason, error);
    FReceiveLen = 0;
    DoClose();
}

void THttpCli::FailClosedReply(quint16 socketError)
{
    if (socketError != 0)
        Fail(SocketErrorDesc(socketError) + QStringLiteral(" (Error #%1)").arg(socketError), socketError);
    else if (FState != THttpState::ReadingBody && !FReplyStarted)
        Fail(QStringLiteral("Empty reply from the server"), ErrNoReply);
    else if (FState != THttpState::ReadingBody)
        Fail(QStringLiteral("Connection closed before the reply header was complete"), ErrIncomplete);
    else if (FBodyMode == BodyLength)
        Fail(QStringLiteral("Connection closed after %1 of %2 bytes")
                 .arg(FContentLength - FBodyRemaining)
                 .arg(FContentLength),
             ErrIncomplete);
    else if (FBodyMode == BodyChunked)
        Fail(QStringLiteral("Connection closed before the end of the chunked body"), ErrIncomplete);
    else if (FSecure && !FCtrlSocket->SslCloseNotified())
        // Over TLS only close_notify proves the end; a bare close may be an attacker's.
        Fail(QStringLiteral("Connection closed without TLS close-notify"), ErrIncomplete);
    else
        FReplyComplete = true;
}

bool THttpCli::NoteRedirect(const QString &value)
{
    const TUrlParts url = ParseUrl(value);
    const bool absolute = value.contains(QLatin1String("://"));
    const bool toSecure = absolute ? url.Proto.toLower() == QLatin1String("https") : FSecure;
    if (FSecure && !toSecure && !FAllowDowngrade) {
        FailReply(ErrUrlRefused, QStringLiteral("Redirect refused: https to http"));
        return false;
    }
    FLocationChangeRedirect = true;
    if (FSecure || toSecure) {
        // https on either side: an absolute address sets the target up afresh; a path
        // stays on the same server.
        if (absolute) {
            SetTarget(url, toSecure);
        } else {
            const QString path = value.startsWith(QLatin1Char('/')) ? value : QLatin1Char('/') + value;
            FPath = EncodeRequestTarget(path);
        }
        if (FPath.isEmpty())
            FPath = QStringLiteral("/");
        FLocation = (FSecure ? QStringLiteral("https://") : QStringLiteral("http://")) + FTargetHost +
                    QLatin1Char(':') + FTargetPort + (FPath.startsWith(QLatin1Char('/')) ? FPath : QString());
        return true;
    }
    const QString scheme = url.Proto.isEmpty() ? QStringLiteral("http") : url.Proto;
    if (FProxy.isEmpty()) {
        if (value.startsWith(QLatin1Char('/'))) {
            FPath = value;
        } else {
            FPath = url.Path;
            FHostName = url.Host;
            if (!url.Port.isEmpty())
                FPort = url.Port;
            else if (value.contains(QLatin1String("://")) && !url.Host.isEmpty() && !url.Path.isEmpty())
                // An absolute address without a port means the scheme's port, not
                // whatever port the redirecting server happened to listen on.
                FPort = QStringLiteral("80");
            // An address built here names the server's port as the Host line does.
            const QString authority = FTargetHost +
                                      (FPort == QLatin1String("80") ? QString() : QLatin1Char(':') + FPort);
            if (FPath.isEmpty()) {
                FPath = scheme + QStringLiteral("://") + authority + QLatin1Char('/') + FHostName;
                FHostName = FTargetHost;
            } else if (!FHostName.isEmpty()) {
                FTargetHost = FHostName;
            } else {
                FPath = scheme + QStringLiteral("://") + authority + FPath;
                FHostName = FTargetHost;
            }
        }
    } else {
        // The target's port stays in the address the proxy is asked for.
        if (url.Path.isEmpty())
            FPath = scheme + QStringLiteral("://") + FTargetHost + FTargetPortText + QLatin1Char('/') + url.Host;
        else if (!url.Host.isEmpty())
            FPath = value.startsWith(QLatin1Char('/')) ? FPath + value : value;
        else
            FPath = scheme + QStringLiteral("://") + FTargetHost + FTargetPortText + url.Path;
    }
    FPath = EncodeRequestTarget(FPath);
    FLocation = FPath;
    return true;
}

void THttpCli::RedirectStep()
{
    FConnected = false;
    FLocationChangeRedirect = false;
    FCloseAction = CloseEndsRequest;
    QPointer<THttpCli> self(this);
    if (OnLocationChange) {
        OnLocationChange(this);
        if (!self)
            return;
    }
    PostToSelf(WM_HTTP_RESTART);
}

void THttpCli::SocketSessionClosed(quint16 error)
{
    if (FCloseAction == CloseRedirects) {
        RedirectStep();
        return;
    }
    // A close the reply did not announce is its end only for a body that runs to the
    // close, and only when it is orderly.
    if (ReadingReply())
        FailClosedReply(error);
    else if ((FState == THttpState::LookedUp || FState == THttpState::Connected || FState == THttpState::Tunnelling ||
              FState == THttpState::Securing) &&
             FRequestDoneError == 0)
        // Closed before the request could go out (a proxy that gave up, say).
        Fail(FSocksFailure.isEmpty() ? QStringLiteral("Connection closed before the request was sent") : FSocksFailure,
             FSocksFailure.isEmpty() ? (error ? error : ErrIncomplete) : FSocksFailureCode);
    EndOfConnection();
}

void THttpCli::EndOfConnection()
{
    FConnected = false;
    if (FBodyLineCount > 0) {
        QPointer<THttpCli> self(this);
        TriggerDocEnd();
        if (!self)
            return;
    }
    PostToSelf(WM_HTTP_SET_READY);
}

void THttpCli::SocketBgException(const std::exception &e)
{
    if (FState == THttpState::Idle || FState == THttpState::Aborting || FRequestDoneError != 0)
        return;
    quint16 code = ErrAborted;
    QString message = QString::fromLocal8Bit(e.what());
    if (const auto *own = dynamic_cast<const Exception *>(&e))
        message = own->Message();
    if (const auto *http = dynamic_cast<const EHttpException *>(&e))
        code = http->ErrorCode();
    qCDebug(lcNet) << "http request failed:" << message;
    Fail(message, code);
    FLocationChangeRedirect = false;
    FCloseAction = CloseEndsRequest;
}

void THttpCli::Fail(const QString &reason, quint16 error)
{
    FReasonPhrase = reason;
    FRequestDoneError = error;
}

void THttpCli::Abort()
{
    AbortRequest(QStringLiteral("Connection aborted on request"), ErrAborted);
}

void THttpCli::AbortRequest(const QString &reason, quint16 error)
{
    if (FState == THttpState::Idle) {
        if (FCtrlSocket->State() != wsClosed)
            DoClose();
        return;
    }
    const THttpState oldState = FState;
    QPointer<THttpCli> self(this);
    ChangeState(THttpState::Aborting);
    if (!self)
        return;
    if (oldState == THttpState::LookingUp) {
        BestEffort([&] { FCtrlSocket->CancelDnsLookup(); });
    }
    Fail(reason, error);
    FCloseAction = CloseEndsRequest;
    FLocationChangeRedirect = false;
    if (oldState == THttpState::LookingUp)
        EndOfConnection();
    else
        DoClose();
    if (!self)
        return;
    ChangeState(THttpState::Idle);
}

void THttpCli::RestartTimer()
{
    if (FTimeout > 0 && FState != THttpState::Idle)
        FTimer.start(FTimeout * 1000);
}

void THttpCli::DeadlineExpired()
{
    if (FState == THttpState::Idle || FState == THttpState::Aborting)
        return;
    AbortRequest(QStringLiteral("No complete reply within %1 seconds").arg(FDeadline), ErrDeadline);
}

void THttpCli::TimerExpired()
{
    if (FState == THttpState::Idle || FState == THttpState::Aborting)
        return;
    AbortRequest(QStringLiteral("Timeout: no answer from the server for %1 seconds").arg(FTimeout),
                 Winsock::WSAETIMEDOUT);
}

void THttpCli::DoClose()
{
    if (FFed) {
        // No socket to close: the end of the fed connection is this close.
        EndFedReply(0);
        return;
    }
    FCtrlSocket->Close();
}

void THttpCli::TriggerCookie(const QString &data, bool &accept)
{
    if (OnCookie)
        OnCookie(this, data, accept);
}

void THttpCli::TriggerSessionConnected()
{
    if (OnSessionConnected)
        OnSessionConnected(this);
}

void THttpCli::TriggerRequestHeaderBegin()
{
    if (OnRequestHeaderBegin)
        OnRequestHeaderBegin(this);
}

void THttpCli::TriggerRequestHeaderEnd()
{
    if (OnRequestHeaderEnd)
        OnRequestHeaderEnd(this);
}

void THttpCli::TriggerHeaderBegin()
{
    if (OnHeaderBegin)
        OnHeaderBegin(this);
}

void THttpCli::TriggerHeaderEnd()
{
    if (OnHeaderEnd)
        OnHeaderEnd(this);
}

void THttpCli::TriggerDocBegin()
{
    if (OnDocBegin)
        OnDocBegin(this);
}

void THttpCli::TriggerDocData(const char *data, int length)
{
    if (OnDocData)
        OnDocData(this, data, length);
}

void THttpCli::TriggerDocEnd()
{
    if (OnDocEnd)
        OnDocEnd(this);
}

void THttpCli::TriggerSendBegin()
{
    if (OnSendBegin)
        OnSendBegin(this);
}

void THttpCli::TriggerSendData(const char *data, int length)
{
    if (OnSendData)
        OnSendData(this, data, length);
}

void THttpCli::TriggerSendEnd()
{
    if (OnSendEnd)
        OnSendEnd(this);
}
