#include "net/HttpProt.h"

#include "net/HttpUtil.h"
#include "net/NetLog.h"
#include "net/WSocketResolve.h"
#include "platform/core/Exceptions.h"

#include <QPointer>
#include <cstring>

THttpCli::THttpCli(QObject *owner) : QObject(owner)
{
    FWindow = std::make_unique<TMessageWindow>([this](TMessage &msg) { WndProc(msg); });
    FCtrlSocket = std::make_unique<TWSocket>();
    FCtrlSocket->OnSessionConnected = [this](QObject *, quint16 error) { SocketSessionConnected(error); };
    FCtrlSocket->OnSessionClosed = [this](QObject *, quint16 error) { SocketSessionClosed(error); };
    FCtrlSocket->OnDataAvailable = [this](QObject *, quint16 error) { SocketDataAvailable(error); };
    FCtrlSocket->OnDataSent = [this](QObject *, quint16 error) { SocketDataSent(error); };
    FCtrlSocket->OnDnsLookupDone = [this](QObject *, quint16 error) { SocketDnsLookupDone(error); };
    // Whatever ends in the socket's background handling (a line too long, a header
    // number that does not read) fails the request instead of passing for a response.
    FCtrlSocket->OnBgException = [this](QObject *, const std::exception &e, bool &) { SocketBgException(e); };
    FTimer.setSingleShot(true);
    connect(&FTimer, &QTimer::timeout, this, [this] { TimerExpired(); });
}

THttpCli::~THttpCli()
{
    FTimer.stop();
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
    default:
        break;
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

    FReceivedHeader.clear();
    FRequestType = request;
    FRequestDoneError = 0;
    FCloseAction = CloseEndsRequest;
    ++FRequestSerial;
    FRedirectCount = 0;
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
    FNext = nullptr;

    const TUrlParts url = ParseUrl(FURL);
    FTargetHost = url.Host;
    FDocName = url.Path;
    if (!url.User.isEmpty())
        FUsername = url.User;
    if (!url.Pass.isEmpty())
        FPassword = url.Pass;
    if (FProxy.isEmpty()) {
        FPath = url.Path;
        FHostName = url.Host;
        FPort = url.Port.isEmpty() ? QStringLiteral("80") : url.Port;
        FTargetPortText.clear();
    } else {
        // Through a proxy the request line carries the whole URL.
        FTargetPortText = url.Port.isEmpty() ? QString() : QLatin1Char(':') + url.Port;
        const QString scheme = url.Proto.isEmpty() ? QStringLiteral("http") : url.Proto;
        FPath = scheme + QStringLiteral("://") + url.Host + FTargetPortText + url.Path;
        const TUrlParts proxy = ParseUrl(FProxy);
        FHostName = proxy.Host;
        FPort = proxy.Port.isEmpty() ? FProxyPort : proxy.Port;
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

void THttpCli::DoStartLookup()
{
    QPointer<THttpCli> self(this);
    ChangeState(THttpState::LookingUp);
    if (!self)
        return;
    RestartTimer();
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
        Fail(404, QStringLiteral("can't resolve hostname to IP address"), error);
        EndOfConnection();
        return;
    }
    QPointer<THttpCli> self(this);
    ChangeState(THttpState::LookedUp);
    if (!self)
        return;
    try {
        FCtrlSocket->SetAddr(FCtrlSocket->DnsResult());
        FCtrlSocket->SetPort(FPort);
        FCtrlSocket->SetProto(QStringLiteral("tcp"));
        FCtrlSocket->Connect();
    } catch (const std::exception &) {
        if (!self)
            return;
        const int code = FCtrlSocket->LastError();
        Fail(404,
             QStringLiteral("can't connect: ") + SocketErrorDesc(code) + QStringLiteral(" (Error #%1)").arg(code),
             quint16(code));
        try {
            FCtrlSocket->Close();
        } catch (...) {
        }
        if (self)
            EndOfConnection();
    }
}

void THttpCli::SocketSessionConnected(quint16 error)
{
    RestartTimer();
    if (error != 0) {
        Fail(404, SocketErrorDesc(error) + QStringLiteral(" (Error #%1)").arg(error), error);
        EndOfConnection();
        return;
    }
    QPointer<THttpCli> self(this);
    FConnected = true;
    ChangeState(THttpState::Connected);
    if (!self)
        return;
    TriggerSessionConnected();
    if (!self)
        return;
    FNext = &THttpCli::ProcessHeaderLine;
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
        case RequestHead:
            SendRequest(QStringLiteral("HEAD"));
            break;
        default:
            SendRequest(QStringLiteral("GET"));
            break;
        }
    } catch (const std::exception &) {
        if (self)
            DoClose();
    }
}

void THttpCli::SendRequestLine(const QString &line)
{
    if (OnCommand)
        OnCommand(this, line);
    if (!line.isEmpty())
        FReqStream += line.toLatin1();
    FReqStream += "\r\n";
}

