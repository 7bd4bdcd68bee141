#include "net/HttpProt.h"

#include "net/BestEffort.h"
#include "net/HttpRequestWriter.h"
#include "net/HttpUtil.h"
#include "net/NetLog.h"
#include "platform/core/Exceptions.h"

#include <QCoreApplication>
#include <cstring>
#include <exception>

THttpCli::THttpCli(QObject *owner) : THttpCliEvents(owner), FConnector(*this), FReceiver(*this)
{
    FWindow = std::make_unique<TMessageWindow>([this](TMessage &msg) { WndProc(msg); });
    FCtrlSocket = std::make_unique<TWSocket>();
    FCtrlSocket->OnSessionConnected = [this](QObject *, quint16 error) { FConnector.Connected(error); };
    FCtrlSocket->OnSessionClosed = [this](QObject *, quint16 error) { SocketSessionClosed(error); };
    FCtrlSocket->OnDataAvailable = [this](QObject *, quint16 error) { FReceiver.DataAvailable(error); };
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
        throw EHttpException(QCoreApplication::translate("THttpCli", "HTTP component is busy"), ErrBusy);
    if (request == RequestPost && !FPostStream)
        throw EHttpException(QCoreApplication::translate("THttpCli", "HTTP component has nothing to post"),
                             ErrNothingToPost);

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
        refusal = QCoreApplication::translate("THttpCli", "Bad proxy port: %1").arg(FRoute.Port);
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
        FReceiver.Closed(error);
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
    AbortRequest(QCoreApplication::translate("THttpCli", "Connection aborted on request"), ErrAborted);
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
    AbortRequest(
        QCoreApplication::translate("THttpCli", "No complete reply within %n seconds", nullptr, int(FDeadline)),
        ErrDeadline);
}

void THttpCli::TimerExpired()
{
    if (FState == THttpState::Idle || FState == THttpState::Aborting)
        return;
    AbortRequest(QCoreApplication::translate("THttpCli", "Timeout: no answer from the server for %n seconds", nullptr,
                                             int(FTimeout)),
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
        throw EHttpException(QCoreApplication::translate("THttpCli", "HTTP component is busy"), ErrBusy);
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
    std::exception_ptr failure;
    const bool alive = Survives([&] {
        try {
            while (length > 0 && ReadingReply()) {
                FReader.ReplyStarted = true;
                if (FState == THttpState::ReadingBody && !FReader.HasBuffered()) {
                    FReceiver.BodyBytes(data, length);
                    return;
                }
                FReader.CheckLineSpace();
                const int take = int(qMin<qsizetype>(length, FReader.LineSpaceSize()));
                std::memcpy(FReader.LineSpace(), data, size_t(take));
                FReader.Received(take);
                data += take;
                length -= take;
                if (!Survives([&] { FReceiver.ProcessLineBuffer(); }))
                    return;
            }
        } catch (const std::exception &) {
            failure = std::current_exception();
        }
    });
    if (!alive || !failure)
        return;
    // As the socket's background handling does: the request fails, the connection ends.
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception &e) {
        SocketBgException(e);
    }
    DoClose();
}

void THttpCli::EndFedReply(quint16 error)
{
    if (FFed && !FFedClosed) {
        FFedClosed = true;
        SocketSessionClosed(error);
    }
}
