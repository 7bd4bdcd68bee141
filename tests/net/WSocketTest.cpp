#include "support/EventWait.h"
#include "support/QtPrinting.h"
#include "support/ScriptedServer.h"
#include "WSocketHarness.h"

#include "net/WSocket.h"
#include "net/WSocketResolve.h"
#include "platform/core/Exceptions.h"

#include <QPointer>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>

namespace {

QString ErrorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const ESocketException &e) {
        return e.Message();
    }
    return QString();
}

void PointAt(TWSocket &socket, const QString &port, const QString &addr = QStringLiteral("127.0.0.1"))
{
    socket.SetAddr(addr);
    socket.SetPort(port);
    socket.SetProto(QStringLiteral("tcp"));
}

} // namespace

TEST(WSocket, ConnectsExchangesDataAndReportsEachCloseOnce)
{
    TListenerHarness server;
    ASSERT_TRUE(server.Start());

    TWSocket client;
    TClientProbe probe(client);
    PointAt(client, server.PortText());
    client.Connect();
    EXPECT_EQ(client.State(), wsConnecting);
    ASSERT_TRUE(WaitUntil([&] { return probe.ConnectedCount == 1 && server.Sessions.size() == 1; }));
    EXPECT_EQ(probe.ConnectError, 0);
    EXPECT_EQ(client.State(), wsConnected);
    EXPECT_EQ(client.GetPeerAddr(), QStringLiteral("127.0.0.1"));
    EXPECT_NE(client.GetLocalPortText(), QStringLiteral("error"));
    ASSERT_GE(probe.States.size(), 3u);
    EXPECT_EQ(probe.States[0], wsOpened);
    EXPECT_EQ(probe.States[1], wsConnecting);
    EXPECT_EQ(probe.States[2], wsConnected);

    // Data-sent is news from the loop: never inside Send, even when everything went.
    ASSERT_TRUE(WaitUntil([&] { return probe.DataSentCount >= 1; }));
    const int sentBefore = probe.DataSentCount;
    EXPECT_EQ(client.SendText("hello, server"), 13);
    EXPECT_TRUE(client.AllSent());
    EXPECT_EQ(probe.DataSentCount, sentBefore);
    ASSERT_TRUE(WaitUntil([&] { return probe.DataSentCount == sentBefore + 1; }));
    ASSERT_TRUE(WaitUntil([&] { return server.Sessions[0]->Received == "hello, server"; }));

    server.Sessions[0]->Socket->SendText("hello, client");
    ASSERT_TRUE(WaitUntil([&] { return probe.Received == "hello, client"; }));
    EXPECT_EQ(client.ReadCount(), 13);

    client.Close();
    EXPECT_EQ(client.State(), wsClosed);
    EXPECT_EQ(probe.ClosedCount, 1);
    ASSERT_TRUE(WaitUntil([&] { return server.Sessions[0]->ClosedCount == 1; }));
    EXPECT_EQ(server.Sessions[0]->Socket->State(), wsClosed);
    // A second close and the loop running on report nothing more.
    client.Close();
    DrainEvents();
    EXPECT_EQ(probe.ClosedCount, 1);
    EXPECT_EQ(server.Sessions[0]->ClosedCount, 1);

    // Every close resets Addr and Port to unassigned.
    EXPECT_EQ(ErrorOf([&] { client.Connect(); }), QStringLiteral("Connect: No Port Specified"));
}

