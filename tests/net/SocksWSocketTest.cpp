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
        socket.OnSocksConnected = [this](QObject *, quint16 error) { Events << QStringLiteral("socks-connected %1").arg(error); };
        socket.OnSocksError = [this](QObject *, int error, const QString &msg) {
            Events << QStringLiteral("socks-error %1 %2").arg(error).arg(msg);
        };
        socket.OnSocksAuthState = [this](QObject *, TSocksAuthState state) {
            static const char *const names[] = {"start", "success", "failure", "not-required"};
            Events << QStringLiteral("auth %1").arg(QLatin1String(names[int(state)]));
        };
        socket.OnSessionConnected = [this](QObject *, quint16 error) { Events << QStringLiteral("connected %1").arg(error); };
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
                       const QString &addr = QStringLiteral("dest.example"), const QString &port = QStringLiteral("8080"))
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
    EXPECT_EQ(probe.Events,
              (QStringList{"socks-connected 0", "auth start", "auth success", "connected 0", "data"}));
    EXPECT_EQ(client.BoundAddress(), QStringLiteral("prox"));
    EXPECT_EQ(client.BoundPort(), QStringLiteral("1080"));
    client.SendText("bye");
    ASSERT_TRUE(WaitUntil([&] { return proxy.Finished(); }));
    EXPECT_TRUE(proxy.Errors().isEmpty()) << proxy.Errors().join('\n').toStdString();
}

TEST(SocksWSocket, Socks5NegotiationFailures)
{
    struct Row {
        const char *name;
        QByteArray method;
        QByteArray auth;
        QByteArray reply;
        QStringList expected;
    };
    // The refusal is told once, not again by the close that follows it.
    const QStringList authFailure{"socks-connected 0", "auth start", "auth failure"};
    const std::vector<Row> rows = {
        {"method 255", Bytes({5, 255}), {}, {}, {"socks-connected 0", "socks-error 20003 authentification method not acceptable", "connected 20003", "closed 20003"}},
        {"wrong version", Bytes({4, 0}), {}, {}, {"socks-connected 0", "socks-error 20002 socks version error", "connected 20002", "closed 20002"}},
        {"auth refused", Bytes({5, 2}), Bytes({1, 1}), {}, authFailure + QStringList{"socks-error 20015 socks authentication failed", "connected 20015", "closed 20015"}},
        {"auth version", Bytes({5, 2}), Bytes({9, 0}), {}, authFailure + QStringList{"socks-error 20002 socks version error", "connected 20002", "closed 20002"}},
        {"auth too long", Bytes({5, 2}), Bytes({1, 0, 0}), {}, authFailure + QStringList{"socks-error 20001 too much data availaible", "connected 20001", "closed 20001"}},
        {"reply 1", Bytes({5, 0}), {}, Bytes({5, 1, 0, 1}), {"socks-connected 0", "socks-error 20004 general SOCKS server failure", "connected 20004", "closed 20004"}},
        {"reply 2", Bytes({5, 0}), {}, Bytes({5, 2}), {"socks-connected 0", "socks-error 20005 connection not allowed by ruleset", "connected 20005", "closed 20005"}},
        {"reply 5", Bytes({5, 0}), {}, Bytes({5, 5}), {"socks-connected 0", "socks-error 20008 connection refused", "connected 20008", "closed 20008"}},
        {"reply 8", Bytes({5, 0}), {}, Bytes({5, 8}), {"socks-connected 0", "socks-error 20011 address type not supported", "connected 20011", "closed 20011"}},
        {"reply 9", Bytes({5, 0}), {}, Bytes({5, 9}), {"socks-connected 0", "socks-error 20012 unassigned error #9", "connected 20012", "closed 20012"}},
        {"reply version", Bytes({5, 0}), {}, Bytes({1, 0, 0, 1}), {"socks-connected 0", "socks-error 20002 socks version error", "connected 20002", "closed 20002"}},
        {"address type 4", Bytes({5, 0}), {}, Bytes({5, 0, 0, 4, 1, 2, 3}), {"socks-connected 0", "socks-error 20011 address type not supported", "connected 20011", "closed 20011"}},
        {"name too long", Bytes({5, 0}), {}, Bytes({5, 0, 0, 3, 200}) + QByteArray(50, 'n'), {"socks-connected 0", "socks-error 20001 too much data availaible", "connected 20001", "closed 20001"}},
    };
    for (const Row &row : rows) {
        TScriptedServer proxy([&](TPeer &peer, int) {
            peer.Read(3);
            peer.Write(row.method);
            if (!row.auth.isEmpty()) {
                peer.Read(1 + 1 + 1 + 1 + 1);
                peer.Write(row.auth);
            }
            if (!row.reply.isEmpty()) {
                peer.Read(int(Socks5Request("dest.example", 8080).size()));
                peer.Write(row.reply);
            }
            peer.WaitClosed();
        });
        TWSocket client;
        TSocksProbe probe(client);
        PointThroughSocks(client, proxy, QStringLiteral("5"));
        if (!row.auth.isEmpty()) {
            client.SetSocksAuthentication(socksAuthenticateUsercode);
            client.SetSocksUsercode(QStringLiteral("u"));
            client.SetSocksPassword(QStringLiteral("p"));
        }
        client.Connect();
        ASSERT_TRUE(WaitUntil([&] { return client.State() == wsClosed && proxy.Finished(); })) << row.name;
        EXPECT_EQ(probe.Events, row.expected) << row.name << ": " << probe.Events.join(" | ").toStdString();
        EXPECT_TRUE(proxy.Errors().isEmpty()) << row.name << proxy.Errors().join('\n').toStdString();
    }
}

