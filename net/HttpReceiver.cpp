#include "net/HttpReceiver.h"

#include "net/HttpProt.h"
#include "net/WSocketResolve.h"
#include "platform/core/Formatting.h"

#include <QCoreApplication>

void THttpReceiver::DataAvailable(quint16)
{
    THttpCli &c = FClient;
    // Once the header is behind, the body needs no line buffer: it is read in larger
    // pieces straight into a buffer of its own, which takes far fewer system calls.
    if (c.FState == THttpState::ReadingBody && !c.FReader.HasBuffered() && c.FRequestType != RequestNone) {
        ReceiveBody();
        return;
    }
    c.FReader.CheckLineSpace();
    const int count = c.FCtrlSocket->Receive(c.FReader.LineSpace(), c.FReader.LineSpaceSize());
    if (c.FRequestType == RequestNone || count <= 0)
        return;
    c.RestartTimer();
    c.FReader.ReplyStarted = true;
    c.FReader.Received(count);
    ProcessLineBuffer();
}

void THttpReceiver::ReceiveBody()
{
    THttpCli &c = FClient;
    const int count = c.FCtrlSocket->Receive(c.FReader.BodyBuffer(), THttpReplyReader::BodyBufferSize);
    if (count <= 0)
        return;
    c.RestartTimer();
    BodyBytes(c.FReader.BodyBuffer(), count);
}

void THttpReceiver::ProcessLineBuffer()
{
    THttpCli &c = FClient;
    while (c.FReader.HasBuffered()) {
        if (c.FState == THttpState::ReadingBody) {
            const QByteArray bytes = c.FReader.TakeBuffered();
            BodyBytes(bytes.constData(), bytes.size());
            return;
        }
        if (c.FState != THttpState::ReadingHeader && c.FState != THttpState::Tunnelling) {
            // Nothing is expected now (the reply ended or failed): what came is dropped.
            c.FReader.DropBuffered();
            return;
        }
        QByteArray line;
        if (!c.FReader.NextLine(&line))
            return;
        const bool tunnel = c.FState == THttpState::Tunnelling;
        if (!c.Survives([&] { tunnel ? c.FConnector.TunnelLine(line) : HeaderLine(line); }))
            return;
    }
}

void THttpReceiver::HeaderLine(const QByteArray &raw)
{
    THttpCli &c = FClient;
    if (c.FReader.Reply.LineCount == 0 && !c.Survives([&] { c.TriggerHeaderBegin(); }))
        return;
    using TLine = THttpReplyReader::TLine;
    const TLine line = c.FReader.ReadHeaderLine(raw);
    if (line.Kind == TLine::Failed) {
        c.FailReply(line.Error, line.Text);
        return;
    }
    if (line.Kind == TLine::HeaderEnd) {
        HeaderEnded();
        return;
    }
    bool accept = true;
    if (line.Kind == TLine::Cookie && !c.Survives([&] { c.TriggerCookie(line.Text, accept); }))
        return;
    if (c.OnHeaderData && !c.Survives([&] { c.OnHeaderData(&c); }))
        return;
    if (c.FReader.Reply.StatusCode >= 400 && c.ReadingReply()) {
        // The body of an error is not read: the rest of the exchange is dropped, and
        // the close that this makes is no truncation.
        c.FReader.Reply.Complete = true;
        c.FReader.DropBuffered();
        c.DoClose();
    }
}

void THttpReceiver::HeaderEnded()
{
    THttpCli &c = FClient;
    const THttpReply &reply = c.FReader.Reply;
    if (reply.StatusCode >= 100 && reply.StatusCode < 200) {
        // An interim reply: the final one follows on the same connection, and nothing
        // the interim one said changes the request.
        c.FReader.BeginReply();
        return;
    }
    if (!FollowRedirect())
        return;
    if (reply.Redirecting) {
        if (c.FRedirectCount >= THttpCli::MaxRedirects) {
            // A server that keeps redirecting (to itself, say) would keep the client busy
            // for ever; past the limit the request ends with its own reason.
            c.FReader.Reply.Redirecting = false;
            c.Fail(QCoreApplication::translate("THttpCli", "Too many redirects (more than %1)")
                       .arg(THttpCli::MaxRedirects),
                   ErrTooManyRedirects);
            if (!c.Survives([&] { c.TriggerHeaderEnd(); }))
                return;
            c.FReader.DropBuffered();
            c.DoClose();
            return;
        }
        ++c.FRedirectCount;
        if (!c.Survives([&] { c.TriggerHeaderEnd(); }))
            return;
        c.FReader.DropBuffered();
        c.FReader.Reply.LineCount = 0;
        c.FBodyLineCount = 0;
        c.FCloseAction = THttpCli::CloseRedirects;
        c.DoClose();
        return;
    }

    const qsizetype dot = c.FDocName.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0 && c.FDocName.mid(dot).toLower() == QLatin1String(".exe") &&
        reply.ContentType == QLatin1String("text/html"))
        c.FDocName = c.FDocName.left(dot + 1) + QStringLiteral("htm");

    const THttpReplyReader::TLine body = c.FReader.BeginBody(c.FRequestType, c.FMaxBodySize);
    if (body.Kind == THttpReplyReader::TLine::Failed) {
        c.FailReply(body.Error, body.Text);
        return;
    }
    if (!c.ChangeState(THttpState::ReadingBody) || !c.Survives([&] { c.TriggerHeaderEnd(); }))
        return;
    if (c.FReader.BodyDone())
        c.FinishReply();
}

