#include "support/Bytes.h"
#include "support/EventWait.h"
#include "support/ExternalServer.h"
#include "support/QtPrinting.h"
#include "support/ScriptedServer.h"

#include "HttpProbe.h"
#include "net/HttpProt.h"

#include <QBuffer>
#include <gtest/gtest.h>

// The HTTP client through a SOCKS proxy: a proxy that misbehaves is a failed request
// with the proxy's reason, and at levels 4A and 5 the host name goes to the proxy
// unresolved.

namespace {

// A name no resolver knows: reaching the proxy's answer at all proves the client did not
// look it up itself at levels 4A and 5.
const QString ProxyOnlyName = QStringLiteral("known-to-the-proxy-only.invalid");

enum TMisbehaviour { WrongVersion, Refusal, Silent, CloseAtOnce, ShortReply, Garbage };

struct TSocksRow {
    const char *Name;
    const char *Level;
    TMisbehaviour What;
    quint16 Error;
    const char *Reason;
};

void PrintTo(const TSocksRow &row, std::ostream *os)
{
    *os << row.Name;
}

const TSocksRow SocksRows[] = {
    {"Level4WrongVersion", "4", WrongVersion, 20002, "SOCKS proxy: socks version error (Error #20002)"},
    {"Level4Refusal", "4", Refusal, 20016, "SOCKS proxy: request rejected or failed (Error #20016)"},
    {"Level4Silent", "4", Silent, 20019,
     "SOCKS proxy: No answer from the SOCKS server within 1 seconds (Error #20019)"},
    {"Level4CloseAtOnce", "4", CloseAtOnce, 20018,
     "SOCKS proxy: SOCKS server closed the connection during negotiation (Error #20018)"},
    {"Level4ShortReply", "4", ShortReply, 20018,
     "SOCKS proxy: SOCKS server closed the connection during negotiation (Error #20018)"},
    {"Level4Garbage", "4", Garbage, 20002, "SOCKS proxy: socks version error (Error #20002)"},
    {"Level4AWrongVersion", "4A", WrongVersion, 20002, "SOCKS proxy: socks version error (Error #20002)"},
    {"Level4ARefusal", "4A", Refusal, 20016, "SOCKS proxy: request rejected or failed (Error #20016)"},
    {"Level4ASilent", "4A", Silent, 20019,
     "SOCKS proxy: No answer from the SOCKS server within 1 seconds (Error #20019)"},
    {"Level4ACloseAtOnce", "4A", CloseAtOnce, 20018,
     "SOCKS proxy: SOCKS server closed the connection during negotiation (Error #20018)"},
    {"Level4AShortReply", "4A", ShortReply, 20018,
     "SOCKS proxy: SOCKS server closed the connection during negotiation (Error #20018)"},
    {"Level4AGarbage", "4A", Garbage, 20002, "SOCKS proxy: socks version error (Error #20002)"},
    {"Level5WrongVersion", "5", WrongVersion, 20002, "SOCKS proxy: socks version error (Error #20002)"},
    {"Level5Refusal", "5", Refusal, 20008, "SOCKS proxy: connection refused (Error #20008)"},
    {"Level5Silent", "5", Silent, 20019,
     "SOCKS proxy: No answer from the SOCKS server within 1 seconds (Error #20019)"},
    {"Level5CloseAtOnce", "5", CloseAtOnce, 20018,
     "SOCKS proxy: SOCKS server closed the connection during negotiation (Error #20018)"},
    {"Level5ShortReply", "5", ShortReply, 20018,
     "SOCKS proxy: SOCKS server closed the connection during negotiation (Error #20018)"},
    {"Level5Garbage", "5", Garbage, 20002, "SOCKS proxy: socks version error (Error #20002)"},
};

// Plays the proxy's side up to the misbehaviour, reading the client's requests whole so
// that a close is an orderly one.
void Misbehave(TPeer &peer, const TSocksRow &row)
{
    const QByteArray level = row.Level;
    if (row.What == CloseAtOnce)
        return;
    if (row.What == Silent) {
        peer.WaitClosed(10000);
        return;
    }
    if (level == "5") {
        peer.Read(3);
        if (row.What == WrongVersion || row.What == Garbage) {
            peer.Write(row.What == Garbage ? QByteArray("GARBAGE!") : Bytes({4, 0}));
            peer.WaitClosed(10000);
            return;
        }
        peer.Write(Bytes({5, 0}));
        peer.Read(4 + 1 + int(ProxyOnlyName.size()) + 2);
    } else if (level == "4A") {
        peer.ReadUntil(ProxyOnlyName.toLatin1() + '\0');
    } else {
        peer.Read(9);
    }
    if (row.What == ShortReply) {
        peer.Write(level == "5" ? Bytes({5, 0, 0}) : Bytes({0, 0x5a, 0}));
        return;
    }
    if (row.What == Refusal)
        peer.Write(level == "5" ? Bytes({5, 5, 0, 1, 0, 0, 0, 0, 0, 0}) : Bytes({0, 91, 0, 0, 0, 0, 0, 0}));
    else if (row.What == WrongVersion)
        peer.Write(Bytes({5, 90, 0, 0, 0, 0, 0, 0}));
    else
        peer.Write("GARBAGE!");
    peer.WaitClosed(10000);
}

class HttpSocksFailure : public ::testing::TestWithParam<TSocksRow> {};

TEST_P(HttpSocksFailure, IsAFailedRequestWithTheProxysReason)
{
    const TSocksRow &row = GetParam();
    TScriptedServer proxy([&](TPeer &peer, int) { Misbehave(peer, row); });
    THttpCli client;
    THttpProbe probe(client);
    QBuffer saved;
    saved.open(QIODevice::WriteOnly);
    client.SetReceiveStream(&saved);
    client.SetSocksServer(QStringLiteral("127.0.0.1"));
    client.SetSocksPort(proxy.PortText());
    client.SetSocksLevel(QString::fromLatin1(row.Level));
    client.SetSocksTimeout(1);
    const bool level4 = QByteArray(row.Level) == "4";
    client.SetURL(QStringLiteral("http://%1:8080/page.htm").arg(level4 ? QStringLiteral("127.0.0.1") : ProxyOnlyName));
    client.StartGet();
    ASSERT_TRUE(WaitUntil([&] { return probe.Finished(); }));
    EXPECT_EQ(probe.DoneError, row.Error);
    EXPECT_EQ(client.ReasonPhrase(), QString::fromLatin1(row.Reason));
    EXPECT_EQ(client.StatusCode(), 404);
    EXPECT_TRUE(saved.data().isEmpty());
    EXPECT_EQ(probe.Done, 1);
    ExpectOneDonePerIdle(probe);
    ASSERT_TRUE(WaitUntil([&] { return proxy.Finished(); }));
}

INSTANTIATE_TEST_SUITE_P(Rows, HttpSocksFailure, ::testing::ValuesIn(SocksRows),
                         [](const ::testing::TestParamInfo<TSocksRow> &info) { return std::string(info.param.Name); });

class HttpSocksName : public ::testing::TestWithParam<const char *> {};

TEST_P(HttpSocksName, GoesToTheProxyUnresolved)
{
    const QByteArray level = GetParam();
    QByteArray request;
    QByteArray httpRequest;
    TScriptedServer proxy([&](TPeer &peer, int) {
        if (level == "5") {
            peer.Read(3);
            peer.Write(Bytes({5, 0}));
            request = peer.Read(5 + int(ProxyOnlyName.size()) + 2);
            peer.Write(Bytes({5, 0, 0, 1, 127, 0, 0, 1, 0, 80}));
        } else {
            request = peer.ReadUntil(ProxyOnlyName.toLatin1() + '\0');
            peer.Write(Bytes({0, 90, 0, 80, 127, 0, 0, 1}));
        }
        httpRequest = peer.ReadUntil("\r\n\r\n");
        peer.Write("HTTP/1.0 200 OK\r\nContent-Length: 7\r\n\r\nthrough");
        peer.WaitClosed();
    });
    THttpCli client;
    THttpProbe probe(client);
    client.SetSocksServer(QStringLiteral("127.0.0.1"));
    client.SetSocksPort(proxy.PortText());
    client.SetSocksLevel(QString::fromLatin1(level));
    client.SetURL(QStringLiteral("http://%1/page.htm").arg(ProxyOnlyName));
    client.StartGet();
    ASSERT_TRUE(WaitUntil([&] { return probe.Finished() && proxy.Finished(); }));
    EXPECT_EQ(probe.DoneError, 0) << client.ReasonPhrase().toStdString();
    EXPECT_EQ(probe.Body, "through");
    if (level == "5")
        EXPECT_EQ(request, Bytes({5, 1, 0, 3, int(ProxyOnlyName.size())}) + ProxyOnlyName.toLatin1() + Bytes({0, 80}));
    else
        EXPECT_EQ(request, Bytes({4, 1, 0, 80, 0, 0, 0, 1, 0}) + ProxyOnlyName.toLatin1() + '\0');
    EXPECT_TRUE(httpRequest.contains("\r\nHost: " + ProxyOnlyName.toLatin1() + "\r\n")) << httpRequest.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Levels, HttpSocksName, ::testing::Values("4A", "5"),
                         [](const ::testing::TestParamInfo<const char *> &info) {
                             return QByteArray(info.param) == "5" ? std::string("Level5") : std::string("Level4A");
                         });

} // namespace