TEST(WSocket, PropertySettersAndConnectChecks)
{
    TListenerHarness server;
    ASSERT_TRUE(server.Start());
    TWSocket client;
    TClientProbe probe(client);

    EXPECT_EQ(ErrorOf([&] { client.Connect(); }), QStringLiteral("Connect: No Port Specified"));
    client.SetPort(server.PortText());
    EXPECT_EQ(ErrorOf([&] { client.Connect(); }), QStringLiteral("Connect: No IP Address Specified"));
    client.SetAddr(QStringLiteral(" 127.0.0.1 "));
    EXPECT_EQ(client.Addr(), QStringLiteral("127.0.0.1"));
    client.SetProto(QString());
    EXPECT_EQ(ErrorOf([&] { client.Connect(); }), QStringLiteral("Connect: No Protocol Specified"));
    client.SetProto(QStringLiteral("tcp"));

    EXPECT_EQ(ErrorOf([&] { client.SetSendFlags(TSocketSendFlags(7)); }), QStringLiteral("Invalid SendFlags"));
    client.SetSendFlags(wsSendUrgent);
    EXPECT_EQ(client.SendFlags(), wsSendUrgent);
    client.SetSendFlags(wsSendNormal);

    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return client.State() == wsConnected; }));

    // The same text while assigned is no change; another text is refused.
    EXPECT_EQ(ErrorOf([&] { client.SetPort(server.PortText()); }), QString());
    EXPECT_EQ(ErrorOf([&] { client.SetPort(QStringLiteral("81")); }),
              QStringLiteral("Cannot change Port if not closed"));
    EXPECT_EQ(ErrorOf([&] { client.SetAddr(QStringLiteral("10.0.0.1")); }),
              QStringLiteral("Cannot change Addr if not closed"));
    EXPECT_EQ(ErrorOf([&] { client.SetProto(QStringLiteral("udp")); }),
              QStringLiteral("Cannot change Proto if not closed"));
    EXPECT_EQ(ErrorOf([&] { client.SetLocalPort(QStringLiteral("0")); }),
              QStringLiteral("Cannot change LocalPort if not closed"));
    EXPECT_EQ(ErrorOf([&] { client.Connect(); }), QStringLiteral("Connect: Socket already in use"));
    EXPECT_EQ(ErrorOf([&] { client.SetSocksLevel(QStringLiteral("4")); }),
              QStringLiteral("Can't change socks level if not closed"));
    EXPECT_EQ(ErrorOf([&] { client.SetSocksServer(QStringLiteral("x")); }),
              QStringLiteral("Can't change socks server if not closed"));
    EXPECT_EQ(ErrorOf([&] { client.SetSocksPort(QStringLiteral("1")); }),
              QStringLiteral("Can't change socks port if not closed"));

    // With OnError assigned a failure is told to the handler and the call carries on.
    int errors = 0;
    client.OnError = [&](QObject *) { ++errors; };
    client.SetPort(QStringLiteral("81"));
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(client.Port(), server.PortText());
    client.OnError = nullptr;
    client.Close();
}

TEST(WSocket, SendWhileConnectingReportsNotConnectedAndClosesTheHandle)
{
    TListenerHarness server;
    ASSERT_TRUE(server.Start());
    TWSocket client;
    TClientProbe probe(client);
    PointAt(client, server.PortText());
    client.Connect();
    ASSERT_EQ(client.State(), wsConnecting);
    EXPECT_EQ(ErrorOf([&] { client.SendText("x"); }),
              QStringLiteral("Error 10057 in function Send\r\nSocket is not connected"));
    EXPECT_EQ(client.State(), wsClosed);
    EXPECT_EQ(client.HSocket(), Winsock::INVALID_SOCKET);
    EXPECT_EQ(client.LastError(), 10057);
    // The handle went without an event, and the connect news for it is dropped.
    DrainEvents(20);
    EXPECT_EQ(probe.ClosedCount, 0);
    EXPECT_EQ(probe.ConnectedCount, 0);

    TWSocket quiet;
    int errors = 0;
    quiet.OnError = [&](QObject *) { ++errors; };
    EXPECT_EQ(quiet.SendText("x"), -1);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(quiet.LastError(), 10057);
}

TEST(WSocket, RefusedConnectionReportsTheErrorThroughOnSessionConnected)
{
    TWSocket client;
    TClientProbe probe(client);
    PointAt(client, QString::number(FreeLoopbackPort()));
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return probe.ConnectedCount == 1 && client.State() == wsClosed; }));
    EXPECT_EQ(probe.ConnectError, 10061);
    EXPECT_EQ(SocketErrorDesc(probe.ConnectError), QStringLiteral("Connection refused"));
    EXPECT_LE(probe.ClosedCount, 1);
}

