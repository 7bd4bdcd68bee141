#include "net/HttpRequestWriter.h"

#include "net/HttpProt.h"
#include "net/HttpRoute.h"
#include "net/HttpUtil.h"

namespace {

QString Basic(const QString &user, const QString &password)
{
    return QStringLiteral("Basic ") +
           QString::fromLatin1(EncodeBase64((user + QLatin1Char(':') + password).toLatin1()));
}

} // namespace

THttpRequestMessage THttpRequestWriter::Build(const THttpCli &client, const THttpRoute &route, const QString &method,
                                              const QString &username, const QString &password)
{
    THttpRequestMessage request;
    request.Method = method;
    request.Target = route.Path;
    const bool firstOrigin = route.Origin() == route.FirstOrigin;
    THttpRequestMessage caller;
    if (firstOrigin)
        caller.Headers = client.ExtraHeaders();
    // The client's own line, unless the caller gave one of the same name.
    const auto own = [&](const QString &name, const QString &value) {
        if (!caller.Has(name))
            request.Add(name, value);
    };
    const bool post = method == QLatin1String("POST");
    if (!client.Sender().isEmpty())
        own(QStringLiteral("From"), client.Sender());
    if (!client.Accept().isEmpty())
        own(QStringLiteral("Accept"), client.Accept());
    if (!client.Reference().isEmpty())
        own(QStringLiteral("Referer"), client.Reference());
    if (post && !client.ContentTypePost().isEmpty())
        own(QStringLiteral("Content-Type"), client.ContentTypePost());
    if (!client.Agent().isEmpty())
        own(QStringLiteral("User-Agent"), client.Agent());
    request.Add(QStringLiteral("Host"), route.HostHeader());
    if (client.NoCache())
        own(QStringLiteral("Pragma"), QStringLiteral("no-cache"));
    if (post) {
        request.Add(QStringLiteral("Content-Length"), QString::number(client.PostStream()->size()));
        request.Body = client.PostStream();
    }
    if (client.ModifiedSince() != 0)
        own(QStringLiteral("If-Modified-Since"), FormatRfc1123Date(client.ModifiedSince()) + QStringLiteral(" GMT"));
    if (!username.isEmpty() && firstOrigin)
        own(QStringLiteral("Authorization"), Basic(username, password));
    if (!route.Proxy.isEmpty() && !route.Secure && !client.ProxyUsername().isEmpty())
        own(QStringLiteral("Proxy-Authorization"), Basic(client.ProxyUsername(), client.ProxyPassword()));
    if (!client.Cookie().isEmpty())
        own(QStringLiteral("Cookie"), client.Cookie());
    request.Headers << caller.Headers;
    return request;
}

QByteArray THttpRequestWriter::TunnelRequest(const THttpRoute &route, const QString &proxyUsername,
                                             const QString &proxyPassword)
{
    THttpRequestMessage request;
    request.Method = QStringLiteral("CONNECT");
    request.Target = route.TunnelTarget;
    request.Add(QStringLiteral("Host"), route.TunnelTarget);
    if (!proxyUsername.isEmpty())
        request.Add(QStringLiteral("Proxy-Authorization"), Basic(proxyUsername, proxyPassword));
    return request.Text();
}
