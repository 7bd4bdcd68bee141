#include "support/ScriptedServer.h"

#include <QDeadlineTimer>
#include <QThread>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

quint16 FreeLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

TPeer::~TPeer()
{
    Close();
}

bool TPeer::WaitReadable(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!FStop.load()) {
        pollfd p{FFd, POLLIN, 0};
        const int rc = ::poll(&p, 1, 50);
        if (rc > 0)
            return true;
        if (deadline.hasExpired())
            return false;
    }
    return false;
}

QByteArray TPeer::Read(int count, int timeoutMs)
{
    QByteArray data;
    QDeadlineTimer deadline(timeoutMs);
    while (data.size() < count) {
        if (!WaitReadable(int(qMax<qint64>(deadline.remainingTime(), 0))))
            throw std::runtime_error("peer: timed out reading " + std::to_string(count) + " bytes, got " +
                                     std::to_string(data.size()));
        char buffer[4096];
        const ssize_t n = ::recv(FFd, buffer, size_t(qMin<qsizetype>(sizeof buffer, count - data.size())), 0);
        if (n <= 0)
            throw std::runtime_error("peer: connection ended while reading");
        data.append(buffer, n);
    }
    return data;
}

QByteArray TPeer::ReadUntil(const QByteArray &end, int timeoutMs)
{
    QByteArray data;
    QDeadlineTimer deadline(timeoutMs);
    while (!data.endsWith(end)) {
        if (!WaitReadable(int(qMax<qint64>(deadline.remainingTime(), 0))))
            throw std::runtime_error("peer: timed out waiting for " + end.toStdString());
        char c;
        const ssize_t n = ::recv(FFd, &c, 1, 0);
        if (n <= 0)
            throw std::runtime_error("peer: connection ended before " + end.toStdString());
        data.append(c);
    }
    return data;
}

QByteArray TPeer::ReadToEnd(int timeoutMs)
{
    QByteArray data;
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (!WaitReadable(int(qMax<qint64>(deadline.remainingTime(), 0))))
            throw std::runtime_error("peer: timed out waiting for the end");
        char buffer[65536];
        const ssize_t n = ::recv(FFd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return data;
        data.append(buffer, n);
    }
}

bool TPeer::WaitClosed(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        if (!WaitReadable(int(qMax<qint64>(deadline.remainingTime(), 0))))
            return false;
        char buffer[4096];
        const ssize_t n = ::recv(FFd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return true;
    }
}

void TPeer::Write(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(FFd, bytes.constData() + done, size_t(bytes.size() - done), MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw std::runtime_error("peer: write failed");
        }
        done += n;
    }
}

void TPeer::WriteSplit(const std::vector<QByteArray> &parts, int pauseMs)
{
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i > 0)
            QThread::msleep(pauseMs);
        Write(parts[i]);
    }
}

void TPeer::Close()
{
    if (FFd >= 0)
        ::close(FFd);
    FFd = -1;
}

bool TPeer::WaitDelivered(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        int unacknowledged = 0;
        if (ioctl(FFd, TIOCOUTQ, &unacknowledged) != 0)
            return false;
        if (unacknowledged == 0)
            return true;
        if (deadline.hasExpired() || FStop.load())
            return false;
        QThread::msleep(2);
    }
}

void TPeer::Reset()
{
    if (FFd < 0)
        return;
    linger value{1, 0};
    ::setsockopt(FFd, SOL_SOCKET, SO_LINGER, &value, sizeof value);
    Close();
}

TScriptedServer::TScriptedServer(TScript script, int connections) : FScript(std::move(script))
{
    FListenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(FListenFd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || ::listen(FListenFd, 8) != 0)
        throw std::runtime_error("scripted server: cannot listen");
    socklen_t length = sizeof address;
    ::getsockname(FListenFd, reinterpret_cast<sockaddr *>(&address), &length);
    FPort = ntohs(address.sin_port);
    FThread = std::thread([this, connections] { Run(connections); });
}

TScriptedServer::~TScriptedServer()
{
    FStop = true;
    if (FThread.joinable())
        FThread.join();
    ::close(FListenFd);
}

QStringList TScriptedServer::Errors() const
{
    QMutexLocker lock(&FMutex);
    return FErrors;
}

void TScriptedServer::Run(int connections)
{
    const bool unlimited = connections < 0;
    for (int index = 0; (unlimited || index < connections) && !FStop.load(); ++index) {
        // A fixed number of connections must arrive in good time; an open-ended server
        // waits for as long as it runs.
        QDeadlineTimer deadline(unlimited ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(15000));
        int fd = -1;
        while (fd < 0 && !FStop.load() && !deadline.hasExpired()) {
            pollfd p{FListenFd, POLLIN, 0};
            if (::poll(&p, 1, 50) > 0)
                fd = ::accept4(FListenFd, nullptr, nullptr, SOCK_CLOEXEC);
        }
        if (fd < 0) {
            if (!FStop.load()) {
                QMutexLocker lock(&FMutex);
                FErrors << QStringLiteral("no connection %1 arrived").arg(index);
            }
            break;
        }
        ++FAccepted;
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        TPeer peer(fd, FStop);
        try {
            FScript(peer, index);
        } catch (const std::exception &e) {
            QMutexLocker lock(&FMutex);
            FErrors << QString::fromStdString(e.what());
        }
        peer.Close();
        ++FCompleted;
    }
    FFinished = true;
}
