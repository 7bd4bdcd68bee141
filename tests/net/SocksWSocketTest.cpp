#include "support/Bytes.h"
#include "support/EventWait.h"
#include "support/QtPrinting.h"
#include "support/ScriptedServer.h"
#include "WSocketHarness.h"

#include "net/WSocket.h"
#include "platform/core/Exceptions.h"

#include <gtest/gtest.h>

namespace {

// What the application and the SOCKS events saw, in order.
struct TSocksProbe {
    explicit TSocksProbe(TWSocket &socket) : Client(socket)
    {
        socket.OnSocksConnected = [this](QObject *, quint16 error) {
            Events << QStringLiteral("socks-connected %1").arg(error);
        };
        socket.OnSocksError = [this](QObject *, int error, const QString &msg) {
            Events << QStringLiteral("socks-error %1 %2").arg(error).arg(msg);
        };
        socket.OnSocksAuthState = [this](QObject *, TSocksAuthState state) {
            static const char *const names[] = {"start", "success", "failure", "not-required"};
            Events << QStringLiteral("auth %1").arg(QLatin1String(names[int(state)]));
        };
        socket.OnSessionConnected = [this](QObject *, quint16 error) {
            Events << QStringLiteral("connected %1").arg(error);
        };
        socket.OnSessionClosed = [this](QObject *, quint16 error) { Events << QStringLiteral("closed %1").arg(error); };
        socket.OnDataAvailable = [this](QObject *, quint16) {
            char buffer[4096];
            const int n = Client.Receive(buffer, sizeof buffer);
            if (n > 0) {
                if (Data.isEmpty())
                    Events << QStringLiteral("data");
                Data.append(buffer, n);
            }
        };
    }

    TWSocket &Client;
    QStringList Events;
    QByteArray Data;
};

void PointThroughSocks(TWSocket &client, const TScriptedServer &proxy, const QString &level,
                       const QString &addr = QStringLiteral("dest.example"),
                       const QString &port = QStringLiteral("8080"))
{
    client.SetAddr(addr);
    client.SetPort(port);
    client.SetProto(QStringLiteral("tcp"));
    client.SetSocksServer(QStringLiteral("127.0.0.1"));
    client.SetSocksPort(proxy.PortText());
    client.SetSocksLevel(level);
}

QByteArray Socks5Request(const QByteArray &host, int port)
{
    return Bytes({5, 1, 0, 3, int(host.size())}) + host + Bytes({port >> 8, port & 0xFF});
}

// The events of a connection the proxy refuses: the error is told once, then the connect and
// the close carry its code.
QStringList Refused(int code, const char *message, const QStringList &before = {"socks-connected 0"})
{
    return before + QStringList{QStringLiteral("socks-error %1 %2").arg(code).arg(QLatin1String(message)),
                                QStringLiteral("connected %1").arg(code), QStringLiteral("closed %1").arg(code)};
}

} // namespace

TEST(SocksWSocket, Socks5ReplyAndApplicationDataInOnePacket)
{
    QByteArray request;
    TScriptedServer proxy([&](TPeer &peer, int) {
        if (peer.Read(3) != Bytes({5, 1, 0}))
            throw std::runtime_error("bad method request");
        peer.Write(Bytes({5, 0}));
        request = peer.Read(int(Socks5Request("dest.example", 8080).size()));
        peer.Write(Bytes({5, 0, 0, 1, 10, 1, 2, 3, 0x1F, 0x90}) + "hello");
        peer.ReadUntil("bye");
    });
    TWSocket client;
    TSocksProbe probe(client);
    PointThroughSocks(client, proxy, QStringLiteral("5"));
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return probe.Data == "hello"; }));
    EXPECT_EQ(request, Socks5Request("dest.example", 8080));
    EXPECT_EQ(probe.Events, (QStringList{"socks-connected 0", "connected 0", "data"}));
    EXPECT_EQ(client.BoundAddress(), QStringLiteral("10.1.2.3"));
    EXPECT_EQ(client.BoundPort(), QStringLiteral("8080"));
    client.SendText("bye");
    ASSERT_TRUE(WaitUntil([&] { return proxy.Finished(); }));
    EXPECT_TRUE(proxy.Errors().isEmpty()) << proxy.Errors().join('\n').toStdString();
}

