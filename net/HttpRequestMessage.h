#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>

// One HTTP request as a value: the request line's method and target, the header lines
// in the order they go out, and the body (a stream, sent after the header in pieces;
// none for GET and HEAD). Text() is the one place the header becomes bytes.
struct THttpRequestMessage {
    QString Method;
    QString Target;
    QStringList Headers;
    QIODevice *Body = nullptr;

    // "GET /path HTTP/1.0"; every request this client sends says HTTP/1.0.
    QString RequestLine() const;
    // The request line, each header line and the empty line, each ended by CR LF. The
    // lines must have been checked (HeaderRefusal): characters beyond Latin-1 would not
    // survive the conversion to bytes.
    QByteArray Text() const;

    // Adds "Name: value".
    void Add(const QString &name, const QString &value);
    // A header line of this name (compared without regard to case) is present.
    bool Has(const QString &name) const;
};

// The name of a header line: the text before its first colon, or the whole line
// without one.
QString HeaderName(const QString &line);

// Why a header line from a caller may not go out, or an empty text when it may: a line
// without a colon, a name that is not an HTTP token, a value with a control character (C0,
// DEL or C1; a tab is allowed) or a character beyond Latin-1, or a name the client writes itself from the
// request (Host, Content-Length, Transfer-Encoding).
QString HeaderRefusal(const QString &line);
