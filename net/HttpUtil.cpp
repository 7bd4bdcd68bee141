#include "net/HttpUtil.h"

#include <QCoreApplication>
#include <QDate>
#include <cmath>
#include <limits>

TUrlParts ParseUrl(const QString &url)
{
    TUrlParts parts;
    if (url.isEmpty())
        return parts;

    QString rest;
    const qsizetype schemeEnd = url.indexOf(QLatin1String("://"));
    if (schemeEnd >= 0) {
        parts.Proto = url.left(schemeEnd);
        rest = url.mid(schemeEnd + 3);
    } else if (url.startsWith(QLatin1Char('/'))) {
        parts.Proto = QStringLiteral("http");
        if (url.size() > 1 && url.at(1) != QLatin1Char('/')) {
            parts.Path = url;
            return parts;
        }
        rest = url.mid(1);
    } else if (url.left(5).toLower() == QLatin1String("http:")) {
        parts.Proto = QStringLiteral("http");
        if (url.size() > 6 && url.at(6) != QLatin1Char('/')) {
            parts.Path = url.mid(5);
            return parts;
        }
        rest = url.mid(6);
    } else if (url.left(7).toLower() == QLatin1String("mailto:")) {
        parts.Proto = QStringLiteral("mailto");
        rest = url.mid(url.indexOf(QLatin1Char(':')) + 1);
    } else {
        rest = url;
    }

    QString authority = rest;
    const qsizetype slash = rest.indexOf(QLatin1Char('/'));
    if (slash >= 0) {
        parts.Path = rest.mid(slash);
        authority = rest.left(slash);
    }

    const qsizetype colon = authority.lastIndexOf(QLatin1Char(':'));
    const qsizetype at = authority.lastIndexOf(QLatin1Char('@'));
    if (colon < 0 && at < 0) {
        parts.Host = authority;
        return parts;
    }
    if (colon > at) {
        parts.Port = authority.mid(colon + 1);
        parts.Host = authority.mid(at + 1, colon - at - 1);
        if (at < 0)
            return parts;
    } else {
        parts.Host = authority.mid(at + 1);
    }
    const QString credentials = authority.left(at);
    const qsizetype split = credentials.indexOf(QLatin1Char(':'));
    if (split >= 0) {
        parts.User = credentials.left(split);
        parts.Pass = credentials.mid(split + 1);
    } else {
        parts.User = credentials;
    }
    return parts;
}

QString FormatRfc1123Date(double dateTime)
{
    static const char Days[] = "MonTueWedThuFriSatSun";
    static const char Months[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    const double whole = std::trunc(dateTime);
    const qint64 days = qint64(whole);
    qint64 msecs = qint64(std::llround(std::fabs(dateTime - whole) * 86400000.0));
    if (msecs >= 86400000)
        msecs = 86399999;
    const QDate date = QDate(1899, 12, 30).addDays(days);
    const int dayIndex = int(((days - 2) % 7 + 7) % 7);
    const int seconds = int(msecs / 1000);
    return QString::asprintf("%.3s, %2.2d %.3s %4.4d %2.2d:%2.2d:%2.2d", Days + dayIndex * 3, date.day(),
                             Months + (date.month() - 1) * 3, date.year(), seconds / 3600, (seconds / 60) % 60,
                             seconds % 60);
}

QByteArray EncodeBase64(const QByteArray &data)
{
    return data.toBase64(QByteArray::Base64Encoding);
}

bool ParseStatusLine(const QString &line, int *code, QString *reason)
{
    if (!line.startsWith(QLatin1String("HTTP/1.0 ")) && !line.startsWith(QLatin1String("HTTP/1.1 ")))
        return false;
    if (line.size() < 12 || (line.size() > 12 && line.at(12) != QLatin1Char(' ')))
        return false;
    int value = 0;
    for (int i = 9; i < 12; ++i) {
        const QChar c = line.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        value = value * 10 + (c.unicode() - '0');
    }
    // No status class starts with 0.
    if (value < 100)
        return false;
    *code = value;
    *reason = line.mid(13);
    return true;
}

bool ParseContentLength(const QString &text, qint64 *value)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty())
        return false;
    qint64 result = 0;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        const int digit = c.unicode() - '0';
        if (result > (std::numeric_limits<qint64>::max() - digit) / 10)
            return false;
        result = result * 10 + digit;
    }
    *value = result;
    return true;
}

bool IsValidPort(const QString &text)
{
    if (text.isEmpty() || text.size() > 5)
        return false;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    const int port = text.toInt();
    return port >= 1 && port <= 65535;
}

namespace {

bool ValidHostName(const QString &host)
{
    for (const QChar c : host) {
        const ushort u = c.unicode();
        const bool ok = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '.' ||
                        u == '-' || u == '_';
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

QString UrlRefusal(const QString &url)
{
    for (const QChar c : url) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QCoreApplication::translate("HttpUtil", "URL holds a control character");
    }
    const TUrlParts parts = ParseUrl(url);
    const QString scheme = parts.Proto.toLower();
    if (!scheme.isEmpty() && scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return QCoreApplication::translate("HttpUtil", "%1 is not supported").arg(scheme);
    if (!parts.Port.isEmpty() && !IsValidPort(parts.Port))
        return QCoreApplication::translate("HttpUtil", "Bad port in URL: %1").arg(parts.Port);
    // Without a scheme a bare name is read as a relative page, not as a host.
    if (url.contains(QLatin1String("://")) && !ValidHostName(parts.Host))
        return QCoreApplication::translate("HttpUtil", "Bad host name in URL: %1").arg(parts.Host);
    return QString();
}

QString EncodeRequestTarget(const QString &path)
{
    const QByteArray bytes = path.toUtf8();
    QString out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b <= 0x20 || b >= 0x7F)
            out += QStringLiteral("%%1").arg(b, 2, 16, QLatin1Char('0')).toUpper();
        else
            out += QLatin1Char(ch);
    }
    return out;
}

QString HttpOrigin(bool secure, const QString &host, const QString &port)
{
    const QString portText = port.isEmpty() ? (secure ? QStringLiteral("443") : QStringLiteral("80")) : port;
    return (secure ? QStringLiteral("https://") : QStringLiteral("http://")) + host.toLower() + QLatin1Char(':') +
           portText;
}

bool IsHttpsUrl(const QString &url)
{
    return url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}
