#include "net/HttpRoute.h"

#include <QCoreApplication>

void THttpRoute::Start(const QString &url, const QString &proxy, const QString &proxyPort)
{
    Proxy = proxy;
    Location = url;
    const TUrlParts parts = ParseUrl(url);
    if (!proxy.isEmpty()) {
        const TUrlParts proxyParts = ParseUrl(proxy);
        HostName = proxyParts.Host;
        Port = proxyParts.Port.isEmpty() ? proxyPort : proxyParts.Port;
    }
    const bool secure = parts.Proto.toLower() == QLatin1String("https");
    FirstOrigin = HttpOrigin(secure, parts.Host, parts.Port);
    SetTarget(parts, secure);
}

void THttpRoute::SetTarget(const TUrlParts &url, bool secure)
{
    Secure = secure;
    TargetHost = url.Host;
    TargetPort = url.Port.isEmpty() ? (secure ? QStringLiteral("443") : QStringLiteral("80")) : url.Port;
    if (Proxy.isEmpty()) {
        Path = EncodeRequestTarget(url.Path);
        HostName = url.Host;
        Port = TargetPort;
        TargetPortText.clear();
    } else if (secure) {
        // Through an HTTP proxy an https request goes through a CONNECT tunnel and is
        // then sent as to the server itself.
        Path = EncodeRequestTarget(url.Path);
        TunnelTarget = url.Host + QLatin1Char(':') + TargetPort;
        TargetPortText.clear();
    } else {
        // Through a proxy the request line carries the whole URL.
        TargetPortText = url.Port.isEmpty() ? QString() : QLatin1Char(':') + url.Port;
        Path = QStringLiteral("http://") + url.Host + TargetPortText + EncodeRequestTarget(url.Path);
    }
}

QString THttpRoute::Redirect(const QString &value, bool allowDowngrade)
{
    const TUrlParts url = ParseUrl(value);
    const bool absolute = value.contains(QLatin1String("://"));
    const bool toSecure = absolute ? url.Proto.toLower() == QLatin1String("https") : Secure;
    if (Secure && !toSecure && !allowDowngrade)
        return QCoreApplication::translate("THttpCli", "Redirect refused: https to http");
    if (Secure || toSecure) {
        // https on either side: an absolute address sets the target up afresh; a path
        // stays on the same server.
        if (absolute) {
            SetTarget(url, toSecure);
        } else {
            const QString path = value.startsWith(QLatin1Char('/')) ? value : QLatin1Char('/') + value;
            Path = EncodeRequestTarget(path);
        }
        if (Path.isEmpty())
            Path = QStringLiteral("/");
        Location = (Secure ? QStringLiteral("https://") : QStringLiteral("http://")) + TargetHost + QLatin1Char(':') +
                   TargetPort + (Path.startsWith(QLatin1Char('/')) ? Path : QString());
        return QString();
    }
    const QString scheme = url.Proto.isEmpty() ? QStringLiteral("http") : url.Proto;
    if (Proxy.isEmpty()) {
        if (value.startsWith(QLatin1Char('/'))) {
            Path = value;
        } else {
            Path = url.Path;
            HostName = url.Host;
            if (!url.Port.isEmpty())
                Port = url.Port;
            else if (absolute && !url.Host.isEmpty() && !url.Path.isEmpty())
                // An absolute address without a port means the scheme's port, not
                // whatever port the redirecting server happened to listen on.
                Port = QStringLiteral("80");
            // An address built here names the server's port as the Host line does.
            const QString authority = TargetHost + (Port == QLatin1String("80") ? QString() : QLatin1Char(':') + Port);
            if (Path.isEmpty()) {
                Path = scheme + QStringLiteral("://") + authority + QLatin1Char('/') + HostName;
                HostName = TargetHost;
            } else if (!HostName.isEmpty()) {
                TargetHost = HostName;
            } else {
                Path = scheme + QStringLiteral("://") + authority + Path;
                HostName = TargetHost;
            }
        }
    } else {
        // The target's port stays in the address the proxy is asked for.
        if (url.Path.isEmpty())
            Path = scheme + QStringLiteral("://") + TargetHost + TargetPortText + QLatin1Char('/') + url.Host;
        else if (!url.Host.isEmpty())
            Path = value.startsWith(QLatin1Char('/')) ? Path + value : value;
        else
            Path = scheme + QStringLiteral("://") + TargetHost + TargetPortText + url.Path;
    }
    Path = EncodeRequestTarget(Path);
    Location = Path;
    return QString();
}

void THttpRoute::ServerOfRequest(QString *host, QString *port) const
{
    if (Secure) {
        *host = TargetHost;
        *port = TargetPort;
    } else if (Proxy.isEmpty()) {
        *host = TargetHost;
        *port = Port;
    } else {
        // Through a proxy the request line names the server, also after a redirect.
        const TUrlParts target = ParseUrl(Path);
        *host = target.Host;
        *port = target.Port;
    }
    if (port->isEmpty())
        *port = Secure ? QStringLiteral("443") : QStringLiteral("80");
}

QString THttpRoute::Origin() const
{
    QString host;
    QString port;
    ServerOfRequest(&host, &port);
    return HttpOrigin(Secure, host, port);
}

QString THttpRoute::HostHeader() const
{
    QString host;
    QString port;
    ServerOfRequest(&host, &port);
    const QLatin1String schemePort(Secure ? "443" : "80");
    return port == schemePort ? host : host + QLatin1Char(':') + port;
}
