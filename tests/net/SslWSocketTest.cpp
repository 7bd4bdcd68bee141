#include "support/EventWait.h"
#include "support/ExternalServer.h"
#include "support/QtPrinting.h"
#include "support/ScriptedServer.h"
#include "support/TestCertificates.h"

#include "net/WSocket.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <memory>
#include <sys/socket.h>

namespace {

// A TLS client on a TWSocket: it connects, sends Opening and reads up to GreetingEnd in
// the clear when asked to, then starts TLS and at once queues Request, so the request
// waits for the end of the handshake in the send queue. It records the events in order
// and the bytes received before and after the start.
struct TTlsClient {
    TWSocket Socket;
    QString HostName;
    QString CAFile;
    QByteArray Opening;
    QByteArray GreetingEnd;
    QByteArray Request;
    QStringList Events;
    QByteArray Clear;
    QByteArray Received;
    bool Started = false;
    bool Handshaken = false;
    // Closes as soon as everything queued has gone (with close_notify).
    bool CloseWhenSent = false;
    bool Closed = false;
    bool CloseNotified = false;
    QString Reason;

    void Start()
    {
        Socket.SetSslHostName(HostName);
        Socket.SetSslCAFile(CAFile);
        Socket.StartSsl();
        Started = true;
        if (!Request.isEmpty() && Socket.State() == wsConnected)
            Socket.SendText(Request);
    }

    void Connect(const QString &port, const QString &addr = QStringLiteral("127.0.0.1"))
    {
        Socket.SetAddr(addr);
        Socket.SetPort(port);
        Socket.OnSessionConnected = [this](QObject *, quint16 error) {
            Events << QStringLiteral("connected %1").arg(error);
            if (error != 0)
                return;
            if (!Opening.isEmpty())
                Socket.SendText(Opening);
            if (GreetingEnd.isEmpty())
                Start();
        };
        Socket.OnSslHandshakeDone = [this](QObject *, quint16 error, const QString &reason) {
            Events << QStringLiteral("handshake %1").arg(error);
            Reason = reason;
            Handshaken = error == 0;
        };
        Socket.OnDataSent = [this](QObject *, quint16) {
            if (CloseWhenSent && Handshaken && Socket.AllSent())
                Socket.Close();
        };
        Socket.OnDataAvailable = [this](QObject *, quint16) {
            char buffer[32768];
            const int n = Socket.Receive(buffer, sizeof buffer);
            if (n <= 0)
                return;
            if (Started) {
                Received.append(buffer, n);
                return;
            }
            Clear.append(buffer, n);
            if (Clear.endsWith(GreetingEnd))
                Start();
        };
        Socket.OnSessionClosed = [this](QObject *, quint16 error) {
            Events << QStringLiteral("closed %1").arg(error);
            CloseNotified = Socket.SslCloseNotified();
            Closed = true;
        };
        Socket.Connect();
    }
};

QByteArray RandomBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(20261209);
    for (char &c : bytes)
        c = char(generator.generate() & 0xFF);
    return bytes;
}

// Headers long enough that the request fills several blocks of the send queue, which
// then leave in one gathered send once the handshake is done.
QByteArray Request(const QString &path)
{
    QByteArray request = "GET " + path.toLatin1() + " HTTP/1.0\r\nHost: localhost\r\n";
    for (int i = 0; i < 3; ++i)
        request += "X-Pad-" + QByteArray::number(i) + ": " + QByteArray(3000, char('a' + i)) + "\r\n";
    return request + "X-Check: last header\r\n\r\n";
}

QByteArray BodyOf(const QByteArray &reply)
{
    const qsizetype end = reply.indexOf("\r\n\r\n");
    return end < 0 ? QByteArray() : reply.mid(end + 4);
}

std::unique_ptr<TExternalServer> TlsNginx(const TTestCertificates &certificates, TTestCertificates::TKind kind,
                                          const QString &extra = {})
{
    auto server = std::make_unique<TExternalServer>(TExternalServer::Nginx);
    server->AddServerConfig(QStringLiteral("    ssl on;\n    ssl_certificate %1;\n    ssl_certificate_key %2;\n%3")
                                .arg(certificates.CertFile(kind), certificates.KeyFile(kind), extra));
    return server;
}

// ---- a good server: what is fetched arrives byte for byte ----