TEST(SocksWSocket, Socks5WithAuthenticationAndRepliesSplitOverPackets)
{
    QByteArray authRequest;
    TScriptedServer proxy([&](TPeer &peer, int) {
        if (peer.Read(3) != Bytes({5, 1, 2}))
            throw std::runtime_error("bad method request");
        peer.WriteSplit({Bytes({5}), Bytes({2})});
        authRequest = peer.Read(1 + 1 + 5 + 1 + 6);
        peer.WriteSplit({Bytes({1}), Bytes({0})});
        peer.Read(int(Socks5Request("10.9.8.7", 443).size()));
        // A bound name of the domain type, in three pieces.
        peer.WriteSplit({Bytes({5, 0}), Bytes({0, 3, 4}) + "prox", Bytes({0x04, 0x38})});
        peer.Write("after");
        peer.ReadUntil("bye");
    });
    TWSocket client;
    TSocksProbe probe(client);
    PointThroughSocks(client, proxy, QStringLiteral("5"), QStringLiteral("10.9.8.7"), QStringLiteral("443"));
    client.SetSocksAuthentication(socksAuthenticateUsercode);
    client.SetSocksUsercode(QStringLiteral("alice"));
    client.SetSocksPassword(QStringLiteral("secret"));
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return probe.Data == "after"; }));
    EXPECT_EQ(authRequest, Bytes({1, 5}) + "alice" + Bytes({6}) + "secret");
    EXPECT_EQ(probe.Events, (QStringList{"socks-connected 0", "auth start", "auth success", "connected 0", "data"}));
    EXPECT_EQ(client.BoundAddress(), QStringLiteral("prox"));
    EXPECT_EQ(client.BoundPort(), QStringLiteral("1080"));
    client.SendText("bye");
    ASSERT_TRUE(WaitUntil([&] { return proxy.Finished(); }));
    EXPECT_TRUE(proxy.Errors().isEmpty()) << proxy.Errors().join('\n').toStdString();
}

namespace {
struct Socks5Row {
    const char *Name;
    QByteArray Method, Auth, Reply;
    int Code;
    const char *Message;
};
class Socks5Refusal : public ::testing::TestWithParam<Socks5Row> {};
} // namespace

TEST_P(Socks5Refusal, EndsInItsError)
{
    const Socks5Row &row = GetParam();
    TScriptedServer proxy([&](TPeer &peer, int) {
        peer.Read(3);
        peer.Write(row.Method);
        if (!row.Auth.isEmpty()) {
            peer.Read(1 + 1 + 1 + 1 + 1);
            peer.Write(row.Auth);
        }
        if (!row.Reply.isEmpty()) {
            peer.Read(int(Socks5Request("dest.example", 8080).size()));
            peer.Write(row.Reply);
        }
        peer.WaitClosed();
    });
    TWSocket client;
    TSocksProbe probe(client);
    PointThroughSocks(client, proxy, QStringLiteral("5"));
    if (!row.Auth.isEmpty()) {
        client.SetSocksAuthentication(socksAuthenticateUsercode);
        client.SetSocksUsercode(QStringLiteral("u"));
        client.SetSocksPassword(QStringLiteral("p"));
    }
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return client.State() == wsClosed && proxy.Finished(); }));
    // The refusal is told once, not again by the close that follows it.
    const QStringList before = row.Auth.isEmpty() ? QStringList{"socks-connected 0"}
                                                  : QStringList{"socks-connected 0", "auth start", "auth failure"};
    EXPECT_EQ(probe.Events, Refused(row.Code, row.Message, before)) << probe.Events.join(" | ").toStdString();
    EXPECT_TRUE(proxy.Errors().isEmpty()) << proxy.Errors().join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    SocksWSocket, Socks5Refusal,
    ::testing::Values(
        Socks5Row{"Method255", Bytes({5, 255}), {}, {}, 20003, "authentification method not acceptable"},
        // Only "no authentication" was offered: no credentials may go out.
        Socks5Row{
            "UserPasswordNotOffered", Bytes({5, 2}), {}, {}, 20003, "SOCKS server chose a method that was not offered"},
        Socks5Row{"WrongVersion", Bytes({4, 0}), {}, {}, 20002, "socks version error"},
        Socks5Row{"AuthRefused", Bytes({5, 2}), Bytes({1, 1}), {}, 20015, "socks authentication failed"},
        Socks5Row{"AuthVersion", Bytes({5, 2}), Bytes({9, 0}), {}, 20002, "socks version error"},
        Socks5Row{"AuthTooLong", Bytes({5, 2}), Bytes({1, 0, 0}), {}, 20001, "too much data availaible"},
        Socks5Row{"Reply1", Bytes({5, 0}), {}, Bytes({5, 1, 0, 1}), 20004, "general SOCKS server failure"},
        Socks5Row{"Reply2", Bytes({5, 0}), {}, Bytes({5, 2}), 20005, "connection not allowed by ruleset"},
        Socks5Row{"Reply5", Bytes({5, 0}), {}, Bytes({5, 5}), 20008, "connection refused"},
        Socks5Row{"Reply8", Bytes({5, 0}), {}, Bytes({5, 8}), 20011, "address type not supported"},
        Socks5Row{"Reply9", Bytes({5, 0}), {}, Bytes({5, 9}), 20012, "unassigned error #9"},
        Socks5Row{"ReplyVersion", Bytes({5, 0}), {}, Bytes({1, 0, 0, 1}), 20002, "socks version error"},
        Socks5Row{"AddressType4", Bytes({5, 0}), {}, Bytes({5, 0, 0, 4, 1, 2, 3}), 20011, "address type not supported"},
        Socks5Row{"NameTooLong",
                  Bytes({5, 0}),
                  {},
                  Bytes({5, 0, 0, 3, 200}) + QByteArray(50, 'n'),
                  20001,
                  "too much data availaible"}),
    [](const auto &info) { return std::string(info.param.Name); });

