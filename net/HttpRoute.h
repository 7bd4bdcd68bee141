#pragma once

#include "net/HttpUtil.h"

#include <QString>

// Where a request goes: the server it is for (scheme, host, port), the connection that
// carries it (the server itself or an HTTP proxy), the target its request line names,
// and how a redirect moves them. Text only: no socket and no events, so every rule of
// it can be read in one place.
class THttpRoute {
public:
    // A new request for url, directly (proxy empty) or through the HTTP proxy
    // proxyHost:proxyPort.
    void Start(const QString &url, const QString &proxy, const QString &proxyPort);
    // Points the route at a server, as the first request or a redirect to an absolute
    // https address (or from one) does.
    void SetTarget(const TUrlParts &url, bool secure);
    // Follows a redirect's Location (already checked by UrlRefusal); returns why it is
    // refused (https to http without allowDowngrade), or an empty text.
    QString Redirect(const QString &value, bool allowDowngrade);

    // "scheme://host:port" of the server the request line is for: what credentials and
    // the caller's header lines are bound to.
    QString Origin() const;
    // The value of the Host line: the server's name, with its port unless it is the
    // scheme's default.
    QString HostHeader() const;

    // The connection: the server, or the proxy.
    QString HostName;
    QString Port;
    // The server the request is for.
    bool Secure = false;
    QString TargetHost;
    // The target's port, spelled out (80 or 443 when the URL named none).
    QString TargetPort;
    // ":port" of the target when a proxy carries the request and the URL named one.
    QString TargetPortText;
    // What the request line names: a path, or through a proxy the absolute address.
    QString Path;
    // "host:port" a CONNECT tunnel goes to.
    QString TunnelTarget;
    // The request's current address, updated by redirects.
    QString Location;
    QString Proxy;
    // The origin of the request's first address: the only one its credentials and the
    // caller's header lines go to.
    QString FirstOrigin;

private:
    void ServerOfRequest(QString *host, QString *port) const;
};