struct TFetchRow {
    const char *Name;
    const char *HostName;
    const char *Path;
    bool LineMode;
    // Empty: the body is the file the server serves at Path.
    const char *Body;
};

class SslWSocketFetch : public ::testing::TestWithParam<TFetchRow> {};

TEST_P(SslWSocketFetch, ReceivesThePlaintextByteForByte)
{
    REQUIRE_EXTERNAL_SERVER(TExternalServer::Nginx);
    REQUIRE_OPENSSL_TOOL();
    const TFetchRow &row = GetParam();
    TTestCertificates certificates;
    QString error;
    ASSERT_TRUE(certificates.Make(&error)) << error.toStdString();
    auto server = TlsNginx(
        certificates, TTestCertificates::Good,
        QStringLiteral("    location = /sni { return 200 \"[$ssl_server_name] $http_x_check\"; }\n"));
    const QByteArray page = "<html><body>" + QByteArray(2000, 'p') + "</body></html>\n";
    const QByteArray large = RandomBytes(6 * 1024 * 1024 + 123);
    server->AddFile(QStringLiteral("page.html"), page);
    server->AddFile(QStringLiteral("large.bin"), large);
    ASSERT_TRUE(server->Start(&error)) << error.toStdString();

    TTlsClient client;
    client.HostName = QLatin1String(row.HostName);
    client.CAFile = certificates.CAFile();
    client.Request = Request(QLatin1String(row.Path));
    client.Socket.SetLineMode(row.LineMode);
    client.Socket.SetLineEnd("\n");
    client.Connect(server->PortText());
    ASSERT_TRUE(WaitUntil([&] { return client.Closed; }, 60000)) << client.Events.join(", ").toStdString();

    QByteArray expected = row.Body;
    if (expected.isEmpty())
        expected = QLatin1String(row.Path) == QLatin1String("/large.bin") ? large : page;
    EXPECT_EQ(client.Events, (QStringList{"connected 0", "handshake 0", "closed 0"}));
    EXPECT_TRUE(client.Received.startsWith("HTTP/1.1 200 OK\r\n")) << client.Received.left(200).toStdString();
    EXPECT_TRUE(BodyOf(client.Received) == expected)
        << "body of " << BodyOf(client.Received).size() << " bytes, expected " << expected.size();
    EXPECT_TRUE(client.CloseNotified);
}

const TFetchRow FetchRows[] = {
    {"PageByAddress", "", "/page.html", false, ""},
    {"PageInLineMode", "localhost", "/page.html", true, ""},
    {"LargeBody", "localhost", "/large.bin", false, ""},
    {"NameSentAsSni", "localhost", "/sni", false, "[localhost] last header"},
    {"AddressNeverSentAsSni", "127.0.0.1", "/sni", false, "[] last header"},
};

INSTANTIATE_TEST_SUITE_P(Rows, SslWSocketFetch, ::testing::ValuesIn(FetchRows),
                         [](const ::testing::TestParamInfo<TFetchRow> &info) { return std::string(info.param.Name); });

// ---- through a proxy: TLS starts after the proxy's answer, read in the clear ----

struct TProxyRow {
    const char *Name;
    TExternalServer::TKind Kind;
};

class SslWSocketProxy : public ::testing::TestWithParam<TProxyRow> {};

