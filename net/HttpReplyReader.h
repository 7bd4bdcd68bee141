#pragma once

#include "net/HttpChunkDecoder.h"
#include "net/HttpTypes.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

// How the body of the reply being read ends.
enum THttpBodyMode { BodyNone, BodyLength, BodyChunked, BodyToClose };

// What one reply said, from its status line to the end of its body. An interim 1xx
// reply, a redirect's next hop and every new request start a fresh one.
struct THttpReply {
    int StatusCode = 0;
    QString ReasonPhrase;
    qint64 ContentLength = -1;
    QString ContentType;
    // The lines of its header, status line included.
    QStringList ReceivedHeader;
    // Lines read so far (the status line is the first).
    int LineCount = 0;
    bool Chunked = false;
    // The Location, noted while the header arrives; a second, different value makes the
    // reply ambiguous.
    QString Location;
    bool HasLocation = false;
    bool LocationConflict = false;
    // The header ended with a redirect that is being followed.
    bool Redirecting = false;
    // The reply is complete: the close that follows, ours or the server's, ends the
    // request without an error.
    bool Complete = false;
    THttpBodyMode BodyMode = BodyToClose;
    qint64 BodyRemaining = 0;
};

// Reads replies off one connection: splits the header into lines in a fixed buffer,
// reads each line into the reply, and frames the body (length, chunks or the close).
// It knows the rules and bounds of the format and nothing of sockets or events: every
// call says what happened, and the client acts on it.
class THttpReplyReader {
public:
    // The body is received in pieces of up to this size: fixed, so a peer cannot grow it;
    // 256 KiB takes a fast local transfer in a quarter of the reads 64 KiB would.
    static constexpr int BodyBufferSize = 262144;

    THttpReplyReader();

    // A new connection: its header bounds start again and nothing is buffered.
    void BeginConnection();
    // A new reply on the same connection.
    void BeginReply() { Reply = THttpReply(); }

    THttpReply Reply;
    // Every WWW-Authenticate value of the request's replies.
    QStringList AuthenticateList;
    // Some byte of a reply arrived on this connection (tells an empty reply apart).
    bool ReplyStarted = false;

    // The line buffer: bytes received go to LineSpace() (LineSpaceSize() of them at
    // most), then Received(count) says how many.
    char *LineSpace() { return FLines.get() + FLineLength; }
    int LineSpaceSize() const { return HttpLineBufferSize - FLineLength; }
    void Received(int count) { FLineLength += count; }
    // Raises EHttpException ErrLineTooLong when the buffer is full.
    void CheckLineSpace() const;
    bool HasBuffered() const { return FLineLength > 0; }
    void DropBuffered() { FLineLength = 0; }
    // The next complete line without its line end, taken from the buffer; false while
    // its LF has not arrived (raises ErrLineTooLong when it never can).
    bool NextLine(QByteArray *line);
    // Everything buffered (the start of a body), taken from the buffer.
    QByteArray TakeBuffered();
    // Where the body is received to, BodyBufferSize bytes.
    char *BodyBuffer();

    // What a line of the header was.
    struct TLine {
        enum TKind { Ordinary, HeaderEnd, Cookie, Failed } Kind = Ordinary;
        // The cookie's text, or the failure's reason.
        QString Text;
        quint16 Error = 0;
    };
    TLine ReadHeaderLine(const QByteArray &raw);
    // A line of an HTTP proxy's answer to CONNECT: Ordinary until its header ends with
    // a 2xx (HeaderEnd: the tunnel is open), or Failed.
    TLine ReadTunnelLine(const QByteArray &raw);

    // Once the header has ended: which framing the body has, or a failure (too large).
    TLine BeginBody(THttpRequest request, qint64 maxBodySize);
    // The body is already complete (none, or a length of 0).
    bool BodyDone() const;
    enum TBodyStep { MoreBody, BodyFinished, BodyStopped, BodyMalformed };
    // Takes body bytes off the wire; content goes to deliver, which answers false when
    // the reading must stop (the client failed the reply or no longer exists: nothing
    // of the reader is touched after that). BodyMalformed comes with ChunkError().
    TBodyStep TakeBody(const char *data, qsizetype length, const std::function<bool(const char *, qsizetype)> &deliver);
    QString ChunkError() const { return FChunks.Error(); }
    // Why a close in the middle of the reply fails it, or an empty text when the close
    // is its end (a body that runs to the close, with TLS's close_notify when secure).
    TLine ClosedEarly(bool inBody, bool secureWithoutNotify) const;

private:
    // Counts a line against the connection's bounds and refuses a NUL byte.
    TLine CountLine(const QByteArray &raw, const QString &from);
    TLine ReadField(const QString &line);
    static TLine Fail(quint16 error, const QString &reason);

    std::unique_ptr<char[]> FLines;
    int FLineLength = 0;
    std::unique_ptr<char[]> FBody;
    // Header lines and bytes on this connection, interim replies included.
    int FHeaderLines = 0;
    qint64 FHeaderBytes = 0;
    THttpChunkDecoder FChunks;
};
