#include "TestHttpServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int ListenOn(quint16 &port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || ::listen(fd, 16) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

} // namespace

TTestHttpServer::TTestHttpServer()
{
    FListenFd = ListenOn(FPort);
    if (FListenFd < 0)
        return;
    FAcceptNotifier = std::make_unique<QSocketNotifier>(FListenFd, QSocketNotifier::Read);
    connect(FAcceptNotifier.get(), &QSocketNotifier::activated, this, [this] { Accept(); });
}

TTestHttpServer::~TTestHttpServer()
{
    Stop();
}

quint16 TTestHttpServer::ClosedPort()
{
    quint16 port = 0;
    const int fd = ListenOn(port);
    if (fd >= 0)
        ::close(fd);
    return port;
}

QString TTestHttpServer::Url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(FPort).arg(path);
}

void TTestHttpServer::Serve(const QString &target, const Reply &reply)
{
    FRoutes.insert(target, reply);
}

TTestHttpServer::Reply TTestHttpServer::Page(const QByteArray &body, const QByteArray &contentType, bool withLength)
{
    Reply reply;
    reply.Head = "HTTP/1.0 200 OK\r\nContent-Type: " + contentType + "\r\n";
    if (withLength)
        reply.Head += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    reply.Body = body;
    return reply;
}

TTestHttpServer::Reply TTestHttpServer::Status(int code, const QByteArray &reason)
{
    Reply reply;
    reply.Head = "HTTP/1.0 " + QByteArray::number(code) + " " + reason + "\r\nContent-Type: text/html\r\n";
    reply.Body = "<html><body>" + reason + "</body></html>";
    return reply;
}

TTestHttpServer::Reply TTestHttpServer::Redirect(const QByteArray &location)
{
    Reply reply;
    reply.Head = "HTTP/1.0 302 Found\r\nLocation: " + location + "\r\n";
    return reply;
}

TTestHttpServer::Reply TTestHttpServer::SilentReply()
{
    Reply reply;
    reply.Silent = true;
    return reply;
}

int TTestHttpServer::CountOf(const QString &target) const
{
    int count = 0;
    for (const QString &line : FRequestLines)
        count += line.section(QLatin1Char(' '), 1, 1) == target ? 1 : 0;
    return count;
}

void TTestHttpServer::Stop()
{
    FAcceptNotifier.reset();
    if (FListenFd >= 0)
        ::close(FListenFd);
    FListenFd = -1;
    for (const std::unique_ptr<Connection> &connection : FConnections)
        Drop(connection.get());
    FConnections.clear();
}

void TTestHttpServer::Accept()
{
    for (;;) {
        const int fd = ::accept4(FListenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return;
        auto connection = std::make_unique<Connection>();
        Connection *raw = connection.get();
        raw->Fd = fd;
        raw->ReadNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        connect(raw->ReadNotifier.get(), &QSocketNotifier::activated, this, [this, raw] { Readable(raw); });
        raw->WriteNotifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Write);
        raw->WriteNotifier->setEnabled(false);
        connect(raw->WriteNotifier.get(), &QSocketNotifier::activated, this, [this, raw] { Writable(raw); });
        FConnections.push_back(std::move(connection));
    }
}

void TTestHttpServer::Readable(Connection *connection)
{
    char buffer[8192];
    const ssize_t count = ::recv(connection->Fd, buffer, sizeof buffer, 0);
    if (count == 0 || (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
        Drop(connection);
        return;
    }
    if (count < 0 || connection->Answered)
        return;
    connection->In.append(buffer, count);
    if (connection->In.contains("\r\n\r\n"))
        Answer(connection);
}

void TTestHttpServer::Answer(Connection *connection)
{
    connection->Answered = true;
    const QByteArray request = connection->In.left(connection->In.indexOf("\r\n\r\n") + 4);
    FRequests.append(request);
    const QString requestLine = QString::fromLatin1(request.left(request.indexOf("\r\n")));
    FRequestLines.append(requestLine);
    const QString target = requestLine.section(QLatin1Char(' '), 1, 1);

    const Reply reply = FRoutes.value(target, Status(404, "Not Found"));
    if (reply.Silent)
        return;
    connection->Out = reply.Head + "\r\n" + (reply.SendBytes < 0 ? reply.Body : reply.Body.left(reply.SendBytes));
    connection->CloseWhenWritten = reply.SendBytes < 0;
    Writable(connection);
}

void TTestHttpServer::Writable(Connection *connection)
{
    while (!connection->Out.isEmpty()) {
        const ssize_t sent = ::send(connection->Fd, connection->Out.constData(), size_t(connection->Out.size()),
                                    MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                connection->WriteNotifier->setEnabled(true);
                return;
            }
            Drop(connection); // the client went away (a 404 is not read to its end)
            return;
        }
        connection->Out.remove(0, sent);
    }
    connection->WriteNotifier->setEnabled(false);
    if (connection->CloseWhenWritten)
        Drop(connection);
}

void TTestHttpServer::Drop(Connection *connection)
{
    if (connection->Fd < 0)
        return;
    // The notifiers may be in the middle of their own signal: they go later.
    for (std::unique_ptr<QSocketNotifier> *notifier : {&connection->ReadNotifier, &connection->WriteNotifier}) {
        if (*notifier) {
            (*notifier)->setEnabled(false);
            notifier->release()->deleteLater();
        }
    }
    ::close(connection->Fd);
    connection->Fd = -1;
}

QByteArray InfoPageText(const QString &version, const QString &downloadUrl, const QString &readMe,
                        const QString &extra)
{
    QString page = QStringLiteral("<HTML><HEAD>\r\n<TITLE>Tallowmere Calculator</TITLE>\r\n"
                                  "<META HTTP-EQUIV=\"name\" CONTENT=\"Corvane Software\">\r\n"
                                  "<META HTTP-EQUIV=\"date\" CONTENT=\"May 2, 1999\">\r\n");
    if (!version.isEmpty())
        page += QStringLiteral("<META HTTP-EQUIV=\"version\" CONTENT=\"%1\">\r\n").arg(version);
    if (!downloadUrl.isEmpty())
        page += QStringLiteral("<META HTTP-EQUIV=\"url\" CONTENT=\"%1\">\r\n").arg(downloadUrl);
    if (!readMe.isEmpty())
        page += QStringLiteral("<META HTTP-EQUIV=\"readme\" CONTENT=\"%1\">\r\n").arg(readMe);
    page += extra;
    page += QStringLiteral("</HEAD><BODY><P>Tallowmere Calculator</P></BODY></HTML>\r\n");
    return page.toUtf8();
}