TEST_P(SslWSocketProxy, StartsTlsAfterTheProxysAnswer)
{
    const TProxyRow &row = GetParam();
    REQUIRE_EXTERNAL_SERVER(TExternalServer::Nginx);
    REQUIRE_EXTERNAL_SERVER(row.Kind);
    REQUIRE_OPENSSL_TOOL();
    TTestCertificates certificates;
    QString error;
    ASSERT_TRUE(certificates.Make(&error)) << error.toStdString();
    auto server = TlsNginx(certificates, TTestCertificates::Good);
    server->AddFile(QStringLiteral("page.html"), "through the proxy\n");
    ASSERT_TRUE(server->Start(&error)) << error.toStdString();
    TExternalServer proxy(row.Kind);
    ASSERT_TRUE(proxy.Start(&error)) << error.toStdString();

    TTlsClient client;
    client.CAFile = certificates.CAFile();
    client.Request = Request(QStringLiteral("/page.html"));
    if (row.Kind == TExternalServer::Dante) {
        // The proxy gets the name; the certificate is checked against it.
        client.Socket.SetSocksServer(QStringLiteral("127.0.0.1"));
        client.Socket.SetSocksPort(proxy.PortText());
        client.Socket.SetSocksLevel(QStringLiteral("5"));
        client.Connect(server->PortText(), QStringLiteral("localhost"));
    } else {
        client.HostName = QStringLiteral("localhost");
        client.Opening = "CONNECT localhost:" + server->PortText().toLatin1() + " HTTP/1.0\r\n\r\n";
        client.GreetingEnd = "\r\n\r\n";
        client.Connect(proxy.PortText());
    }
    ASSERT_TRUE(WaitUntil([&] { return client.Closed; }, 30000)) << client.Events.join(", ").toStdString();
    EXPECT_EQ(client.Events, (QStringList{"connected 0", "handshake 0", "closed 0"}));
    if (row.Kind == TExternalServer::Tinyproxy) {
        EXPECT_TRUE(client.Clear.startsWith("HTTP/1.0 200 ")) << client.Clear.toStdString();
    }
    EXPECT_EQ(BodyOf(client.Received), "through the proxy\n");
}

INSTANTIATE_TEST_SUITE_P(Rows, SslWSocketProxy,
                         ::testing::Values(TProxyRow{"Socks5", TExternalServer::Dante},
                                           TProxyRow{"HttpConnect", TExternalServer::Tinyproxy}),
                         [](const ::testing::TestParamInfo<TProxyRow> &info) { return std::string(info.param.Name); });

// ---- what is sent arrives byte for byte, however slowly the peer takes it ----

