#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSocketNotifier>
#include <QStringList>
#include <memory>
#include <vector>

// A scripted HTTP/1.0 server on 127.0.0.1 for the update tests: each request target
// (as written in the request line, so an absolute URL when a proxy is asked) gets its
// scripted reply; anything else gets 404.
class TTestHttpServer : public QObject {
public:
    struct Reply {
        QByteArray Head; // status line and header lines, each ending in CR LF, without the blank line
        QByteArray Body;
        // Body bytes sent before the server falls silent (the connection stays open);
        // -1 sends everything and closes.
        qsizetype SendBytes = -1;
        // Reads the request and never answers.
        bool Silent = false;
    };

    TTestHttpServer();
    ~TTestHttpServer() override;

    quint16 Port() const { return FPort; }
    QString Url(const QString &path) const;
    void Serve(const QString &target, const Reply &reply);

    static Reply Page(const QByteArray &body, const QByteArray &contentType = "text/html", bool withLength = true);
    static Reply Status(int code, const QByteArray &reason);
    static Reply Redirect(const QByteArray &location);
    static Reply SilentReply();

    // Request lines in arrival order, and the whole request texts.
    const QStringList &RequestLines() const { return FRequestLines; }
    const QList<QByteArray> &Requests() const { return FRequests; }
    int CountOf(const QString &target) const;

    // Stops listening and drops every connection.
    void Stop();

    // A port on 127.0.0.1 nobody listens on.
    static quint16 ClosedPort();

private:
    struct Connection {
        int Fd = -1;
        QByteArray In;
        QByteArray Out;
        bool Answered = false;
        bool CloseWhenWritten = false;
        std::unique_ptr<QSocketNotifier> ReadNotifier;
        std::unique_ptr<QSocketNotifier> WriteNotifier;
    };

    void Accept();
    void Readable(Connection *connection);
    void Writable(Connection *connection);
    void Answer(Connection *connection);
    void Drop(Connection *connection);

    int FListenFd = -1;
    quint16 FPort = 0;
    std::unique_ptr<QSocketNotifier> FAcceptNotifier;
    std::vector<std::unique_ptr<Connection>> FConnections;
    QHash<QString, Reply> FRoutes;
    QStringList FRequestLines;
    QList<QByteArray> FRequests;
};

// An update page with the program's entry names; empty values leave their entry out.
QByteArray InfoPageText(const QString &version, const QString &downloadUrl = {}, const QString &readMe = {},
                        const QString &extra = {});
