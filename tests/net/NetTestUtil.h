#pragma once

#include <QByteArray>
#include <QMutex>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <thread>
#include <vector>

// Readable failure messages for Qt strings.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QByteArray &bytes, std::ostream *os)
{
    *os << '"' << QByteArray(bytes.left(300)).toPercentEncoding(" !#$&'()*+,-./:;<=>?@[]^_`{|}~").toStdString()
        << (bytes.size() > 300 ? "...\"" : "\"");
}

// Runs the event loop until cond() holds or the deadline passes; returns cond().
bool WaitUntil(const std::function<bool()> &cond, int timeoutMs = 10000);

// Runs whatever is waiting in the event loop now, plus what that posts in turn, a few
// rounds (no waiting for the clock).
void DrainEvents(int rounds = 5);

// One accepted connection of a scripted server, with blocking helpers that give up
// after a deadline (they throw, and the server records the failure).
class TPeer {
public:
    explicit TPeer(int fd, const std::atomic<bool> &stop) : FFd(fd), FStop(stop) {}
    ~TPeer();
    TPeer(const TPeer &) = delete;
    TPeer &operator=(const TPeer &) = delete;

    int Fd() const { return FFd; }
    QByteArray Read(int count, int timeoutMs = 10000);
    QByteArray ReadUntil(const QByteArray &end, int timeoutMs = 10000);
    // Everything up to the peer's close (or the deadline, which throws).
    QByteArray ReadToEnd(int timeoutMs = 10000);
    // True when the peer closed or reset the connection before the deadline.
    bool WaitClosed(int timeoutMs = 10000);
    void Write(const QByteArray &bytes);
    // Writes the parts with a short pause between them, so they travel as separate
    // segments and the client sees them arrive one by one.
    void WriteSplit(const std::vector<QByteArray> &parts, int pauseMs = 60);
    void Close();
    // Closes with a reset instead of the orderly end.
    void Reset();

private:
    bool WaitReadable(int timeoutMs);
    int FFd;
    const std::atomic<bool> &FStop;
};

// A server on 127.0.0.1 that runs a script on its own thread for each of the next
// connections, for exact byte sequences and faults.
class TScriptedServer {
public:
    using TScript = std::function<void(TPeer &peer, int index)>;

    explicit TScriptedServer(TScript script, int connections = 1);
    ~TScriptedServer();

    quint16 Port() const { return FPort; }
    QString PortText() const { return QString::number(FPort); }
    bool Finished() const { return FFinished.load(); }
    QStringList Errors() const;
    int Accepted() const { return FAccepted.load(); }
    // Connections whose script has run to its end.
    int Completed() const { return FCompleted.load(); }

private:
    void Run(int connections);

    TScript FScript;
    int FListenFd = -1;
    quint16 FPort = 0;
    std::atomic<bool> FStop{false};
    std::atomic<bool> FFinished{false};
    std::atomic<int> FAccepted{0};
    std::atomic<int> FCompleted{0};
    mutable QMutex FMutex;
    QStringList FErrors;
    std::thread FThread;
};

quint16 FreeLoopbackPort();

// A real server binary (nginx, tinyproxy, danted) run by the test on a free loopback
// port with a configuration file of its own in a temporary folder, stopped with the
// object.
class TExternalServer {
public:
    enum TKind { Nginx, Tinyproxy, Dante };

    explicit TExternalServer(TKind kind);
    ~TExternalServer();

    static QString FindBinary(TKind kind);
    static QString Name(TKind kind);

    // Files to serve (nginx), path relative to the document root.
    void AddFile(const QString &path, const QByteArray &content);
    // Extra lines inside nginx's server block.
    void AddServerConfig(const QString &lines) { FServerConfig += lines; }
    // Proxy or SOCKS user name and password (tinyproxy BasicAuth).
    void SetCredentials(const QString &user, const QString &password);

    bool Start(QString *error);
    quint16 Port() const { return FPort; }
    QString PortText() const { return QString::number(FPort); }
    QString Log() const;

private:
    QString WriteConfig();

    TKind FKind;
    QTemporaryDir FDir;
    quint16 FPort = 0;
    QString FServerConfig;
    QString FUser;
    QString FPassword;
    std::unique_ptr<QProcess> FProcess;
};

// Skips the test when the server binary is not installed, and fails it in CI, where
// the set-up script installs it.
#define REQUIRE_EXTERNAL_SERVER(kind)                                                                              \
    do {                                                                                                           \
        if (TExternalServer::FindBinary(kind).isEmpty()) {                                                         \
            if (qEnvironmentVariableIsSet("CI"))                                                                   \
                FAIL() << TExternalServer::Name(kind).toStdString() << " is not installed (CI must install it)"; \
            GTEST_SKIP() << TExternalServer::Name(kind).toStdString()                                              \
                         << " is not installed; install it to run this test";                                     \
        }                                                                                                          \
    } while (0)