TEST(WSocket, PeerResetAndMidStreamCloseEndTheSession)
{
    QByteArray payload(100000, 'p');
    for (int i = 0; i < payload.size(); ++i)
        payload[i] = char('a' + i % 26);
    TScriptedServer server(
        [&](TPeer &peer, int index) {
            if (index == 0) {
                peer.Write(payload);
                peer.Close();
            } else {
                peer.Write("partial");
                peer.Read(4);
                peer.Reset();
            }
        },
        2);

    TWSocket first;
    TClientProbe probe(first);
    PointAt(first, server.PortText());
    first.Connect();
    ASSERT_TRUE(WaitUntil([&] { return probe.ClosedCount == 1; }));
    EXPECT_EQ(probe.Received, payload);
    EXPECT_EQ(probe.CloseError, 0);
    EXPECT_EQ(first.State(), wsClosed);

    TWSocket second;
    TClientProbe resetProbe(second);
    PointAt(second, server.PortText());
    second.Connect();
    ASSERT_TRUE(WaitUntil([&] { return resetProbe.Received == "partial"; }));
    second.SendText("done");
    ASSERT_TRUE(WaitUntil([&] { return resetProbe.ClosedCount == 1; }));
    EXPECT_EQ(resetProbe.CloseError, 10054);
    EXPECT_EQ(second.State(), wsClosed);
    ASSERT_TRUE(WaitUntil([&] { return server.Finished(); }));
    EXPECT_TRUE(server.Errors().isEmpty()) << server.Errors().join('\n').toStdString();
}

TEST(WSocket, WithoutAHandlerReceivedDataIsDiscarded)
{
    std::atomic<bool> delivered{false};
    TScriptedServer server([&](TPeer &peer, int) {
        peer.Write(QByteArray(5000, 'd'));
        delivered = peer.WaitDelivered();
        peer.ReadUntil("bye");
        peer.Write("after");
        peer.ReadUntil("end");
    });
    TWSocket client;
    PointAt(client, server.PortText());
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return delivered && client.RcvdCount() == 0; }));
    EXPECT_EQ(client.ReadCount(), 0);

    // The discarded bytes are gone for good: a handler set later sees only what follows.
    QByteArray got;
    client.OnDataAvailable = [&](QObject *, quint16) { got += client.ReceiveText(); };
    client.SendText("bye");
    ASSERT_TRUE(WaitUntil([&] { return got.size() >= 5; }));
    EXPECT_EQ(got, "after");
    client.SendText("end");
    ASSERT_TRUE(WaitUntil([&] { return server.Finished(); }));
    EXPECT_TRUE(server.Errors().isEmpty()) << server.Errors().join('\n').toStdString();
}

TEST(WSocket, HandlerThatReadsNothingDoesNotSpinTheReceiveLoop)
{
    std::atomic<bool> more{false};
    TScriptedServer server([&](TPeer &peer, int) {
        peer.Write("0123456789");
        peer.ReadUntil("go");
        peer.Write("ABC");
        peer.ReadUntil("end");
    });
    TWSocket client;
    PointAt(client, server.PortText());
    int calls = 0;
    client.OnDataAvailable = [&](QObject *, quint16) { ++calls; };
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return calls >= 1; }));
    DrainEvents(50);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(client.RcvdCount(), 10);

    // A later receive by the application picks the bytes up and the news flows again.
    QByteArray got = client.ReceiveText();
    EXPECT_EQ(got, "0123456789");
    client.OnDataAvailable = [&](QObject *, quint16) { got += client.ReceiveText(); };
    client.SendText("go");
    ASSERT_TRUE(WaitUntil([&] { return got == "0123456789ABC"; }));
    client.SendText("end");
    ASSERT_TRUE(WaitUntil([&] { return server.Finished(); }));
    EXPECT_TRUE(server.Errors().isEmpty()) << server.Errors().join('\n').toStdString();
    (void)more;
}

