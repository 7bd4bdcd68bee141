#include "support/ExternalServer.h"

#include "support/ScriptedServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

#include <arpa/inet.h>
#include <cerrno>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// An external server listens on a port picked before it starts (its socket closed
// again so the server can bind it), and its start is judged by a connection to that
// port. Two starting at once, from cases ctest runs side by side, could pick the same
// port and each take the other's listener for its own. So the test programs of one
// build run their external servers one at a time: each holds an exclusive flock on a
// file beside the programs while a server runs. The lock belongs to the open file, so
// the servers of one process (a proxy in front of a web server) share one descriptor.
int LockHolders = 0;
int LockFd = -1;

void LockExternalServers()
{
    if (LockHolders++ > 0)
        return;
    const QByteArray path = QFile::encodeName(QCoreApplication::applicationDirPath() +
                                              QStringLiteral("/external-servers.lock"));
    LockFd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    // Without the file the servers still run, only no longer one at a time.
    if (LockFd >= 0) {
        while (::flock(LockFd, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
}

void UnlockExternalServers()
{
    if (--LockHolders > 0)
        return;
    if (LockFd >= 0)
        ::close(LockFd);
    LockFd = -1;
}

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

TExternalServer::TExternalServer(TKind kind) : FKind(kind) {}

TExternalServer::~TExternalServer()
{
    if (FProcess && FProcess->state() != QProcess::NotRunning) {
        FProcess->terminate();
        if (!FProcess->waitForFinished(5000)) {
            FProcess->kill();
            FProcess->waitForFinished(5000);
        }
    }
    if (FLocked)
        UnlockExternalServers();
}

QString TExternalServer::Name(TKind kind)
{
    switch (kind) {
    case Nginx: return QStringLiteral("nginx");
    case Tinyproxy: return QStringLiteral("tinyproxy");
    case Dante: return QStringLiteral("danted");
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
                                           QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther |
                                           QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup);
    if (!FLocked) {
        LockExternalServers();
        FLocked = true;
    }
    const QString binary = FindBinary(FKind);
    for (int attempt = 0; attempt < 5; ++attempt) {
        FPort = FreeLoopbackPort();
        const QString config = WriteConfig();
        QStringList arguments;
        switch (FKind) {
        case Nginx: arguments = {QStringLiteral("-c"), config, QStringLiteral("-p"), FDir.path()}; break;
        case Tinyproxy: arguments = {QStringLiteral("-d"), QStringLiteral("-c"), config}; break;
        case Dante:
            arguments = {QStringLiteral("-f"), config,
                         QStringLiteral("-p"), FDir.path() + QStringLiteral("/danted.pid"),
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
        *error = Name(FKind) + QStringLiteral(" did not come up: ") + QString::fromLocal8Bit(FProcess->readAll()) +
                 Log();
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
