#include "support/EventWait.h"
#include "support/ExternalServer.h"
#include "support/QtPrinting.h"
#include "support/ScriptedServer.h"
#include "support/TestCertificates.h"

#include "HttpProbe.h"
#include "net/HttpProt.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <memory>

// The HTTP client over TLS against real nginx with certificates made for the test:
// directly, through an HTTP proxy's CONNECT tunnel and through a SOCKS 5 proxy; the
// certificate checks; and the redirects between http and https.

namespace {

QByteArray Payload()
{
    QByteArray bytes(3 * 1024 * 1024 + 17, Qt::Uninitialized);
    QRandomGenerator generator(1209);
    for (char &c : bytes)
        c = char(generator.generate() & 0xFF);
    return bytes;
}

// nginx serving https with one of the test certificates, and the payload as a file.
struct THttpsSite {
    explicit THttpsSite(TTestCertificates::TKind kind, const QString &extra = {})
    {
        if (!Certificates.Make(&Error))
            return;
        Server = std::make_unique<TExternalServer>(TExternalServer::Nginx);
        Server->AddServerConfig(QStringLiteral("    ssl on;\n    ssl_certificate %1;\n    ssl_certificate_key %2;\n%3")
                                    .arg(Certificates.CertFile(kind), Certificates.KeyFile(kind), extra));
        Server->AddFile(QStringLiteral("file.bin"), Payload());
        Started = Server->Start(&Error);
    }

    QString Url(const QString &host, const QString &path = QStringLiteral("/file.bin")) const
    {
        return QStringLiteral("https://%1:%2%3").arg(host).arg(Server->Port()).arg(path);
    }

