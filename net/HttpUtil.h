#pragma once

#include <QByteArray>
#include <QString>

// Pieces of a URL as the HTTP client reads them. Everything is empty for an empty URL;
// a URL without a scheme leaves Proto empty.
struct TUrlParts {
    QString Proto;
    QString User;
    QString Pass;
    QString Host;
    QString Port;
    QString Path;
};

TUrlParts ParseUrl(const QString &url);

// A date-time value (days since 30 December 1899, the fraction being the time of day)
// as "Wed, 09 Jun 2021 10:18:14", without any conversion to universal time.
QString FormatRfc1123Date(double dateTime);

// Standard Base64 (RFC 2045 alphabet, "=" padding).
QByteArray EncodeBase64(const QByteArray &data);

// A reply's status line, "HTTP/1.0" or "HTTP/1.1", a blank, exactly three decimal
// digits from 100 up, then the end of the line or a blank and the reason. Anything else is no
// status line at all: a loose reading would turn "HTTP/1.0 $C8" into 200.
bool ParseStatusLine(const QString &line, int *code, QString *reason);

// A Content-Length value: decimal digits only (blanks around them allowed), at most
// 2^63 - 1. A sign, hex, an empty value or an overflow is refused.
bool ParseContentLength(const QString &text, qint64 *value);

// Why the client will neither send a request for this URL nor follow it as a
// redirect's Location, or an empty text when it will: a control byte anywhere (CR, LF
// and NUL would put lines of their own on the wire), a scheme other than http and
// https, a port
// that is not 1 to 65535 in digits, a host name with characters no name has.
QString UrlRefusal(const QString &url);

// A port number as the client accepts it: 1 to 65535 in decimal digits.
bool IsValidPort(const QString &text);

// A path (with its query) as it goes on the request line: blanks and everything beyond
// ASCII percent-encoded as UTF-8, the rest as it stands.
QString EncodeRequestTarget(const QString &path);

// "http://host:port" or "https://host:port" with the host lower-cased and the port
// spelled out: what a credential is bound to.
QString HttpOrigin(bool secure, const QString &host, const QString &port);

// The URL names https (compared without regard to case).
bool IsHttpsUrl(const QString &url);