bool THttpReceiver::FollowRedirect()
{
    THttpCli &c = FClient;
    THttpReply &reply = c.FReader.Reply;
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
        c.FailReply(ErrBadReply,
                    QCoreApplication::translate("THttpCli", "Bad reply from the server: conflicting Location values"));
        return false;
    }
    QString refusal = UrlRefusal(reply.Location);
    if (!refusal.isEmpty()) {
        c.FailReply(ErrUrlRefused, QCoreApplication::translate("THttpCli", "Redirect refused: %1").arg(refusal));
        return false;
    }
    refusal = c.FRoute.Redirect(reply.Location, c.FAllowDowngrade);
    if (!refusal.isEmpty()) {
        c.FailReply(ErrUrlRefused, refusal);
        return false;
    }
    reply.Redirecting = true;
    return true;
}

void THttpReceiver::BodyBytes(const char *data, qsizetype length)
{
    THttpCli &c = FClient;
    switch (c.FReader.TakeBody(data, length, [this](const char *d, qsizetype n) { return DeliverBody(d, n); })) {
    case THttpReplyReader::BodyFinished: c.FinishReply(); return;
    case THttpReplyReader::BodyMalformed:
        c.FailReply(
            ErrBadReply,
            QCoreApplication::translate("THttpCli", "Bad reply from the server: %1").arg(c.FReader.ChunkError()));
        return;
    default: return;
    }
}

bool THttpReceiver::DeliverBody(const char *data, qsizetype length)
{
    THttpCli &c = FClient;
    if (c.FBodyLineCount == 0 && (!c.Survives([&] { c.TriggerDocBegin(); }) || !c.ReadingReply()))
        return false;
    if (c.FMaxBodySize > 0 && c.FReceivedCount + length > c.FMaxBodySize) {
        c.FailReply(ErrBodyTooLarge, QCoreApplication::translate("THttpCli", "Reply larger than %1 bytes", nullptr,
                                                                 PluralCount(c.FMaxBodySize))
                                         .arg(c.FMaxBodySize));
        return false;
    }
    ++c.FBodyLineCount;
    c.FReceivedCount += length;
    if (!c.Survives([&] { c.TriggerDocData(data, int(length)); }) || !c.ReadingReply())
        return false;
    if (!c.FReceiveStream)
        return true;
    // A write that stops short (at a file size limit, say) is tried again for the rest,
    // so that the failure comes with the system's reason.
    qint64 written = 0;
    while (written < length) {
        const qint64 count = c.FReceiveStream->write(data + written, length - written);
        if (count <= 0) {
            c.FailReply(ErrWriteFailed, QCoreApplication::translate("THttpCli", "Cannot write the received data: %1")
                                            .arg(c.FReceiveStream->errorString()));
            return false;
        }
        written += count;
    }
    return true;
}

void THttpReceiver::Closed(quint16 socketError)
{
    THttpCli &c = FClient;
    if (socketError != 0) {
        c.Fail(QCoreApplication::translate("THttpCli", "%1 (Error #%2)")
                   .arg(SocketErrorDesc(socketError))
                   .arg(socketError),
               socketError);
        return;
    }
    const THttpReplyReader::TLine verdict = c.FReader.ClosedEarly(
        c.FState == THttpState::ReadingBody, c.FRoute.Secure && !c.FCtrlSocket->SslCloseNotified());
    if (verdict.Kind == THttpReplyReader::TLine::Failed)
        c.Fail(verdict.Text, verdict.Error);
    else
        c.FReader.Reply.Complete = true;
}