namespace {
struct Socks4Row {
    const char *Name;
    QByteArray Reply;
    int Code;
    const char *Message;
};
class Socks4Refusal : public ::testing::TestWithParam<Socks4Row> {};
} // namespace

TEST_P(Socks4Refusal, SendsTheRequestAndEndsInTheError)
{
    const Socks4Row &row = GetParam();
    QByteArray request;
    TScriptedServer proxy([&](TPeer &peer, int) {
        request = peer.Read(8);
        request += peer.ReadUntil(QByteArray(1, '\0'));
        peer.Write(row.Reply);
        peer.WaitClosed();
    });
    TWSocket client;
    TSocksProbe probe(client);
    PointThroughSocks(client, proxy, QStringLiteral("4"), QStringLiteral("127.0.0.1"), QStringLiteral("8080"));
    client.SetSocksUsercode(QStringLiteral("bob"));
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return client.State() == wsClosed && proxy.Finished(); }));
    EXPECT_EQ(request, Bytes({4, 1, 0x1F, 0x90, 127, 0, 0, 1}) + "bob" + Bytes({0}));
    EXPECT_EQ(probe.Events, Refused(row.Code, row.Message)) << probe.Events.join(" | ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    SocksWSocket, Socks4Refusal,
    ::testing::Values(Socks4Row{"Reply91", Bytes({0, 91, 0, 0, 0, 0, 0, 0}), 20016, "request rejected or failed"},
                      Socks4Row{"Reply92", Bytes({0, 92, 0, 0, 0, 0, 0, 0}), 20008, "connection refused"},
                      Socks4Row{"Reply93", Bytes({0, 93, 0, 0, 0, 0, 0, 0}), 20015, "authentification failed"},
                      Socks4Row{"Reply94", Bytes({0, 94, 0, 0, 0, 0, 0, 0}), 20012, "unassigned error #94"},
                      Socks4Row{"WrongVersion", Bytes({1, 90, 0, 0, 0, 0, 0, 0}), 20002, "socks version error"}),
    [](const auto &info) { return std::string(info.param.Name); });

TEST(SocksWSocket, Socks4ASendsTheNameAndASplitReplySucceeds)
{
    QByteArray request;
    TScriptedServer proxy([&](TPeer &peer, int) {
        request = peer.Read(8);
        request += peer.ReadUntil(QByteArray(1, '\0'));
        request += peer.ReadUntil(QByteArray(1, '\0'));
        peer.WriteSplit({Bytes({0, 90, 0}), Bytes({0, 0, 0}), Bytes({0, 0})});
        peer.Write("payload");
        peer.ReadUntil("bye");
    });
    TWSocket client;
    TSocksProbe probe(client);
    PointThroughSocks(client, proxy, QStringLiteral("4a"), QStringLiteral("www.example.org"), QStringLiteral("80"));
    EXPECT_EQ(client.SocksLevel(), QStringLiteral("4A"));
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return probe.Data == "payload"; }));
    EXPECT_EQ(request, Bytes({4, 1, 0, 80, 0, 0, 0, 1, 0}) + "www.example.org" + Bytes({0}));
    EXPECT_EQ(probe.Events, (QStringList{"socks-connected 0", "connected 0", "data"}));
    client.SendText("bye");
    ASSERT_TRUE(WaitUntil([&] { return proxy.Finished(); }));
    EXPECT_TRUE(proxy.Errors().isEmpty()) << proxy.Errors().join('\n').toStdString();
}

