#include "net/HttpUtil.h"

#include "platform/core/Exceptions.h"

#include <QDate>
#include <cmath>

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

int StrToInt(const QString &text)
{
    const auto fail = [&text]() -> int {
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    };
    qsizetype i = 0;
    while (i < text.size() && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < text.size() && text.at(i) == QLatin1Char('$')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text.at(i) == QLatin1Char('0') &&
               (text.at(i + 1) == QLatin1Char('x') || text.at(i + 1) == QLatin1Char('X'))) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return fail();
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const ushort c = text.at(i).unicode();
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return fail();
        value = value * base + digit;
        if (value > qint64(0x80000000))
            return fail();
    }
    if (negative)
        value = -value;
    if (value > 0x7FFFFFFF || value < -qint64(0x80000000))
        return fail();
    return int(value);
}