void THttpCli::SendRequest(const QString &method)
{
    QPointer<THttpCli> self(this);
    FReqStream.clear();
    TriggerRequestHeaderBegin();
    if (!self)
        return;
    SendRequestLine(method + QLatin1Char(' ') + FPath + QStringLiteral(" HTTP/1.0"));
    if (!FSender.isEmpty())
        SendRequestLine(QStringLiteral("From: ") + FSender);
    if (!FAccept.isEmpty())
        SendRequestLine(QStringLiteral("Accept: ") + FAccept);
    if (!FReference.isEmpty())
        SendRequestLine(QStringLiteral("Referer: ") + FReference);
    if (FRequestType == RequestPost && !FContentPost.isEmpty())
        SendRequestLine(QStringLiteral("Content-Type: ") + FContentPost);
    if (!FAgent.isEmpty())
        SendRequestLine(QStringLiteral("User-Agent: ") + FAgent);
    SendRequestLine(QStringLiteral("Host: ") + FTargetHost);
    if (FNoCache)
        SendRequestLine(QStringLiteral("Pragma: no-cache"));
    if (FRequestType == RequestPost)
        SendRequestLine(QStringLiteral("Content-Length: ") + QString::number(FPostStream->size()));
    if (FModifiedSince != 0)
        SendRequestLine(QStringLiteral("If-Modified-Since: ") + FormatRfc1123Date(FModifiedSince) + QStringLiteral(" GMT"));
    if (!FUsername.isEmpty())
        SendRequestLine(QStringLiteral("Authorization: Basic ") +
                        QString::fromLatin1(EncodeBase64((FUsername + QLatin1Char(':') + FPassword).toLatin1())));
    if (!FProxy.isEmpty() && !FProxyUsername.isEmpty())
        SendRequestLine(QStringLiteral("Proxy-Authorization: Basic ") +
                        QString::fromLatin1(EncodeBase64((FProxyUsername + QLatin1Char(':') + FProxyPassword).toLatin1())));
    if (!FCookie.isEmpty())
        SendRequestLine(QStringLiteral("Cookie: ") + FCookie);
    TriggerRequestHeaderEnd();
    if (!self)
        return;
    SendRequestLine(QString());
    const QByteArray request = FReqStream;
    FReqStream.clear();
    FCtrlSocket->SendText(request);
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
        if (!FBodyBuffer)
            FBodyBuffer = std::make_unique<char[]>(BodyBufferSize);
        const int count = FCtrlSocket->Receive(FBodyBuffer.get(), BodyBufferSize);
        if (count <= 0)
            return;
        RestartTimer();
        ProcessBodyChunk(FBodyBuffer.get(), count);
        return;
    }
    if (FReceiveLen >= 8192)
        throw EHttpException(QStringLiteral("HTTP line too long"), ErrLineTooLong);
    const int count = FCtrlSocket->Receive(FReceiveBuffer + FReceiveLen, 8192 - FReceiveLen);
    if (FRequestType == RequestNone || count <= 0)
        return;
    RestartTimer();
    FReceiveLen += count;
    FReceiveBuffer[FReceiveLen] = 0;

    QPointer<THttpCli> self(this);
    while (FReceiveLen > 0) {
        if (FState == THttpState::ReadingBody && FNext) {
            FLastResponse = QByteArray(FReceiveBuffer, FReceiveLen);
            FReceiveLen = 0;
            (this->*FNext)(FLastResponse);
            return;
        }
        // The search stops at a zero byte, as a text search does; such a line waits
        // until the buffer is full and is then refused as too long.
        const char *lf = std::strchr(FReceiveBuffer, '\n');
        if (!lf || lf - FReceiveBuffer >= FReceiveLen) {
            // A full buffer without a line end can only be refused; waiting for the next
            // packet to say so would hang on a peer that sends nothing more.
            if (FReceiveLen >= 8192)
                throw EHttpException(QStringLiteral("HTTP line too long"), ErrLineTooLong);
            return;
        }
        const int taken = int(lf - FReceiveBuffer) + 1;
        int length = taken - 1;
        FLineEnding = QByteArrayLiteral("\n");
        if (length > 0 && FReceiveBuffer[length - 1] == '\r') {
            --length;
            FLineEnding = QByteArrayLiteral("\r\n");
        }
        FLastResponse = QByteArray(FReceiveBuffer, length);
        std::memmove(FReceiveBuffer, FReceiveBuffer + taken, size_t(FReceiveLen - taken + 1));
        FReceiveLen -= taken;
        if (FState != THttpState::ReadingHeader && FState != THttpState::ReadingBody)
            continue;
        if (!FNext) {
            PostToSelf(WM_HTTP_SET_READY);
            continue;
        }
        (this->*FNext)(FLastResponse);
        if (!self)
            return;
    }
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
    const QString line = QString::fromLatin1(raw);

    if (line.left(6).toUpper() == QLatin1String("<HTML>")) {
        // No header at all: the response is the document, delivered byte for byte.
        if (FContentType.isEmpty())
            FContentType = QStringLiteral("text/html");
        ChangeState(THttpState::ReadingBody);
        if (!self)
            return;
        FNext = &THttpCli::ProcessBodyData;
        TriggerHeaderEnd();
        if (!self)
            return;
        ProcessBodyData(raw + FLineEnding);
        return;
    }

    if (line.isEmpty()) {
        HeaderEnded();
        return;
    }

    FReceivedHeader.append(line);
    if (line.startsWith(QLatin1String("HTTP/1.0")) || line.startsWith(QLatin1String("HTTP/1.1"))) {
        FStatusCode = StrToInt(line.mid(9, 3));
        FReasonPhrase = line.mid(13);
    } else {
        const qsizetype colon = line.indexOf(QLatin1Char(':'));
        if (colon >= 0) {
            const QString field = line.left(colon).toLower();
            const QString data = line.mid(colon + 2);
            if (field == QLatin1String("location")) {
                NoteRedirect(data);
            } else if (field == QLatin1String("content-length")) {
                FContentLength = StrToInt(data);
            } else if (field == QLatin1String("content-type")) {
                FContentType = data.toLower();
            } else if (field == QLatin1String("www-authenticate")) {
                FAuthenticateList.append(data);
            } else if (field == QLatin1String("set-cookie")) {
                bool accept = true;
                TriggerCookie(data, accept);
                if (!self)
                    return;
            }
        }
    }
    if (OnHeaderData) {
        OnHeaderData(this);
        if (!self)
            return;
    }
    if (FStatusCode >= 400) {
        // The body of an error is not read: the rest of the exchange is dropped.
        FReceiveLen = 0;
        DoClose();
    }
}