    TTestCertificates Certificates;
    std::unique_ptr<TExternalServer> Server;
    QString Error;
    bool Started = false;
};

struct TFetched {
    quint16 Error = 0xFFFF;
    QString Reason;
    int Status = -1;
    QByteArray Body;
};

TFetched Fetch(const QString &url, const std::function<void(THttpCli &)> &setup)
{
    THttpCli client;
    THttpProbe probe(client);
    QBuffer saved;
    saved.open(QIODevice::WriteOnly);
    client.SetReceiveStream(&saved);
    client.SetURL(url);
    setup(client);
    client.StartGet();
    TFetched result;
    if (!WaitUntil([&] { return probe.Finished(); }, 30000))
        return result;
    result.Error = probe.DoneError;
    result.Reason = client.ReasonPhrase();
    result.Status = client.StatusCode();
    result.Body = saved.data();
    return result;
}

enum TRoute { Direct, ThroughTinyproxy, ThroughDante };

struct TGoodRow {
    const char *Name;
    const char *Host;
    TRoute Route;
};

void PrintTo(const TGoodRow &row, std::ostream *os)
{
    *os << row.Name;
}

class HttpsFetch : public ::testing::TestWithParam<TGoodRow> {};

TEST_P(HttpsFetch, DeliversTheFileByteForByte)
{
    REQUIRE_OPENSSL_TOOL();
    REQUIRE_EXTERNAL_SERVER(TExternalServer::Nginx);
    const TGoodRow &row = GetParam();
    THttpsSite site(TTestCertificates::Good);
    ASSERT_TRUE(site.Started) << site.Error.toStdString();
    std::unique_ptr<TExternalServer> proxy;
    if (row.Route == ThroughTinyproxy) {
        REQUIRE_EXTERNAL_SERVER(TExternalServer::Tinyproxy);
        proxy = std::make_unique<TExternalServer>(TExternalServer::Tinyproxy);
    } else if (row.Route == ThroughDante) {
        REQUIRE_EXTERNAL_SERVER(TExternalServer::Dante);
        proxy = std::make_unique<TExternalServer>(TExternalServer::Dante);
    }
    QString error;
    if (proxy) {
        ASSERT_TRUE(proxy->Start(&error)) << error.toStdString();
    }

    const TFetched fetched = Fetch(site.Url(QLatin1String(row.Host)), [&](THttpCli &client) {
        client.SetCAFile(site.Certificates.CAFile());
        if (row.Route == ThroughTinyproxy) {
            client.SetProxy(QStringLiteral("127.0.0.1"));
            client.SetProxyPort(proxy->PortText());
        } else if (row.Route == ThroughDante) {
            client.SetSocksServer(QStringLiteral("127.0.0.1"));
            client.SetSocksPort(proxy->PortText());
            client.SetSocksLevel(QStringLiteral("5"));
        }
    });
    EXPECT_EQ(fetched.Error, 0) << fetched.Reason.toStdString() << (proxy ? proxy->Log().toStdString() : "");
    EXPECT_EQ(fetched.Status, 200);
    EXPECT_TRUE(fetched.Body == Payload()) << fetched.Body.size() << " bytes";
}

INSTANTIATE_TEST_SUITE_P(Rows, HttpsFetch,
                         ::testing::Values(TGoodRow{"ByAddress", "127.0.0.1", Direct},
                                           TGoodRow{"ByName", "localhost", Direct},
                                           TGoodRow{"ThroughAConnectTunnel", "localhost", ThroughTinyproxy},
                                           TGoodRow{"ThroughSocks5", "localhost", ThroughDante}),
                         [](const ::testing::TestParamInfo<TGoodRow> &info) { return std::string(info.param.Name); });

struct TBadRow {
    const char *Name;
    TTestCertificates::TKind Kind;
    bool WithCAFile;
    const char *Reason;
};

void PrintTo(const TBadRow &row, std::ostream *os)
{
    *os << row.Name;
}

class HttpsCertificate : public ::testing::TestWithParam<TBadRow> {};

TEST_P(HttpsCertificate, IsRefusedWithItsReasonAndNothingWritten)
{
    REQUIRE_OPENSSL_TOOL();
    REQUIRE_EXTERNAL_SERVER(TExternalServer::Nginx);
    const TBadRow &row = GetParam();
    THttpsSite site(row.Kind);
    ASSERT_TRUE(site.Started) << site.Error.toStdString();
    const TFetched fetched = Fetch(site.Url(QStringLiteral("localhost")), [&](THttpCli &client) {
        if (row.WithCAFile)
            client.SetCAFile(site.Certificates.CAFile());
    });
    EXPECT_EQ(fetched.Error, ErrTlsFailed);
    EXPECT_EQ(fetched.Reason, QString::fromLatin1(row.Reason));
    EXPECT_EQ(fetched.Status, 0);
    EXPECT_TRUE(fetched.Body.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, HttpsCertificate,
    ::testing::Values(TBadRow{"Expired", TTestCertificates::Expired, true, "TLS: certificate has expired"},
                      TBadRow{"OtherName", TTestCertificates::OtherName, true, "TLS: hostname mismatch"},
                      TBadRow{"SelfSigned", TTestCertificates::SelfSigned, true, "TLS: self-signed certificate"},
                      TBadRow{"UnknownIssuer", TTestCertificates::Good, false,
                              "TLS: unable to get local issuer certificate"}),
    [](const ::testing::TestParamInfo<TBadRow> &info) { return std::string(info.param.Name); });

} // namespace

TEST(Https, RedirectsBetweenHttpAndHttps)
{
    REQUIRE_OPENSSL_TOOL();
    REQUIRE_EXTERNAL_SERVER(TExternalServer::Nginx);
    TScriptedServer plain(
        [&](TPeer &peer, int) {
            peer.ReadUntil("\r\n\r\n");
            peer.Write("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nplain");
            peer.WaitClosed();
        },
        1);
    const QString toPlain = QStringLiteral("http://127.0.0.1:%1/plain").arg(plain.Port());
    THttpsSite site(TTestCertificates::Good, QStringLiteral("    location = /down { return 302 %1; }\n").arg(toPlain));
    ASSERT_TRUE(site.Started) << site.Error.toStdString();

    // Up: a plain page that sends the client to https is followed.
    TScriptedServer up([&](TPeer &peer, int) {
        peer.ReadUntil("\r\n\r\n");
        peer.Write("HTTP/1.0 302 Found\r\nLocation: " + site.Url(QStringLiteral("localhost")).toLatin1() + "\r\n\r\n");
        peer.WaitClosed();
    });
    const TFetched upward = Fetch(QStringLiteral("http://127.0.0.1:%1/start").arg(up.Port()),
                                  [&](THttpCli &client) { client.SetCAFile(site.Certificates.CAFile()); });
    EXPECT_EQ(upward.Error, 0) << upward.Reason.toStdString();
    EXPECT_TRUE(upward.Body == Payload());

    // Down: refused unless the caller allows it, and then nothing reached the plain server.
    const TFetched refused = Fetch(site.Url(QStringLiteral("localhost"), QStringLiteral("/down")),
                                   [&](THttpCli &client) { client.SetCAFile(site.Certificates.CAFile()); });
    EXPECT_EQ(refused.Error, ErrUrlRefused);
    EXPECT_EQ(refused.Reason, QStringLiteral("Redirect refused: https to http"));
    EXPECT_EQ(plain.Accepted(), 0);
    const TFetched allowed = Fetch(site.Url(QStringLiteral("localhost"), QStringLiteral("/down")),
                                   [&](THttpCli &client) {
                                       client.SetCAFile(site.Certificates.CAFile());
                                       client.SetAllowDowngrade(true);
                                   });
    EXPECT_EQ(allowed.Error, 0) << allowed.Reason.toStdString();
    EXPECT_EQ(allowed.Body, "plain");
}

TEST(Https, AProxyThatRefusesTheTunnelFailsTheRequest)
{
    TScriptedServer proxy([&](TPeer &peer, int) {
        const QByteArray request = peer.ReadUntil("\r\n\r\n");
        if (!request.startsWith("CONNECT target.example:443 HTTP/1.0\r\n") ||
            !request.contains("\r\nProxy-Authorization: Basic dTpw\r\n"))
            throw std::runtime_error("unexpected tunnel request: " + request.toStdString());
        peer.Write("HTTP/1.0 403 Forbidden\r\n\r\n");
        peer.WaitClosed();
    });
    const TFetched fetched = Fetch(QStringLiteral("https://target.example/x"), [&](THttpCli &client) {
        client.SetProxy(QStringLiteral("127.0.0.1"));
        client.SetProxyPort(proxy.PortText());
        client.SetProxyUsername(QStringLiteral("u"));
        client.SetProxyPassword(QStringLiteral("p"));
    });
    EXPECT_EQ(fetched.Error, ErrTunnelRefused);
    EXPECT_EQ(fetched.Reason, QStringLiteral("Proxy refused the tunnel: 403 Forbidden"));
    ASSERT_TRUE(WaitUntil([&] { return proxy.Finished(); }));
    EXPECT_TRUE(proxy.Errors().isEmpty()) << proxy.Errors().join('\n').toStdString();
}

TEST(Https, FetchToolTrustsItsCAFileAndWarnsOfADowngrade)
{
    REQUIRE_OPENSSL_TOOL();
    REQUIRE_EXTERNAL_SERVER(TExternalServer::Nginx);
    const QString fetch = QCoreApplication::applicationDirPath() + QStringLiteral("/tallowmere-fetch");
    if (!QFileInfo(fetch).isExecutable())
        GTEST_SKIP() << "tallowmere-fetch is not built beside the test program";
    TScriptedServer plain([&](TPeer &peer, int) {
        peer.ReadUntil("\r\n\r\n");
        peer.Write("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nplain");
        peer.WaitClosed();
    });
    THttpsSite site(
        TTestCertificates::Good,
        QStringLiteral("    location = /down { return 302 http://127.0.0.1:%1/plain; }\n").arg(plain.Port()));
    ASSERT_TRUE(site.Started) << site.Error.toStdString();

    const auto run = [&](const QStringList &arguments, QByteArray *out, QString *err) {
        QProcess process;
        process.start(fetch, arguments);
        if (!process.waitForFinished(30000)) {
            process.kill();
            process.waitForFinished();
            return -1;
        }
        *out = process.readAllStandardOutput();
        *err = QString::fromLocal8Bit(process.readAllStandardError());
        return process.exitCode();
    };
    QByteArray out;
    QString err;
    EXPECT_EQ(run({QStringLiteral("--cacert"), site.Certificates.CAFile(), site.Url(QStringLiteral("localhost"))}, &out,
                  &err),
              0)
        << err.toStdString();
    EXPECT_TRUE(out == Payload());
    EXPECT_EQ(run({site.Url(QStringLiteral("localhost"))}, &out, &err), 1);
    EXPECT_TRUE(err.contains(QStringLiteral("TLS: unable to get local issuer certificate"))) << err.toStdString();
    EXPECT_EQ(run({QStringLiteral("--cacert"), site.Certificates.CAFile(),
                   site.Url(QStringLiteral("localhost"), QStringLiteral("/down"))},
                  &out, &err),
              0)
        << err.toStdString();
    EXPECT_EQ(out, "plain");
    EXPECT_TRUE(err.contains(
        QStringLiteral("\ntallowmere-fetch: warning: redirected from https to http; the rest is not protected\n")))
        << err.toStdString();
}
