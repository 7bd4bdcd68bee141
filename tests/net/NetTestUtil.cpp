#include "NetTestUtil.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

bool WaitUntil(const std::function<bool()> &cond, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    // The ticking timer wakes the blocking wait below, so the condition is looked at
    // often even when nothing else happens.
    QTimer tick;
    tick.start(5);
    while (!cond()) {
        if (deadline.hasExpired())
            return cond();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void DrainEvents(int rounds)
{
    for (int i = 0; i < rounds; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
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
    for (int index = 0; index < connections && !FStop.load(); ++index) {
        QDeadlineTimer deadline(15000);
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

namespace {

bool CanConnect(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

} // namespace

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

TExternalServer::TExternalServer(TKind kind) : FKind(kind)
{
}

TExternalServer::~TExternalServer()
{
    if (FProcess && FProcess->state() != QProcess::NotRunning) {
        FProcess->terminate();
        if (!FProcess->waitForFinished(5000)) {
            FProcess->kill();
            FProcess->waitForFinished(5000);
        }
    }
}

QString TExternalServer::Name(TKind kind)
{
    switch (kind) {
    case Nginx:
        return QStringLiteral("nginx");
    case Tinyproxy:
        return QStringLiteral("tinyproxy");
    case Dante:
        return QStringLiteral("danted");
    }
    return QString();
}

QString TExternalServer::FindBinary(TKind kind)
{
    const QStringList folders{QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin"), QStringLiteral("/sbin"),
                              QStringLiteral("/usr/local/sbin"), QStringLiteral("/usr/local/bin")};
    QString found = QStandardPaths::findExecutable(Name(kind));
    if (found.isEmpty())
        found = QStandardPaths::findExecutable(Name(kind), folders);
    return found;
}

void TExternalServer::AddFile(const QString &path, const QByteArray &content)
{
    const QString full = FDir.path() + QStringLiteral("/www/") + path;
    QDir().mkpath(QFileInfo(full).path());
    QFile file(full);
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

void TExternalServer::SetCredentials(const QString &user, const QString &password)
{
    FUser = user;
    FPassword = password;
}

QString TExternalServer::WriteConfig()
{
    const QString dir = FDir.path();
    const bool root = ::geteuid() == 0;
    QString text;
    switch (FKind) {
    case Nginx: {
        QDir().mkpath(dir + QStringLiteral("/www"));
        QString temps;
        QProcess probe;
        probe.start(FindBinary(Nginx), {QStringLiteral("-V")});
        probe.waitForFinished(5000);
        const QString build = QString::fromLocal8Bit(probe.readAllStandardError());
        for (const char *module : {"client_body", "proxy", "fastcgi", "uwsgi", "scgi"}) {
            const QString name = QString::fromLatin1(module);
            if (name != QLatin1String("client_body") &&
                build.contains(QStringLiteral("--without-http_%1_module").arg(name)))
                continue;
            temps += QStringLiteral("  %1_temp_path %2/%1;\n").arg(name, dir);
        }
        text = QStringLiteral("daemon off;\nmaster_process off;\nworker_processes 1;\npid %1/nginx.pid;\n"
                              "error_log %1/error.log;\nevents { worker_connections 64; }\n"
                              "http {\n  access_log %1/access.log;\n%2"
                              "  default_type application/octet-stream;\n"
                              "  server {\n    listen 127.0.0.1:%3;\n    root %1/www;\n%4  }\n}\n")
                   .arg(dir, temps, PortText(), FServerConfig);
        break;
    }
    case Tinyproxy:
        text = QStringLiteral("Port %1\nListen 127.0.0.1\nTimeout 30\nLogFile \"%2/tinyproxy.log\"\n"
                              "LogLevel Info\nMaxClients 20\nAllow 127.0.0.1\n")
                   .arg(PortText(), dir);
        if (root)
            text += QStringLiteral("User nobody\nGroup nogroup\n");
        if (!FUser.isEmpty())
            text += QStringLiteral("BasicAuth %1 %2\n").arg(FUser, FPassword);
        break;
    case Dante:
        text = QStringLiteral("logoutput: %1/danted.log\ninternal: 127.0.0.1 port = %2\nexternal: 127.0.0.1\n"
                              "clientmethod: none\nsocksmethod: none\n")
                   .arg(dir, PortText());
        if (root)
            text += QStringLiteral("user.privileged: root\nuser.unprivileged: nobody\n");
        text += QStringLiteral("client pass {\n  from: 127.0.0.0/8 to: 0.0.0.0/0\n}\n"
                               "socks pass {\n  from: 127.0.0.0/8 to: 127.0.0.0/8\n  command: connect\n}\n");
        break;
    }
    const QString path = dir + QStringLiteral("/server.conf");
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(text.toUtf8());
    return path;
}

bool TExternalServer::Start(QString *error)
{
    if (!FDir.isValid()) {
        *error = QStringLiteral("no temporary folder");
        return false;
    }
    // Servers that drop their privileges must still reach their log and files.
    QFile::setPermissions(FDir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                           QFileDevice::ReadOther | QFileDevice::WriteOther |
                                           QFileDevice::ExeOther | QFileDevice::ReadGroup |
                                           QFileDevice::WriteGroup | QFileDevice::ExeGroup);
    const QString binary = FindBinary(FKind);
    for (int attempt = 0; attempt < 5; ++attempt) {
        FPort = FreeLoopbackPort();
        const QString config = WriteConfig();
        QStringList arguments;
        switch (FKind) {
        case Nginx:
            arguments = {QStringLiteral("-c"), config, QStringLiteral("-p"), FDir.path()};
            break;
        case Tinyproxy:
            arguments = {QStringLiteral("-d"), QStringLiteral("-c"), config};
            break;
        case Dante:
            arguments = {QStringLiteral("-f"), config, QStringLiteral("-p"), FDir.path() + QStringLiteral("/danted.pid"),
                         QStringLiteral("-N"), QStringLiteral("1")};
            break;
        }
        FProcess = std::make_unique<QProcess>();
        FProcess->setProcessChannelMode(QProcess::MergedChannels);
        FProcess->start(binary, arguments);
        if (!FProcess->waitForStarted(5000)) {
            *error = binary + QStringLiteral(" did not start");
            return false;
        }
        QDeadlineTimer deadline(10000);
        while (!deadline.hasExpired() && FProcess->state() == QProcess::Running) {
            if (CanConnect(FPort))
                return true;
            QThread::msleep(20);
        }
        *error = Name(FKind) + QStringLiteral(" did not come up: ") +
                 QString::fromLocal8Bit(FProcess->readAll()) + Log();
        FProcess->kill();
        FProcess->waitForFinished(5000);
    }
    return false;
}

QString TExternalServer::Log() const
{
    QString text;
    for (const char *name : {"error.log", "tinyproxy.log", "danted.log"}) {
        QFile file(FDir.path() + QLatin1Char('/') + QLatin1String(name));
        if (file.open(QIODevice::ReadOnly))
            text += QString::fromLocal8Bit(file.readAll());
    }
    return text;
}
