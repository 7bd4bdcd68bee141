#pragma once

#include "support/ScriptedServer.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <memory>

// An HTTP/1.0 server on 127.0.0.1 built on the scripted server: each request target (as
// written in the request line, so an absolute URL when a proxy is asked) gets its
// scripted reply, anything else 404. Connections are answered one after the other, as a
// client that makes one request at a time needs.
class TRoutedServer {
public:
    struct Reply {
        QByteArray Head; // status line and header lines, each ending in CR LF, without the blank line
        QByteArray Body;
        // Body bytes sent before the server falls silent (the connection stays open
        // until the client closes it); -1 sends everything and closes.
        qsizetype SendBytes = -1;
        // Reads the request and never answers.
        bool Silent = false;
    };

    TRoutedServer();

    quint16 Port() const;
    QString Url(const QString &path) const;
    void Serve(const QString &target, const Reply &reply);

    static Reply Page(const QByteArray &body, const QByteArray &contentType = "text/html", bool withLength = true);
    static Reply Status(int code, const QByteArray &reason);
    static Reply Redirect(const QByteArray &location);
    static Reply SilentReply();

    // Request lines in arrival order, and the whole request texts.
    QStringList RequestLines() const;
    QList<QByteArray> Requests() const;
    int CountOf(const QString &target) const;

    // Stops listening and drops every connection.
    void Stop();

    // A port on 127.0.0.1 nobody listens on.
    static quint16 ClosedPort() { return FreeLoopbackPort(); }

private:
    void Answer(TPeer &peer);

    mutable QMutex FMutex;
    QHash<QString, Reply> FRoutes;
    QStringList FRequestLines;
    QList<QByteArray> FRequests;
    quint16 FPort = 0;
    std::unique_ptr<TScriptedServer> FServer;
};
