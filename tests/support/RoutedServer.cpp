#include "support/RoutedServer.h"

TRoutedServer::TRoutedServer()
{
    FServer = std::make_unique<TScriptedServer>([this](TPeer &peer, int) { Answer(peer); }, TScriptedServer::Unlimited);
    FPort = FServer->Port();
}

quint16 TRoutedServer::Port() const
{
    return FPort;
}

QString TRoutedServer::Url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(FPort).arg(path);
}

void TRoutedServer::Serve(const QString &target, const Reply &reply)
{
    QMutexLocker lock(&FMutex);
    FRoutes.insert(target, reply);
}

TRoutedServer::Reply TRoutedServer::Page(const QByteArray &body, const QByteArray &contentType, bool withLength)
{
    Reply reply;
    reply.Head = "HTTP/1.0 200 OK\r\nContent-Type: " + contentType + "\r\n";
    if (withLength)
        reply.Head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    reply.Body = body;
    return reply;
}

TRoutedServer::Reply TRoutedServer::Status(int code, const QByteArray &reason)
{
    Reply reply;
    reply.Head = "HTTP/1.0 " + QByteArray::number(code) + " " + reason + "\r\nContent-Type: text/html\r\n";
    reply.Body = "<html><body>" + reason + "</body></html>";
    return reply;
}

TRoutedServer::Reply TRoutedServer::Redirect(const QByteArray &location)
{
    Reply reply;
    reply.Head = "HTTP/1.0 302 Found\r\nLocation: " + location + "\r\n";
    return reply;
}

TRoutedServer::Reply TRoutedServer::SilentReply()
{
    Reply reply;
    reply.Silent = true;
    return reply;
}

QStringList TRoutedServer::RequestLines() const
{
    QMutexLocker lock(&FMutex);
    return FRequestLines;
}

QList<QByteArray> TRoutedServer::Requests() const
{
    QMutexLocker lock(&FMutex);
    return FRequests;
}

int TRoutedServer::CountOf(const QString &target) const
{
    int count = 0;
    for (const QString &line : RequestLines())
        count += line.section(QLatin1Char(' '), 1, 1) == target ? 1 : 0;
    return count;
}

void TRoutedServer::Stop()
{
    FServer.reset();
}

void TRoutedServer::Answer(TPeer &peer)
{
    QByteArray request;
    try {
        request = peer.ReadUntil("\r\n\r\n");
    } catch (const std::exception &) {
        return; // a client that connected and gave up
    }
    const QString requestLine = QString::fromLatin1(request.left(request.indexOf("\r\n")));
    Reply reply;
    {
        QMutexLocker lock(&FMutex);
        FRequests.append(request);
        FRequestLines.append(requestLine);
        reply = FRoutes.value(requestLine.section(QLatin1Char(' '), 1, 1), Status(404, "Not Found"));
    }
    try {
        if (!reply.Silent)
            peer.Write(reply.Head + "\r\n" + (reply.SendBytes < 0 ? reply.Body : reply.Body.left(reply.SendBytes)));
        if (reply.Silent || reply.SendBytes >= 0)
            peer.WaitClosed(600000); // returns at once when the server stops
    } catch (const std::exception &) {
        // The client closed before it took the whole reply.
    }
}