TEST(HttpSocks, FetchesLocalhostThroughDante)
{
    REQUIRE_EXTERNAL_SERVER(TExternalServer::Nginx);
    REQUIRE_EXTERNAL_SERVER(TExternalServer::Dante);
    TExternalServer web(TExternalServer::Nginx);
    web.AddFile(QStringLiteral("page.html"), "<p>through dante</p>\n");
    QString error;
    ASSERT_TRUE(web.Start(&error)) << error.toStdString();
    TExternalServer dante(TExternalServer::Dante);
    ASSERT_TRUE(dante.Start(&error)) << error.toStdString();

    THttpCli client;
    THttpProbe probe(client);
    client.SetSocksServer(QStringLiteral("127.0.0.1"));
    client.SetSocksPort(dante.PortText());
    client.SetSocksLevel(QStringLiteral("5"));
    client.SetURL(QStringLiteral("http://localhost:%1/page.html").arg(web.Port()));
    client.StartGet();
    ASSERT_TRUE(WaitUntil([&] { return probe.Finished(); }, 20000));
    EXPECT_EQ(probe.DoneError, 0) << client.ReasonPhrase().toStdString() << dante.Log().toStdString();
    EXPECT_EQ(client.StatusCode(), 200);
    EXPECT_EQ(probe.Body, "<p>through dante</p>\n");
}
