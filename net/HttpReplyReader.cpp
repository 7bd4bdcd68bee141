#include "net/HttpReplyReader.h"

#include "net/HttpUtil.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Formatting.h"

#include <QCoreApplication>
#include <cstring>

THttpReplyReader::THttpReplyReader() : FLines(std::make_unique<char[]>(HttpLineBufferSize)) {}

void THttpReplyReader::BeginConnection()
{
    ReplyStarted = false;
    FHeaderLines = 0;
    FHeaderBytes = 0;
    FLineLength = 0;
}

void THttpReplyReader::CheckLineSpace() const
{
    // A full buffer without a line end can only be refused; waiting for the next
    // packet to say so would hang on a peer that sends nothing more.
    if (FLineLength >= HttpLineBufferSize)
        throw EHttpException(QCoreApplication::translate("THttpCli", "HTTP line too long"), ErrLineTooLong);
}

bool THttpReplyReader::NextLine(QByteArray *line)
{
    const char *lf = static_cast<const char *>(std::memchr(FLines.get(), '\n', size_t(FLineLength)));
    if (!lf) {
        CheckLineSpace();
        return false;
    }
    const int taken = int(lf - FLines.get()) + 1;
    int length = taken - 1;
    if (length > 0 && FLines[length - 1] == '\r')
        --length;
    *line = QByteArray(FLines.get(), length);
    std::memmove(FLines.get(), FLines.get() + taken, size_t(FLineLength - taken));
    FLineLength -= taken;
    return true;
}

QByteArray THttpReplyReader::TakeBuffered()
{
    const QByteArray bytes(FLines.get(), FLineLength);
    FLineLength = 0;
    return bytes;
}

char *THttpReplyReader::BodyBuffer()
{
    if (!FBody)
        FBody = std::make_unique<char[]>(BodyBufferSize);
    return FBody.get();
}

THttpReplyReader::TLine THttpReplyReader::Fail(quint16 error, const QString &reason)
{
    TLine line;
    line.Kind = TLine::Failed;
    line.Error = error;
    line.Text = reason;
    return line;
}

THttpReplyReader::TLine THttpReplyReader::CountLine(const QByteArray &raw, const QString &from)
{
    // Lines are bounded one by one by the line buffer, and here in number and in all.
    FHeaderBytes += raw.size() + 2;
    if (++FHeaderLines > HttpMaxHeaderLines || FHeaderBytes > HttpMaxHeaderBytes)
        return Fail(ErrHeaderTooLarge, QCoreApplication::translate("THttpCli", "Header too large"));
    // A zero byte has no place in a header; reading past it would hide the rest of the
    // reply, reading up to it would take half a line for the whole.
    if (raw.contains('\0'))
        return Fail(ErrBadReply,
                    QCoreApplication::translate("THttpCli", "Bad reply from %1: NUL byte in the header").arg(from));
    return TLine();
}

THttpReplyReader::TLine THttpReplyReader::ReadHeaderLine(const QByteArray &raw)
{
    ++Reply.LineCount;
    const TLine counted = CountLine(raw, QCoreApplication::translate("THttpCli", "the server"));
    if (counted.Kind == TLine::Failed)
        return counted;
    const QString line = QString::fromLatin1(raw);
    if (Reply.LineCount == 1) {
        // The first line must be a status line. A reply without one (a bare document,
        // say) cannot be told from a broken or cut one, so it is refused.
        QString reason;
        if (!ParseStatusLine(line, &Reply.StatusCode, &reason))
            return Fail(ErrBadReply,
                        QCoreApplication::translate("THttpCli", "Bad reply from the server: no status line"));
        Reply.ReasonPhrase = reason;
        Reply.ReceivedHeader.append(line);
        return TLine();
    }
    if (line.isEmpty()) {
        TLine end;
        end.Kind = TLine::HeaderEnd;
        return end;
    }
    // An obsolete continuation line: read as its own field or dropped, it would make
    // this client see another header than the next reader of the same bytes.
    if (line.front() == QLatin1Char(' ') || line.front() == QLatin1Char('\t'))
        return Fail(ErrBadReply,
                    QCoreApplication::translate("THttpCli", "Bad reply from the server: folded header line"));
    if (!line.contains(QLatin1Char(':')))
        return Fail(ErrBadReply,
                    QCoreApplication::translate("THttpCli", "Bad reply from the server: header line without a colon"));
    Reply.ReceivedHeader.append(line);
    return ReadField(line);
}

THttpReplyReader::TLine THttpReplyReader::ReadField(const QString &line)
{
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    const QString field = line.left(colon).toLower();
    const QString data = line.mid(colon + 1).trimmed();
    if (field == QLatin1String("location")) {
        // Only noted here: whether it redirects depends on the status, and nothing
        // changes before the whole header is in.
        if (Reply.HasLocation && data != Reply.Location)
            Reply.LocationConflict = true;
        Reply.Location = data;
        Reply.HasLocation = true;
    } else if (field == QLatin1String("content-length")) {
        qint64 length = 0;
        if (!ParseContentLength(data, &length))
            return Fail(ErrBadReply,
                        QCoreApplication::translate("THttpCli", "Bad reply from the server: bad Content-Length"));
        if (Reply.ContentLength >= 0 && Reply.ContentLength != length)
            return Fail(ErrBadReply, QCoreApplication::translate(
                                         "THttpCli", "Bad reply from the server: conflicting Content-Length values"));
        Reply.ContentLength = length;
    } else if (field == QLatin1String("transfer-encoding")) {
        const QString coding = data.toLower();
        if (coding == QLatin1String("chunked"))
            Reply.Chunked = true;
        else if (coding != QLatin1String("identity"))
            return Fail(ErrBadReply, QCoreApplication::translate(
                                         "THttpCli", "Bad reply from the server: unsupported Transfer-Encoding"));
    } else if (field == QLatin1String("content-type")) {
        Reply.ContentType = data.toLower();
    } else if (field == QLatin1String("www-authenticate")) {
        AuthenticateList.append(data);
    } else if (field == QLatin1String("set-cookie")) {
        TLine cookie;
        cookie.Kind = TLine::Cookie;
        cookie.Text = data;
        return cookie;
    }
    return TLine();
}