TEST(SocksWSocket, Socks4NameThatDoesNotResolveEndsWith20017)
{
    TScriptedServer proxy([&](TPeer &peer, int) { peer.WaitClosed(); });
    TWSocket client;
    TSocksProbe probe(client);
    PointThroughSocks(client, proxy, QStringLiteral("4"), QStringLiteral("no-such-host.invalid"), QStringLiteral("80"));
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return client.State() == wsClosed; }, 30000));
    EXPECT_EQ(probe.Events,
              (QStringList{"socks-connected 0",
                           "socks-error 20017 ESocketException WSocketResolveHost: Cannot convert host address "
                           "'no-such-host.invalid'",
                           "closed 20017"}));
}

TEST(SocksWSocket, SettingsAndRefusals)
{
    TWSocket socket;
    auto errorOf = [](const std::function<void()> &action) {
        try {
            action();
        } catch (const ESocketException &e) {
            return e.Message();
        }
        return QString();
    };
    EXPECT_EQ(socket.SocksLevel(), QStringLiteral("5"));
    EXPECT_EQ(errorOf([&] { socket.SetSocksLevel(QStringLiteral("4b")); }),
              QStringLiteral("Invalid socks level. Must be 4, 4A or 5."));
    socket.SetSocksLevel(QStringLiteral("4a"));
    EXPECT_EQ(socket.SocksLevel(), QStringLiteral("4A"));
    socket.SetSocksServer(QStringLiteral(" 127.0.0.1 "));
    EXPECT_EQ(socket.SocksServer(), QStringLiteral("127.0.0.1"));
    socket.SetAddr(QStringLiteral("127.0.0.1"));
    socket.SetPort(QStringLiteral("1"));
    EXPECT_EQ(errorOf([&] { socket.Listen(); }), QStringLiteral("listening is not supported thru socks server"));
    socket.SetProto(QStringLiteral("udp"));
    EXPECT_EQ(errorOf([&] { socket.Connect(); }),
              QStringLiteral("tcp is the only protocol supported thru socks server"));
}

namespace {
struct GarbageRow {
    const char *Name;
    QByteArray Bytes;
};
class SocksGarbage : public ::testing::TestWithParam<GarbageRow> {};
} // namespace

// Whatever the proxy answers, the connection ends in an error or a wait for more;
// the loop stays free and nothing overruns the reply buffer.
TEST_P(SocksGarbage, NeverHangsOrCrashes)
{
    TScriptedServer proxy([&](TPeer &peer, int) {
        peer.Read(3);
        peer.Write(GetParam().Bytes);
        peer.WaitClosed(3000);
    });
    TWSocket client;
    TSocksProbe probe(client);
    PointThroughSocks(client, proxy, QStringLiteral("5"));
    client.Connect();
    WaitUntil([&] { return client.State() == wsClosed; }, 1000);
    client.Abort();
    EXPECT_EQ(client.State(), wsClosed);
    EXPECT_FALSE(probe.Events.contains(QStringLiteral("connected 0"))) << probe.Events.join(" | ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(SocksWSocket, SocksGarbage,
                         ::testing::Values(GarbageRow{"AllOnes", QByteArray(300, '\xff')},
                                           GarbageRow{"VersionOnly", QByteArray(1, '\x05')},
                                           GarbageRow{"AcceptedThenANameOf255Bytes", Bytes({5, 0, 5, 0, 0, 3, 255})},
                                           GarbageRow{"Fives", QByteArray(127, '\x05')},
                                           GarbageRow{"AcceptedThenZeros", Bytes({5, 0}) + QByteArray(500, '\0')}),
                         [](const auto &info) { return std::string(info.param.Name); });