TEST(SslWSocket, SendsALargeBodyThroughASmallSendBuffer)
{
    REQUIRE_OPENSSL_TOOL();
    TTestCertificates certificates;
    QString error;
    ASSERT_TRUE(certificates.Make(&error)) << error.toStdString();
    // The tool's server writes what it receives to its output.
    const quint16 port = FreeLoopbackPort();
    QProcess server;
    server.start(TTestCertificates::OpenSslBinary(),
                 {"s_server", "-accept", "127.0.0.1:" + QString::number(port), "-cert",
                  certificates.CertFile(TTestCertificates::Good), "-key", certificates.KeyFile(TTestCertificates::Good),
                  "-naccept", "1", "-quiet"});
    ASSERT_TRUE(server.waitForStarted(5000));
    QByteArray output;
    QObject::connect(&server, &QProcess::readyReadStandardOutput, [&] { output += server.readAllStandardOutput(); });
    // It listens once it has read its key; until then a connect is refused.
    const QByteArray upload = RandomBytes(6 * 1024 * 1024 + 7);
    std::unique_ptr<TTlsClient> client;
    ASSERT_TRUE(WaitUntil(
        [&] {
            client = std::make_unique<TTlsClient>();
            client->HostName = QStringLiteral("localhost");
            client->CAFile = certificates.CAFile();
            client->Request = upload;
            client->CloseWhenSent = true;
            client->Socket.SetLingerOnOff(wsLingerNoSet);
            client->Connect(QString::number(port));
            // A send buffer smaller than one record: the platform takes every record in
            // parts, and ciphertext is left waiting in the socket's own buffer all along.
            const int small = 4096;
            setsockopt(client->Socket.HSocket(), SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
            WaitUntil([&] { return client->Closed || client->Handshaken; }, 2000);
            return client->Handshaken;
        },
        20000))
        << client->Events.join(", ").toStdString();
    ASSERT_TRUE(WaitUntil([&] { return client->Closed && output.size() >= upload.size(); }, 60000))
        << client->Events.join(", ").toStdString() << ", " << output.size() << " bytes arrived";
    server.closeWriteChannel();
    server.waitForFinished(5000);
    EXPECT_EQ(client->Events, (QStringList{"connected 0", "handshake 0", "closed 0"}));
    EXPECT_TRUE(output == upload) << output.size() << " bytes arrived of " << upload.size();
}

// ---- certificates that must be refused, with OpenSSL's reason ----

struct TCertificateRow {
    const char *Name;
    TTestCertificates::TKind Kind;
    bool TestCA;
    const char *HostName;
    const char *Reason;
};

class SslWSocketCertificate : public ::testing::TestWithParam<TCertificateRow> {};

TEST_P(SslWSocketCertificate, IsRefusedWithOpenSslsReasonAndNothingReceived)
{
    REQUIRE_EXTERNAL_SERVER(TExternalServer::Nginx);
    REQUIRE_OPENSSL_TOOL();
    const TCertificateRow &row = GetParam();
    TTestCertificates certificates;
    QString error;
    ASSERT_TRUE(certificates.Make(&error)) << error.toStdString();
    auto server = TlsNginx(certificates, row.Kind);
    server->AddFile(QStringLiteral("page.html"), "secret page");
    ASSERT_TRUE(server->Start(&error)) << error.toStdString();

    TTlsClient client;
    client.HostName = QLatin1String(row.HostName);
    client.CAFile = row.TestCA ? certificates.CAFile() : QString();
    client.Request = Request(QStringLiteral("/page.html"));
    client.Connect(server->PortText());
    ASSERT_TRUE(WaitUntil([&] { return client.Closed; })) << client.Events.join(", ").toStdString();

    EXPECT_EQ(client.Events, (QStringList{"connected 0", "handshake 20101", "closed 20101"}));
    EXPECT_EQ(client.Reason, QString::fromLatin1(row.Reason));
    EXPECT_TRUE(client.Received.isEmpty());
}

const TCertificateRow CertificateRows[] = {
    {"Expired", TTestCertificates::Expired, true, "localhost", "certificate has expired"},
    {"OtherName", TTestCertificates::OtherName, true, "localhost", "hostname mismatch"},
    {"OtherAddress", TTestCertificates::OtherName, true, "", "IP address mismatch"},
    {"SelfSigned", TTestCertificates::SelfSigned, true, "localhost", "self-signed certificate"},
    {"UnknownIssuerForTheSystemStore", TTestCertificates::Good, false, "localhost",
     "unable to get local issuer certificate"},
};

INSTANTIATE_TEST_SUITE_P(Rows, SslWSocketCertificate, ::testing::ValuesIn(CertificateRows),
                         [](const ::testing::TestParamInfo<TCertificateRow> &info) {
                             return std::string(info.param.Name);
                         });

// ---- a server that speaks only TLS 1.0 ----

TEST(SslWSocket, RefusesAServerThatSpeaksOnlyTls10)
{
    REQUIRE_EXTERNAL_SERVER(TExternalServer::Nginx);
    REQUIRE_OPENSSL_TOOL();
    TTestCertificates certificates;
    QString error;
    ASSERT_TRUE(certificates.Make(&error)) << error.toStdString();
    auto server = TlsNginx(certificates, TTestCertificates::Good,
                           QStringLiteral("    ssl_protocols TLSv1;\n    ssl_ciphers DEFAULT:@SECLEVEL=0;\n"));
    ASSERT_TRUE(server->Start(&error)) << error.toStdString();

    // Our refusal means something only if the server does answer a TLS 1.0 client.
    QProcess probe;
    probe.setProcessChannelMode(QProcess::MergedChannels);
    probe.start(TTestCertificates::OpenSslBinary(),
                {"s_client", "-connect", "127.0.0.1:" + server->PortText(), "-tls1", "-cipher", "DEFAULT:@SECLEVEL=0"});
    probe.closeWriteChannel();
    ASSERT_TRUE(probe.waitForFinished(20000));
    const QString answer = QString::fromLocal8Bit(probe.readAll());
    if (probe.exitCode() != 0 || !answer.contains(QLatin1String("Protocol  : TLSv1\n"))) {
        if (qEnvironmentVariableIsSet("CI"))
            FAIL() << "the TLS 1.0 server does not answer a TLS 1.0 client:\n" << answer.toStdString();
        GTEST_SKIP() << "this OpenSSL cannot make a TLS 1.0 server, so the refusal proves nothing";
    }

    TTlsClient client;
    client.HostName = QStringLiteral("localhost");
    client.CAFile = certificates.CAFile();
    client.Request = Request(QStringLiteral("/"));
    client.Connect(server->PortText());
    ASSERT_TRUE(WaitUntil([&] { return client.Closed; })) << client.Events.join(", ").toStdString();
    EXPECT_EQ(client.Events, (QStringList{"connected 0", "handshake 20100", "closed 20100"}));
    EXPECT_EQ(client.Reason, QStringLiteral("tlsv1 alert protocol version"));
    EXPECT_TRUE(client.Received.isEmpty());
}

// ---- settings that cannot work, and settings after the close ----

TEST(SslWSocket, AnUnreadableCAFileFailsTheHandshakeAndTheSettingsResetAtTheClose)
{
    TScriptedServer server([](TPeer &peer, int) { peer.WaitClosed(); });
    TTlsClient client;
    client.HostName = QStringLiteral("localhost");
    client.CAFile = QStringLiteral("/nonexistent/ca.pem");
    client.Connect(server.PortText());
    ASSERT_TRUE(WaitUntil([&] { return client.Closed; })) << client.Events.join(", ").toStdString();
    EXPECT_EQ(client.Events, (QStringList{"connected 0", "handshake 20103", "closed 20103"}));
    EXPECT_EQ(client.Reason, QStringLiteral("the CA file /nonexistent/ca.pem cannot be read"));
    EXPECT_FALSE(client.Socket.SslActive());
    EXPECT_TRUE(client.Socket.SslHostName().isEmpty());
    EXPECT_TRUE(client.Socket.SslCAFile().isEmpty());
    ASSERT_TRUE(WaitUntil([&] { return server.Finished(); }));
}

// ---- servers that break the handshake ----

struct TFaultRow {
    const char *Name;
    // What the server does after reading the ClientHello.
    std::function<void(TPeer &)> Act;
    const char *Events;
    const char *Reason;
};

class SslWSocketFault : public ::testing::TestWithParam<TFaultRow> {};

TEST_P(SslWSocketFault, FailsTheHandshakeCleanly)
{
    const TFaultRow &row = GetParam();
    QByteArray clientHello;
    TScriptedServer server([&](TPeer &peer, int) {
        // A clear greeting first: what comes before StartSsl passes untouched.
        peer.Write("220 ready\r\n");
        const QByteArray header = peer.Read(5);
        clientHello = header + peer.Read((quint8(header[3]) << 8) | quint8(header[4]));
        row.Act(peer);
    });
    TTlsClient client;
    client.GreetingEnd = "220 ready\r\n";
    client.HostName = QStringLiteral("localhost");
    client.Request = "GET / HTTP/1.0\r\n\r\n";
    client.Connect(server.PortText());
    ASSERT_TRUE(WaitUntil([&] { return client.Closed; })) << client.Events.join(", ").toStdString();
    ASSERT_TRUE(WaitUntil([&] { return server.Finished(); }));

    EXPECT_TRUE(server.Errors().isEmpty()) << server.Errors().join('\n').toStdString();
    EXPECT_EQ(client.Clear, "220 ready\r\n");
    // A handshake record holding a ClientHello, and the request never in the clear.
    EXPECT_EQ(clientHello.left(1), QByteArray("\x16"));
    EXPECT_EQ(clientHello.at(5), '\x01');
    EXPECT_FALSE(clientHello.contains("GET /"));
    EXPECT_EQ(client.Events, QString::fromLatin1(row.Events).split(QStringLiteral(", ")));
    EXPECT_EQ(client.Reason, QString::fromLatin1(row.Reason));
    EXPECT_TRUE(client.Received.isEmpty());
}

const TFaultRow FaultRows[] = {
    {"ResetInTheHandshake", [](TPeer &peer) { peer.Reset(); }, "connected 0, handshake 20102, closed 20102",
     "connection reset during the TLS handshake"},
    {"CloseInTheHandshake", [](TPeer &peer) { peer.Close(); }, "connected 0, handshake 20102, closed 20102",
     "connection closed during the TLS handshake"},
    {"HttpInsteadOfServerHello",
     [](TPeer &peer) {
         peer.Write("HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n");
         peer.WaitClosed();
     },
     "connected 0, handshake 20100, closed 20100", "wrong version number"},
    {"HalfAServerHello",
     [](TPeer &peer) {
         peer.Write(QByteArray::fromHex("160303005a0200005603") + QByteArray(20, '\x42'));
         peer.Close();
     },
     "connected 0, handshake 20102, closed 20102", "connection closed during the TLS handshake"},
};

INSTANTIATE_TEST_SUITE_P(Rows, SslWSocketFault, ::testing::ValuesIn(FaultRows),
                         [](const ::testing::TestParamInfo<TFaultRow> &info) { return std::string(info.param.Name); });

} // namespace
