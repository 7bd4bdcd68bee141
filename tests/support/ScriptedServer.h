#pragma once

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <thread>
#include <vector>

// A port on 127.0.0.1 that nobody listened on a moment ago.
quint16 FreeLoopbackPort();

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
    // Waits until the client's system has acknowledged every byte written so far, so
    // they are in its receive queue and its next event will report them.
    bool WaitDelivered(int timeoutMs = 10000);
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

    // A negative count serves every connection that comes until the server is stopped.
    explicit TScriptedServer(TScript script, int connections = 1);
    ~TScriptedServer();

    static constexpr int Unlimited = -1;

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
