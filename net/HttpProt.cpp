#include "net/HttpProt.h"

#include "net/BestEffort.h"
#include "net/HttpRequestWriter.h"
#include "net/HttpUtil.h"
#include "net/NetLog.h"
#include "net/WSocketResolve.h"
#include "platform/core/Exceptions.h"

#include <QPointer>
#include <cstring>

THttpCli::THttpCli(QObject *owner) : THttpCliEvents(owner), FConnector(*this)
{
    FWindow = std::make_unique<TMessageWindow>([this](TMessage &msg) { WndProc(msg); });
    FCtrlSocket = std::make_unique<TWSocket>();
    FCtrlSocket->OnSessionConnected = [this](QObject *, quint16 error) { FConnector.Connected(error); };
    FCtrlSocket->OnSessionClosed = [this](QObject *, quint16 error) { SocketSessionClosed(error); };
    FCtrlSocket->OnDataAvailable = [this](QObject *, quint16 error) { SocketDataAvailable(error); };
    FCtrlSocket->OnDataSent = [this](QObject *, quint16 error) { SocketDataSent(error); };
    FCtrlSocket->OnDnsLookupDone = [this](QObject *, quint16 error) { FConnector.LookupDone(error); };
    FCtrlSocket->OnSslHandshakeDone = [this](QObject *, quint16 error, const QString &reason) {
        FConnector.HandshakeDone(error, reason);
    };
    // The proxy's own words reach the user, not the platform's text for an unknown code.
    FCtrlSocket->OnSocksError = [this](QObject *, int error, const QString &msg) {
        FConnector.NoteSocksError(error, msg);
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

bool THttpCli::ChangeState(THttpState newState)
{
    if (newState == FState)
        return true;
    FState = newState;
    qCDebug(lcNet) << "http state" << int(newState);
    if (newState == THttpState::Idle) {
        FTimer.stop();
        FDeadlineTimer.stop();
        PostToSelf(WM_HTTP_REQUEST_DONE);
    }
    return !OnStateChange || Survives([&] { OnStateChange(this); });
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
    FRequestType = request;
    FRequestDoneError = 0;
    FCloseAction = CloseEndsRequest;
    ++FRequestSerial;
    FRedirectCount = 0;
    // What the previous response said must not pass for this one's answer.
    FReader.BeginConnection();
    FReader.BeginReply();
    FReader.AuthenticateList.clear();
    if (FDeadline > 0)
        FDeadlineTimer.start(FDeadline * 1000);
    if (!ChangeState(THttpState::Starting))
        return;

    FReceivedCount = 0;
    FSentCount = 0;
    FBodyLineCount = 0;
    FAllowedToSend = false;
    FRoute.Start(FURL, FProxy, FProxyPort);
    const TUrlParts url = ParseUrl(FURL);
    FDocName = url.Path;
    // A user or password in the URL is for this request alone, and every credential
    // goes only to the origin it was given for.
    FRequestUsername = url.User.isEmpty() ? FUsername : url.User;
    FRequestPassword = url.Pass.isEmpty() ? FPassword : url.Pass;
    // Nothing goes on the wire for an address or a header line the client refuses; the
    // request ends through the message loop as a failed lookup does.
    QString refusal = UrlRefusal(FURL);
    if (refusal.isEmpty() && !FProxy.isEmpty() && !IsValidPort(FRoute.Port))
        refusal = QStringLiteral("Bad proxy port: %1").arg(FRoute.Port);
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
    if (FRoute.Path.isEmpty())
        FRoute.Path = QStringLiteral("/");

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
    FConnector.Lookup();
}

void THttpCli::SendRequestNow()
{
    if (!Survives([&] { TriggerSessionConnected(); }))
        return;
    FReader.BeginConnection();
    FReader.BeginReply();
    if (!ChangeState(THttpState::ReadingHeader))
        return;
    bool failed = false;
    const bool alive = Survives([&] {
        try {
            switch (FRequestType) {
            case RequestPost:
                if (!Survives([&] { SendRequest(QStringLiteral("POST")); }) || !Survives([&] { TriggerSendBegin(); }))
                    return;
                FAllowedToSend = true;
                SendPostChunk();
                break;
            case RequestHead: SendRequest(QStringLiteral("HEAD")); break;
            default: SendRequest(QStringLiteral("GET")); break;
            }
        } catch (const std::exception &) {
            failed = true;
        }
    });
    if (alive && failed)
        DoClose();
}

void THttpCli::SendRequestLine(const QString &line)
{
    if (OnCommand)
        OnCommand(this, line);
}

void THttpCli::SendRequest(const QString &method)
{
    if (!Survives([&] { TriggerRequestHeaderBegin(); }))
        return;
    // Built after the begin event, whose handler may still change the properties.
    const THttpRequestMessage request = THttpRequestWriter::Build(*this, FRoute, method, FRequestUsername,
                                                                  FRequestPassword);
    SendRequestLine(request.RequestLine());
    for (const QString &line : request.Headers)
        SendRequestLine(line);
    if (!Survives([&] { TriggerRequestHeaderEnd(); }))
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
        if (Survives([&] { TriggerSendData(buffer, int(count)); }))
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
    if (FState == THttpState::ReadingBody && !FReader.HasBuffered() && FRequestType != RequestNone) {
        ReceiveBody();
        return;
    }
    FReader.CheckLineSpace();
    const int count = FCtrlSocket->Receive(FReader.LineSpace(), FReader.LineSpaceSize());
    if (FRequestType == RequestNone || count <= 0)
        return;
    RestartTimer();
    FReader.ReplyStarted = true;
    FReader.Received(count);
    ProcessLineBuffer();
}

void THttpCli::ReceiveBody()
{
    const int count = FCtrlSocket->Receive(FReader.BodyBuffer(), THttpReplyReader::BodyBufferSize);
    if (count <= 0)
        return;
    RestartTimer();
    ProcessBodyBytes(FReader.BodyBuffer(), count);
}

void THttpCli::ProcessLineBuffer()
{
    QPointer<THttpCli> self(this);
    while (self && FReader.HasBuffered()) {
        if (FState == THttpState::ReadingBody) {
            const QByteArray bytes = FReader.TakeBuffered();
            ProcessBodyBytes(bytes.constData(), bytes.size());
            return;
        }
        if (FState != THttpState::ReadingHeader && FState != THttpState::Tunnelling) {
            // Nothing is expected now (the reply ended or failed): what came is dropped.
            FReader.DropBuffered();
            return;
        }
        QByteArray line;
        if (!FReader.NextLine(&line))
            return;
        if (FState == THttpState::Tunnelling)
            FConnector.TunnelLine(line);
        else
            ProcessHeaderLine(line);
    }
}

void THttpCli::ProcessHeaderLine(const QByteArray &raw)
{
    if (FReader.Reply.LineCount == 0 && !Survives([&] { TriggerHeaderBegin(); }))
        return;
    using TLine = THttpReplyReader::TLine;
    const TLine line = FReader.ReadHeaderLine(raw);
    if (line.Kind == TLine::Failed) {
        FailReply(line.Error, line.Text);
        return;
    }
    if (line.Kind == TLine::HeaderEnd) {
        HeaderEnded();
        return;
    }
    bool accept = true;
    if (line.Kind == TLine::Cookie && !Survives([&] { TriggerCookie(line.Text, accept); }))
        return;
    if (OnHeaderData && !Survives([&] { OnHeaderData(this); }))
        return;
    if (FReader.Reply.StatusCode >= 400 && ReadingReply()) {
        // The body of an error is not read: the rest of the exchange is dropped, and
        // the close that this makes is no truncation.
        FReader.Reply.Complete = true;
        FReader.DropBuffered();
        DoClose();
    }
}

void THttpCli::HeaderEnded()
{
    const THttpReply &reply = FReader.Reply;
    if (reply.StatusCode >= 100 && reply.StatusCode < 200) {
        // An interim reply: the final one follows on the same connection, and nothing
        // the interim one said changes the request.
        FReader.BeginReply();
        return;
    }
    if (!FollowRedirect())
        return;
    if (reply.Redirecting) {
        if (FRedirectCount >= MaxRedirects) {
            // A server that keeps redirecting (to itself, say) would keep the client busy
            // for ever; past the limit the request ends with its own reason.
            FReader.Reply.Redirecting = false;
            Fail(QStringLiteral("Too many redirects (more than %1)").arg(MaxRedirects), ErrTooManyRedirects);
            if (!Survives([&] { TriggerHeaderEnd(); }))
                return;
            FReader.DropBuffered();
            DoClose();
            return;
        }
        ++FRedirectCount;
        if (!Survives([&] { TriggerHeaderEnd(); }))
            return;
        FReader.DropBuffered();
        FReader.Reply.LineCount = 0;
        FBodyLineCount = 0;
        FCloseAction = CloseRedirects;
        DoClose();
        return;
    }

    const qsizetype dot = FDocName.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0 && FDocName.mid(dot).toLower() == QLatin1String(".exe") &&
        reply.ContentType == QLatin1String("text/html"))
        FDocName = FDocName.left(dot + 1) + QStringLiteral("htm");

    const THttpReplyReader::TLine body = FReader.BeginBody(FRequestType, FMaxBodySize);
    if (body.Kind == THttpReplyReader::TLine::Failed) {
        FailReply(body.Error, body.Text);
        return;
    }
    if (!ChangeState(THttpState::ReadingBody) || !Survives([&] { TriggerHeaderEnd(); }))
        return;
    if (FReader.BodyDone())
        FinishReply();
}

bool THttpCli::FollowRedirect()
{
    THttpReply &reply = FReader.Reply;
    switch (reply.StatusCode) {
    case 301:
    case 302:
    case 303:
    case 307:
    case 308: break;
    default: return true; // Location is an ordinary header here.
    }
    if (!reply.HasLocation)
        return true;
    if (reply.LocationConflict) {
        FailReply(ErrBadReply, QStringLiteral("Bad reply from the server: conflicting Location values"));
        return false;
    }
    QString refusal = UrlRefusal(reply.Location);
    if (!refusal.isEmpty()) {
        FailReply(ErrUrlRefused, QStringLiteral("Redirect refused: ") + refusal);
        return false;
    }
    refusal = FRoute.Redirect(reply.Location, FAllowDowngrade);
    if (!refusal.isEmpty()) {
        FailReply(ErrUrlRefused, refusal);
        return false;
    }
    reply.Redirecting = true;
    return true;
}

void THttpCli::ProcessBodyBytes(const char *data, qsizetype length)
{
    switch (FReader.TakeBody(data, length, [this](const char *d, qsizetype n) { return DeliverBody(d, n); })) {
    case THttpReplyReader::BodyFinished: FinishReply(); return;
    case THttpReplyReader::BodyMalformed:
        FailReply(ErrBadReply, QStringLiteral("Bad reply from the server: ") + FReader.ChunkError());
        return;
    default: return;
    }
}

bool THttpCli::DeliverBody(const char *data, qsizetype length)
{
    if (FBodyLineCount == 0 && (!Survives([&] { TriggerDocBegin(); }) || !ReadingReply()))
        return false;
    if (FMaxBodySize > 0 && FReceivedCount + length > FMaxBodySize) {
        FailReply(ErrBodyTooLarge, QStringLiteral("Reply larger than %1 bytes").arg(FMaxBodySize));
        return false;
    }
    ++FBodyLineCount;
    FReceivedCount += length;
    if (!Survives([&] { TriggerDocData(data, int(length)); }) || !ReadingReply())
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
           !FReader.Reply.Complete && FCloseAction == CloseEndsRequest;
}

void THttpCli::FinishReply()
{
    FReader.Reply.Complete = true;
    FReader.DropBuffered();
    DoClose();
}

void THttpCli::FailReply(quint16 error, const QString &reason)
{
    qCDebug(lcNet) << "http reply refused:" << reason;
    Fail(reason, error);
    FReader.DropBuffered();
    DoClose();
}

void THttpCli::FailClosedReply(quint16 socketError)
{
    if (socketError != 0) {
        Fail(SocketErrorDesc(socketError) + QStringLiteral(" (Error #%1)").arg(socketError), socketError);
        return;
    }
    const THttpReplyReader::TLine verdict = FReader.ClosedEarly(FState == THttpState::ReadingBody,
                                                                FRoute.Secure && !FCtrlSocket->SslCloseNotified());
    if (verdict.Kind == THttpReplyReader::TLine::Failed)
        Fail(verdict.Text, verdict.Error);
    else
        FReader.Reply.Complete = true;
}

void THttpCli::RedirectStep()
{
    FConnected = false;
    FReader.Reply.Redirecting = false;
    FCloseAction = CloseEndsRequest;
    if (OnLocationChange && !Survives([&] { OnLocationChange(this); }))
        return;
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
             FRequestDoneError == 0) {
        // Closed before the request could go out (a proxy that gave up, say).
        quint16 code = 0;
        const QString reason = FConnector.ClosedBeforeRequest(error, &code);
        Fail(reason, code);
    }
    EndOfConnection();
}