void THttpCli::HeaderEnded()
{
    QPointer<THttpCli> self(this);
    if (FLocationChangeRedirect) {
        if (FRedirectCount >= MaxRedirects) {
            // A server that keeps redirecting (to itself, say) would keep the client busy
            // for ever; past the limit the request ends with its own reason.
            FLocationChangeRedirect = false;
            Fail(404, QStringLiteral("Too many redirects (more than %1)").arg(MaxRedirects), ErrTooManyRedirects);
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
    if (dot >= 0 && FDocName.mid(dot).toLower() == QLatin1String(".exe") &&
        FContentType == QLatin1String("text/html"))
        FDocName = FDocName.left(dot + 1) + QStringLiteral("htm");

    ChangeState(THttpState::ReadingBody);
    if (!self)
        return;
    FNext = &THttpCli::ProcessBodyData;
    TriggerHeaderEnd();
    if (!self)
        return;
    if (FReceiveLen > 0) {
        FLastResponse = QByteArray(FReceiveBuffer, FReceiveLen);
        FReceiveLen = 0;
        ProcessBodyData(FLastResponse);
    }
}

void THttpCli::NoteRedirect(const QString &value)
{
    FLocationChangeRedirect = true;
    const TUrlParts url = ParseUrl(value);
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
            if (FPath.isEmpty()) {
                FPath = scheme + QStringLiteral("://") + FTargetHost + QLatin1Char('/') + FHostName;
                FHostName = FTargetHost;
            } else if (!FHostName.isEmpty()) {
                FTargetHost = FHostName;
            } else {
                FPath = scheme + QStringLiteral("://") + FTargetHost + FPath;
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
    FLocation = FPath;
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

void THttpCli::ProcessBodyData(const QByteArray &data)
{
    ProcessBodyChunk(data.constData(), int(data.size()));
}

void THttpCli::ProcessBodyChunk(const char *data, int length)
{
    QPointer<THttpCli> self(this);
    if (FBodyLineCount == 0) {
        TriggerDocBegin();
        if (!self)
            return;
    }
    ++FBodyLineCount;
    FReceivedCount += length;
    TriggerDocData(data, length);
    if (!self)
        return;
    if (FReceiveStream)
        FReceiveStream->write(data, length);
}

void THttpCli::SocketSessionClosed(quint16)
{
    if (FCloseAction == CloseRedirects)
        RedirectStep();
    else
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
    if (FState == THttpState::Idle || FState == THttpState::Aborting)
        return;
    quint16 code = ErrAborted;
    QString message = QString::fromLocal8Bit(e.what());
    if (const auto *own = dynamic_cast<const Exception *>(&e))
        message = own->Message();
    if (const auto *http = dynamic_cast<const EHttpException *>(&e))
        code = http->ErrorCode();
    qCDebug(lcNet) << "http request failed:" << message;
    Fail(404, message, code);
    FLocationChangeRedirect = false;
    FCloseAction = CloseEndsRequest;
}

void THttpCli::Fail(int statusCode, const QString &reason, quint16 error)
{
    FStatusCode = statusCode;
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
        try {
            FCtrlSocket->CancelDnsLookup();
        } catch (...) {
        }
    }
    Fail(404, reason, error);
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

void THttpCli::TimerExpired()
{
    if (FState == THttpState::Idle || FState == THttpState::Aborting)
        return;
    AbortRequest(QStringLiteral("Timeout: no answer from the server for %1 seconds").arg(FTimeout),
                 Winsock::WSAETIMEDOUT);
}

void THttpCli::DoClose()
{
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