TEST(SocksWSocket, Socks4RequestsAndReplies)
{
    struct Row {
        QByteArray reply;
        QStringList expected;
    };
    const std::vector<Row> rows = {
        {Bytes({0, 91, 0, 0, 0, 0, 0, 0}), {"socks-connected 0", "socks-error 20016 request rejected or failed", "connected 20016", "closed 20016"}},
        {Bytes({0, 92, 0, 0, 0, 0, 0, 0}), {"socks-connected 0", "socks-error 20008 connection refused", "connected 20008", "closed 20008"}},
        {Bytes({0, 93, 0, 0, 0, 0, 0, 0}), {"socks-connected 0", "socks-error 20015 authentification failed", "connected 20015", "closed 20015"}},
        {Bytes({0, 94, 0, 0, 0, 0, 0, 0}), {"socks-connected 0", "socks-error 20012 unassigned error #94", "connected 20012", "closed 20012"}},
        {Bytes({1, 90, 0, 0, 0, 0, 0, 0}), {"socks-connected 0", "socks-error 20002 socks version error", "connected 20002", "closed 20002"}},
    };
    for (const Row &row : rows) {
        QByteArray request;
        TScriptedServer proxy([&](TPeer &peer, int) {
            request = peer.Read(8);
            request += peer.ReadUntil(QByteArray(1, '\0'));
            peer.Write(row.reply);
            peer.WaitClosed();
        });
        TWSocket client;
        TSocksProbe probe(client);
        PointThroughSocks(client, proxy, QStringLiteral("4"), QStringLiteral("127.0.0.1"), QStringLiteral("8080"));
        client.SetSocksUsercode(QStringLiteral("bob"));
        client.Connect();
        ASSERT_TRUE(WaitUntil([&] { return client.State() == wsClosed && proxy.Finished(); }));
        EXPECT_EQ(request, Bytes({4, 1, 0x1F, 0x90, 127, 0, 0, 1}) + "bob" + Bytes({0}));
        EXPECT_EQ(probe.Events, row.expected) << probe.Events.join(" | ").toStdString();
    }
}

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
    EXPECT_EQ(errorOf([&] { socket.Connect(); }), QStringLiteral("tcp is the only protocol supported thru socks server"));
}

TEST(SocksWSocket, GarbageFromTheProxyNeverHangsOrCrashes)
{
    // Whatever the proxy answers, the connection ends in an error or a wait for more;
    // the loop stays free and nothing overruns the reply buffer.
    const std::vector<QByteArray> garbage = {QByteArray(300, '\xff'), QByteArray(1, '\x05'), Bytes({5, 0, 5, 0, 0, 3, 255}),
                                             QByteArray(127, '\x05'), Bytes({5, 0}) + QByteArray(500, '\0')};
    for (const QByteArray &bytes : garbage) {
        TScriptedServer proxy([&](TPeer &peer, int) {
            peer.Read(3);
            peer.Write(bytes);
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
}