TEST(WSocket, LargeTransferBetweenTwoSocketsArrivesIntact)
{
    TListenerHarness server;
    ASSERT_TRUE(server.Start());
    TWSocket client;
    TClientProbe probe(client);
    client.SetLingerOnOff(wsLingerNoSet);
    PointAt(client, server.PortText());
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return probe.ConnectedCount == 1 && server.Sessions.size() == 1; }));

    QByteArray payload(8 * 1024 * 1024, Qt::Uninitialized);
    for (int i = 0; i < payload.size(); ++i)
        payload[i] = char((i * 7 + i / 8191) & 0xFF);
    // More than the platform takes at once, so the queue drains through write events.
    const int chunk = 100000;
    for (int offset = 0; offset < payload.size(); offset += chunk)
        client.Send(payload.constData() + offset, qMin(chunk, int(payload.size()) - offset));
    EXPECT_FALSE(client.AllSent());
    ASSERT_TRUE(WaitUntil([&] { return server.Sessions[0]->Received.size() >= payload.size(); }, 60000));
    EXPECT_TRUE(server.Sessions[0]->Received == payload);
    ASSERT_TRUE(WaitUntil([&] { return client.AllSent(); }));
    client.Close();
}

TEST(WSocket, BothEndsOfASocketPairWorkAsAdoptedConnections)
{
    WSocketLoadWinsock();
    Winsock::TSocket ends[2];
    ASSERT_TRUE(Winsock::SocketPair(ends));
    TWSocket left;
    TWSocket right;
    TClientProbe leftProbe(left);
    TClientProbe rightProbe(right);
    left.Dup(ends[0]);
    right.Dup(ends[1]);
    EXPECT_EQ(left.State(), wsConnected);
    EXPECT_EQ(right.State(), wsConnected);

    left.SendText("ping");
    right.SendText("pong");
    ASSERT_TRUE(WaitUntil([&] { return leftProbe.Received == "pong" && rightProbe.Received == "ping"; }));
    right.Close();
    ASSERT_TRUE(WaitUntil([&] { return leftProbe.ClosedCount == 1; }));
    EXPECT_EQ(leftProbe.CloseError, 0);
}

TEST(WSocket, FlushWaitsUntilTheQueueIsEmpty)
{
    TListenerHarness server;
    ASSERT_TRUE(server.Start());
    TWSocket client;
    PointAt(client, server.PortText());
    client.SetLingerOnOff(wsLingerNoSet);
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return client.State() == wsConnected && server.Sessions.size() == 1; }));
    const QByteArray payload(3 * 1024 * 1024, 'f');
    client.Send(payload.constData(), int(payload.size()));
    client.Flush();
    EXPECT_TRUE(client.AllSent());
    ASSERT_TRUE(WaitUntil([&] { return server.Sessions[0]->Received.size() == payload.size(); }, 30000));
}

TEST(WSocket, PauseHoldsNewsBackUntilResume)
{
    TListenerHarness server;
    ASSERT_TRUE(server.Start());
    TWSocket client;
    TClientProbe probe(client);
    PointAt(client, server.PortText());
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return client.State() == wsConnected && server.Sessions.size() == 1; }));
    DrainEvents();
    client.Pause();
    server.Sessions[0]->Socket->SendText("held");
    ASSERT_TRUE(WaitUntil([&] { return client.RcvdCount() == 4; }));
    DrainEvents(20);
    EXPECT_TRUE(probe.Received.isEmpty());
    client.Resume();
    ASSERT_TRUE(WaitUntil([&] { return probe.Received == "held"; }));
}

TEST(WSocket, AbortClosesWithoutTheHalfCloseAndReportsOnce)
{
    TListenerHarness server;
    ASSERT_TRUE(server.Start());
    TWSocket client;
    TClientProbe probe(client);
    PointAt(client, server.PortText());
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return client.State() == wsConnected && server.Sessions.size() == 1; }));
    client.Abort();
    EXPECT_EQ(client.State(), wsClosed);
    EXPECT_EQ(probe.ClosedCount, 1);
    ASSERT_TRUE(WaitUntil([&] { return server.Sessions[0]->ClosedCount == 1; }));
    DrainEvents();
    EXPECT_EQ(probe.ClosedCount, 1);
}

