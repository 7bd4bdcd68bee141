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

// The integer a text spells, as the framework's conversion reads it: leading blanks, a
// sign, decimal digits or "$"/"0x" hexadecimal. Anything else raises EConvertError.
int StrToInt(const QString &text);
