#pragma once

#include "platform/core/Messages.h"

#include <QObject>
#include <QString>
#include <functional>

// The vocabulary of the HTTP client: its states, request kinds, error codes, messages
// and event types, for the client and the parts it is made of.

// Tunnelling (an https request asking an HTTP proxy for a CONNECT tunnel) and Securing
// (the TLS handshake) come only for https, between Connected and ReadingHeader.
enum class THttpState {
    Idle,
    Starting,
    Connected,
    LookingUp,
    LookedUp,
    ReadingHeader,
    ReadingBody,
    Aborting,
    Tunnelling,
    Securing
};
enum THttpRequest : quint8 { RequestNone = 0, RequestGet = 1, RequestPost = 2, RequestHead = 3 };

// Error codes of EHttpException and of a finished request (RequestDoneError). A request
// that fails at the socket level (lookup, connect, a reset) reports the Winsock code
// instead, a request that stayed silent past Timeout reports 10060. Each failure of the
// client's own has its reason in ReasonPhrase.
inline constexpr quint16 ErrBusy = 1;
inline constexpr quint16 ErrNothingToPost = 2;
inline constexpr quint16 ErrAborted = 3;
inline constexpr quint16 ErrLineTooLong = 4;
inline constexpr quint16 ErrTooManyRedirects = 5;
// The server closed the connection without sending a byte.
inline constexpr quint16 ErrNoReply = 6;
// The reply is not HTTP as this client reads it: no status line, a bad number, a NUL
// byte in the header, a header line without a colon or folded onto the one before, two
// different Locations, a malformed chunk.
inline constexpr quint16 ErrBadReply = 7;
// The connection ended before the reply was complete (header, length or last chunk).
inline constexpr quint16 ErrIncomplete = 8;
// The receive stream did not take the bytes (a full disk, a file size limit).
inline constexpr quint16 ErrWriteFailed = 9;
// A URL or a redirect's Location the client will not follow (a control byte, a port out
// of range, a scheme other than http); nothing was sent for it.
inline constexpr quint16 ErrUrlRefused = 10;
// The reply's header passed MaxHeaderBytes or MaxHeaderLines.
inline constexpr quint16 ErrHeaderTooLarge = 11;
// The body passed MaxBodySize.
inline constexpr quint16 ErrBodyTooLarge = 12;
// The whole request took longer than Deadline.
inline constexpr quint16 ErrDeadline = 13;
// The TLS handshake failed ("TLS: " and OpenSSL's reason: "certificate has expired").
inline constexpr quint16 ErrTlsFailed = 14;
// The HTTP proxy would not open a tunnel for an https request.
inline constexpr quint16 ErrTunnelRefused = 15;
// A header line of the caller's (ExtraHeaders) the client will not send ("Header refused:
// <name>"); nothing was sent for the request.
inline constexpr quint16 ErrHeaderRefused = 16;

inline constexpr quint32 WM_HTTP_REQUEST_DONE = WM_USER + 1;
inline constexpr quint32 WM_HTTP_SET_READY = WM_USER + 2;
inline constexpr quint32 WM_HTTP_RESTART = WM_USER + 3;

using TDocDataEvent = std::function<void(QObject *Sender, const char *Buffer, int Len)>;
using TOnCommand = std::function<void(QObject *Sender, const QString &S)>;
using TCookieRcvdEvent = std::function<void(QObject *Sender, const QString &Data, bool &Accept)>;
using THttpRequestDone = std::function<void(QObject *Sender, THttpRequest RqType, quint16 Error)>;

// Bounds of a reply's header (interim replies included): each line, its line end
// included, fits the line buffer, and all of them these. Real replies carry lines of
// 16 KiB and more (large cookies, security policies); 64 KiB leaves room for them, and a
// fixed buffer keeps a hostile peer from growing it.
inline constexpr int HttpLineBufferSize = 65536;
inline constexpr int HttpMaxHeaderLines = 1000;
inline constexpr qint64 HttpMaxHeaderBytes = 256 * 1024;