TEST(WSocket, ListenAcceptAndDupFailuresUseTheWinsockTexts)
{
    TWSocket socket;
    EXPECT_EQ(ErrorOf([&] { socket.Listen(); }),
              QStringLiteral("Error 10022 in function listen: port not assigned\r\nInvalid argument"));
    EXPECT_EQ(ErrorOf([&] { socket.Accept(); }),
              QStringLiteral("Error 10022 in function not a listening socket\r\nInvalid argument"));
    EXPECT_EQ(ErrorOf([&] { socket.Dup(Winsock::INVALID_SOCKET); }),
              QStringLiteral("Error 10022 in function Dup\r\nInvalid argument"));

    TListenerHarness first;
    ASSERT_TRUE(first.Start());
    TWSocket second;
    PointAt(second, first.PortText());
    EXPECT_EQ(ErrorOf([&] { second.Listen(); }),
              QStringLiteral("Error 10048 in function Bind\r\nAddress already in use"));
    EXPECT_EQ(second.State(), wsClosed);
    EXPECT_EQ(second.HSocket(), Winsock::INVALID_SOCKET);
}

TEST(WSocket, ExceptionInAHandlerGoesToBackgroundHandling)
{
    TListenerHarness server;
    ASSERT_TRUE(server.Start());
    for (const bool canClose : {true, false}) {
        TWSocket client;
        PointAt(client, server.PortText());
        QString seen;
        client.OnDataAvailable = [&](QObject *, quint16) {
            client.ReceiveText();
            throw EConvertError(QStringLiteral("bad number"));
        };
        client.OnBgException = [&](QObject *, const std::exception &e, bool &close) {
            seen = QString::fromUtf8(e.what());
            close = canClose;
        };
        client.Connect();
        ASSERT_TRUE(WaitUntil([&] { return client.State() == wsConnected; }));
        const size_t index = server.Sessions.size() - 1;
        ASSERT_TRUE(WaitUntil([&] { return server.Sessions.size() == index + 1; }));
        server.Sessions.back()->Socket->SendText("x");
        ASSERT_TRUE(WaitUntil([&] { return !seen.isEmpty(); }));
        EXPECT_EQ(seen, QStringLiteral("bad number"));
        EXPECT_EQ(client.State(), canClose ? wsClosed : wsConnected);
        client.Close();
    }
}

TEST(WSocket, HandlerMayDeleteTheSocketThatFiresIt)
{
    TListenerHarness server;
    ASSERT_TRUE(server.Start());
    auto *client = new TWSocket;
    QPointer<TWSocket> watch(client);
    PointAt(*client, server.PortText());
    client->OnDataAvailable = [&](QObject *, quint16) { delete client; };
    client->Connect();
    ASSERT_TRUE(WaitUntil([&] { return server.Sessions.size() == 1 && watch && watch->State() == wsConnected; }));
    server.Sessions[0]->Socket->SendText("delete yourself");
    ASSERT_TRUE(WaitUntil([&] { return watch.isNull(); }));
    ASSERT_TRUE(WaitUntil([&] { return server.Sessions[0]->ClosedCount == 1; }));

    auto *closing = new TWSocket;
    QPointer<TWSocket> watchClosing(closing);
    PointAt(*closing, server.PortText());
    closing->OnSessionClosed = [&](QObject *, quint16) { delete closing; };
    closing->Connect();
    ASSERT_TRUE(
        WaitUntil([&] { return server.Sessions.size() == 2 && watchClosing && watchClosing->State() == wsConnected; }));
    server.Sessions[1]->Socket->Close();
    ASSERT_TRUE(WaitUntil([&] { return watchClosing.isNull(); }));
}

