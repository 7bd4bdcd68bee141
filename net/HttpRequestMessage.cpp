#include "net/HttpRequestMessage.h"

#include <QCoreApplication>

namespace {

// RFC 9110 tchar: the characters a field name is made of.
bool IsTokenChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return true;
    if ((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z'))
        return true;
    return u != 0 && u < 0x80 && std::char_traits<char>::find("!#$%&'*+-.^_`|~", 15, char(u)) != nullptr;
}

} // namespace

QString THttpRequestMessage::RequestLine() const
{
    return Method + QLatin1Char(' ') + Target + QStringLiteral(" HTTP/1.0");
}

QByteArray THttpRequestMessage::Text() const
{
    QByteArray text = RequestLine().toLatin1() + "\r\n";
    for (const QString &line : Headers)
        text += line.toLatin1() + "\r\n";
    text += "\r\n";
    return text;
}

void THttpRequestMessage::Add(const QString &name, const QString &value)
{
    Headers << name + QStringLiteral(": ") + value;
}

bool THttpRequestMessage::Has(const QString &name) const
{
    for (const QString &line : Headers)
        if (HeaderName(line).compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString HeaderName(const QString &line)
{
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    return colon < 0 ? line : line.left(colon);
}

QString HeaderRefusal(const QString &line)
{
    const QString name = HeaderName(line);
    const QString refused = QCoreApplication::translate("THttpCli", "Header refused: %1").arg(name);
    if (name.isEmpty() || name.size() == line.size())
        return refused;
    for (const QChar c : name)
        if (!IsTokenChar(c))
            return refused;
    for (qsizetype i = name.size() + 1; i < line.size(); ++i) {
        const char16_t u = line.at(i).unicode();
        if ((u < 0x20 && u != u'\t') || (u >= 0x7F && u <= 0x9F) || u > 0xFF)
            return refused;
    }
    // These describe the request's framing and its server, which the client alone knows.
    for (const char *own : {"Host", "Content-Length", "Transfer-Encoding"})
        if (name.compare(QLatin1String(own), Qt::CaseInsensitive) == 0)
            return refused;
    return QString();
}