THttpReplyReader::TLine THttpReplyReader::ReadTunnelLine(const QByteArray &raw)
{
    const TLine counted = CountLine(raw, QCoreApplication::translate("THttpCli", "the proxy"));
    if (counted.Kind == TLine::Failed)
        return counted;
    if (++Reply.LineCount == 1) {
        QString reason;
        if (!ParseStatusLine(QString::fromLatin1(raw), &Reply.StatusCode, &reason))
            return Fail(ErrBadReply,
                        QCoreApplication::translate("THttpCli", "Bad reply from the proxy: no status line"));
        Reply.ReasonPhrase = reason;
        return TLine();
    }
    // The proxy's own header lines say nothing the request needs.
    if (!raw.isEmpty())
        return TLine();
    if (Reply.StatusCode < 200 || Reply.StatusCode > 299)
        return Fail(ErrTunnelRefused, QCoreApplication::translate("THttpCli", "Proxy refused the tunnel: %1 %2")
                                          .arg(Reply.StatusCode)
                                          .arg(Reply.ReasonPhrase));
    // The server speaks only after the client's hello: anything here is not TLS.
    if (FLineLength > 0)
        return Fail(ErrBadReply, QCoreApplication::translate(
                                     "THttpCli", "Bad reply from the proxy: data after the tunnel was opened"));
    TLine open;
    open.Kind = TLine::HeaderEnd;
    return open;
}

THttpReplyReader::TLine THttpReplyReader::BeginBody(THttpRequest request, qint64 maxBodySize)
{
    // A chunked body carries its own end and wins over a length; HEAD, 204 and 304
    // replies have no body whatever their header says.
    if (maxBodySize > 0 && Reply.ContentLength > maxBodySize && !Reply.Chunked && request != RequestHead)
        return Fail(ErrBodyTooLarge, QCoreApplication::translate("THttpCli", "Reply larger than %1 bytes", nullptr,
                                                                 PluralCount(maxBodySize))
                                         .arg(maxBodySize));
    if (request == RequestHead || Reply.StatusCode == 204 || Reply.StatusCode == 304) {
        Reply.BodyMode = BodyNone;
    } else if (Reply.Chunked) {
        Reply.BodyMode = BodyChunked;
        FChunks.Reset();
    } else if (Reply.ContentLength >= 0) {
        Reply.BodyMode = BodyLength;
        Reply.BodyRemaining = Reply.ContentLength;
    } else {
        Reply.BodyMode = BodyToClose;
    }
    return TLine();
}

bool THttpReplyReader::BodyDone() const
{
    return Reply.BodyMode == BodyNone || (Reply.BodyMode == BodyLength && Reply.BodyRemaining == 0);
}

THttpReplyReader::TBodyStep THttpReplyReader::TakeBody(const char *data, qsizetype length,
                                                       const std::function<bool(const char *, qsizetype)> &deliver)
{
    switch (Reply.BodyMode) {
    case BodyNone: return MoreBody;
    case BodyToClose: return deliver(data, length) ? MoreBody : BodyStopped;
    case BodyLength: {
        // Bytes past the announced length are not part of this reply.
        const qsizetype take = qsizetype(qMin<qint64>(length, Reply.BodyRemaining));
        if (take > 0 && !deliver(data, take))
            return BodyStopped;
        Reply.BodyRemaining -= take;
        return Reply.BodyRemaining == 0 ? BodyFinished : MoreBody;
    }
    case BodyChunked:
        while (length > 0) {
            const THttpChunkDecoder::TStep step = FChunks.Step(data, length);
            data += step.Consumed;
            length -= step.Consumed;
            if (step.ContentLength > 0 && !deliver(step.Content, step.ContentLength))
                return BodyStopped;
            if (FChunks.State() == THttpChunkDecoder::Finished)
                return BodyFinished;
            if (FChunks.State() == THttpChunkDecoder::Malformed)
                return BodyMalformed;
        }
        return MoreBody;
    }
    return MoreBody;
}

THttpReplyReader::TLine THttpReplyReader::ClosedEarly(bool inBody, bool secureWithoutNotify) const
{
    if (!inBody && !ReplyStarted)
        return Fail(ErrNoReply, QCoreApplication::translate("THttpCli", "Empty reply from the server"));
    if (!inBody)
        return Fail(ErrIncomplete,
                    QCoreApplication::translate("THttpCli", "Connection closed before the reply header was complete"));
    if (Reply.BodyMode == BodyLength)
        return Fail(ErrIncomplete, QCoreApplication::translate("THttpCli", "Connection closed after %1 of %2 bytes",
                                                               nullptr, PluralCount(Reply.ContentLength))
                                       .arg(Reply.ContentLength - Reply.BodyRemaining)
                                       .arg(Reply.ContentLength));
    if (Reply.BodyMode == BodyChunked)
        return Fail(ErrIncomplete,
                    QCoreApplication::translate("THttpCli", "Connection closed before the end of the chunked body"));
    // Over TLS only close_notify proves the end; a bare close may be an attacker's.
    if (secureWithoutNotify)
        return Fail(ErrIncomplete,
                    QCoreApplication::translate("THttpCli", "Connection closed without TLS close-notify"));
    return TLine();
}