TEST(WSocket, DatagramsTravelBetweenTwoSockets)
{
    TWSocket receiver;
    receiver.SetAddr(QStringLiteral("127.0.0.1"));
    receiver.SetPort(QStringLiteral("0"));
    receiver.SetProto(QStringLiteral("udp"));
    int receiverConnected = 0;
    receiver.OnSessionConnected = [&](QObject *, quint16) { ++receiverConnected; };
    QByteArray got;
    QString from;
    sockaddr_in peer{};
    receiver.OnDataAvailable = [&](QObject *, quint16) {
        char buffer[512];
        int length = sizeof peer;
        const int n = receiver.ReceiveFrom(&peer, length, buffer, sizeof buffer);
        if (n > 0) {
            got.append(buffer, n);
            from = QString::fromLatin1(Winsock::InetNtoa(peer.sin_addr.s_addr));
        }
    };
    receiver.Listen();
    EXPECT_EQ(receiver.State(), wsConnected);
    EXPECT_EQ(receiverConnected, 1);
    const QString port = receiver.GetLocalPortText();

    TWSocket sender;
    TClientProbe probe(sender);
    sender.SetAddr(QStringLiteral("127.0.0.1"));
    sender.SetPort(port);
    sender.SetProto(QStringLiteral("udp"));
    sender.Connect();
    EXPECT_EQ(sender.State(), wsConnected);
    EXPECT_EQ(probe.ConnectedCount, 1);
    sender.SendText("ping");
    ASSERT_TRUE(WaitUntil([&] { return got == "ping"; }));
    EXPECT_EQ(from, QStringLiteral("127.0.0.1"));

    receiver.SendTo(peer, sizeof peer, "pong", 4);
    ASSERT_TRUE(WaitUntil([&] { return probe.Received == "pong"; }));
}

TEST(WSocket, SynchronousWaitEndsWithTheFlagOrTheTimeout)
{
    TListenerHarness server;
    ASSERT_TRUE(server.Start());
    TWSocket client;
    bool connected = false;
    client.OnSessionConnected = [&](QObject *, quint16) { connected = true; };
    PointAt(client, server.PortText());
    client.SetTimeout(10000);
    EXPECT_EQ(client.Synchronize([&] { client.Connect(); }, connected), 0);
    EXPECT_EQ(client.State(), wsConnected);

    bool never = false;
    client.SetTimeout(30);
    EXPECT_EQ(client.WaitUntilReady(never), WSA_WSOCKET_TIMEOUT);
    client.Close();
}

TEST(WSocket, WaitForCloseDeliversTheRestAndReturnsAtTheClose)
{
    TScriptedServer server([](TPeer &peer, int) {
        peer.WriteSplit({"first ", "second ", "third"});
        peer.Close();
    });
    TWSocket client;
    TClientProbe probe(client);
    PointAt(client, server.PortText());
    client.Connect();
    ASSERT_TRUE(WaitUntil([&] { return client.State() == wsConnected; }));
    client.WaitForClose();
    ASSERT_TRUE(WaitUntil([&] { return probe.Received == "first second third"; }));
    ASSERT_TRUE(WaitUntil([&] { return client.State() == wsClosed; }));
}

TEST(WSocket, EventsArriveOnTheThreadThatCreatedTheSocket)
{
    TScriptedServer server([](TPeer &peer, int) {
        peer.Write("from the server");
        peer.ReadUntil("thanks");
    });
    std::atomic<bool> finished{false};
    QByteArray received;
    bool allOnWorker = true;
    quint16 lookupError = 0xFFFF;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        TWSocket socket;
        const QThread *self = QThread::currentThread();
        socket.OnDnsLookupDone = [&](QObject *, quint16 error) {
            allOnWorker = allOnWorker && QThread::currentThread() == self;
            lookupError = error;
            socket.SetAddr(socket.DnsResult());
            socket.SetPort(server.PortText());
            socket.Connect();
        };
        socket.OnDataAvailable = [&](QObject *, quint16) {
            allOnWorker = allOnWorker && QThread::currentThread() == self;
            received += socket.ReceiveText();
            if (received == "from the server")
                socket.SendText("thanks");
        };
        socket.DnsLookup(QStringLiteral("localhost"));
        WaitUntil([&] { return server.Finished() && socket.State() == wsClosed; }, 10000);
        finished = true;
    }));
    worker->start();
    ASSERT_TRUE(worker->wait(20000));
    EXPECT_TRUE(finished.load());
    EXPECT_EQ(lookupError, 0);
    EXPECT_EQ(received, "from the server");
    EXPECT_TRUE(allOnWorker);
}