void THttpCli::EndOfConnection()
{
    FConnected = false;
    if (FBodyLineCount > 0 && !Survives([&] { TriggerDocEnd(); }))
        return;
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
    FReader.Reply.Redirecting = false;
    FCloseAction = CloseEndsRequest;
}

void THttpCli::Fail(const QString &reason, quint16 error)
{
    FReader.Reply.ReasonPhrase = reason;
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
    if (!ChangeState(THttpState::Aborting))
        return;
    if (oldState == THttpState::LookingUp) {
        BestEffort([&] { FCtrlSocket->CancelDnsLookup(); });
    }
    Fail(reason, error);
    FCloseAction = CloseEndsRequest;
    FReader.Reply.Redirecting = false;
    if (!Survives([&] {
            if (oldState == THttpState::LookingUp)
                EndOfConnection();
            else
                DoClose();
        }))
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
    FBodyLineCount = 0;
    FReader.BeginConnection();
    FReader.BeginReply();
    FReader.AuthenticateList.clear();
    ChangeState(THttpState::ReadingHeader);
}

void THttpCli::FeedReply(const char *data, qsizetype length)
{
    QPointer<THttpCli> self(this);
    try {
        while (length > 0 && self && ReadingReply()) {
            FReader.ReplyStarted = true;
            if (FState == THttpState::ReadingBody && !FReader.HasBuffered()) {
                ProcessBodyBytes(data, length);
                return;
            }
            FReader.CheckLineSpace();
            const int take = int(qMin<qsizetype>(length, FReader.LineSpaceSize()));
            std::memcpy(FReader.LineSpace(), data, size_t(take));
            FReader.Received(take);
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
