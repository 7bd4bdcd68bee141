#pragma once

#include "net/HttpRequestMessage.h"

#include <QByteArray>
#include <QString>

class THttpCli;
class THttpRoute;

// What a client's settings make of a request, line by line: the lines it writes by
// default (From, Accept, Referer, Content-Type, User-Agent, Host, Pragma, Content-Length,
// If-Modified-Since, Authorization, Proxy-Authorization, Cookie, in this order), each
// only when its setting is not empty, then the caller's own lines, which replace a
// default line of the same name. Credentials and the caller's lines go only to the
// route's first origin.
class THttpRequestWriter {
public:
    static THttpRequestMessage Build(const THttpCli &client, const THttpRoute &route, const QString &method,
                                     const QString &username, const QString &password);
    // The CONNECT request that asks an HTTP proxy for a tunnel to the route's server;
    // proxy credentials go here, in the clear part only.
    static QByteArray TunnelRequest(const THttpRoute &route, const QString &proxyUsername,
                                    const QString &proxyPassword);
};
