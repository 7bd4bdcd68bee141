#include "support/EventWait.h"
#include "support/QtPrinting.h"
#include "support/ScriptedServer.h"

#include "net/WSocket.h"

#include <gtest/gtest.h>

namespace {

// A client in line mode that records every delivery it gets as one entry.
struct TLineClient {
    TLineClient()
    {
        Socket.SetLineMode(true);
        Socket.OnDataAvailable = [this](QObject *, quint16) {
            if (Hold)
                return;
            Lines << Socket.ReceiveText();
            if (AfterLine)
                AfterLine();
        };
        Socket.OnSessionClosed = [this](QObject *, quint16) { Closed = true; };
    }

    void Connect(const TScriptedServer &server)
    {
        Socket.SetAddr(QStringLiteral("127.0.0.1"));
        Socket.SetPort(server.PortText());
        Socket.Connect();
    }

    TWSocket Socket;
    QList<QByteArray> Lines;
    bool Closed = false;
    bool Hold = false;
    std::function<void()> AfterLine;
};

} // namespace

TEST(LineWSocket, OneEventPerLineAndSplitLineEnds)
{
    TScriptedServer server([](TPeer &peer, int) {
        peer.Write("AB\r\nCD");
        peer.ReadUntil("1");
        peer.Write("EF\r");
        peer.ReadUntil("2");
        peer.Write("\nG\r\nH\r\n");
        peer.ReadUntil("3");
    });
    TLineClient client;
    client.Connect(server);
    ASSERT_TRUE(WaitUntil([&] { return client.Lines.size() == 1; }));
    EXPECT_EQ(client.Lines, (QList<QByteArray>{"AB\r\n"}));
    client.Socket.SendText("1");
    ASSERT_TRUE(WaitUntil([&] { return client.Socket.HeldCount() == 5; }));
    EXPECT_EQ(client.Lines.size(), 1);
    client.Socket.SendText("2");
    ASSERT_TRUE(WaitUntil([&] { return client.Lines.size() == 4; }));
    EXPECT_EQ(client.Lines, (QList<QByteArray>{"AB\r\n", "CDEF\r\n", "G\r\n", "H\r\n"}));
    EXPECT_TRUE(client.Socket.LineReceived());
    client.Socket.SendText("3");
    ASSERT_TRUE(WaitUntil([&] { return server.Finished(); }));
    EXPECT_TRUE(server.Errors().isEmpty()) << server.Errors().join('\n').toStdString();
}

TEST(LineWSocket, SwitchingLineModeOffHandsHeldBytesToOrdinaryReceives)
{
    TScriptedServer server([](TPeer &peer, int) {
        peer.Write("first\r\nrest-of-the-data");
        peer.ReadUntil("bye");
    });
    TLineClient client;
    QByteArray raw;
    int rawCalls = 0;
    client.AfterLine = [&] {
        client.Socket.SetLineMode(false);
        client.Socket.OnDataAvailable = [&](QObject *, quint16) {
            ++rawCalls;
            char piece[3];
            const int n = client.Socket.Receive(piece, sizeof piece);
            if (n > 0)
                raw.append(piece, n);
        };
    };
    client.Connect(server);
    ASSERT_TRUE(WaitUntil([&] { return raw == "rest-of-the-data"; }));
    EXPECT_EQ(client.Lines, (QList<QByteArray>{"first\r\n"}));
    EXPECT_GE(rawCalls, 6);
    client.Socket.SendText("bye");
    ASSERT_TRUE(WaitUntil([&] { return server.Finished(); }));
}

TEST(LineWSocket, SwitchingLineModeOnSplitsWhatIsHeld)
{
    TScriptedServer server([](TPeer &peer, int) {
        peer.Write("one\ntwo\nthr");
        peer.ReadUntil("bye");
    });
    TWSocket socket;
    QList<QByteArray> lines;
    bool raw = true;
    socket.OnDataAvailable = [&](QObject *, quint16) {
        if (raw) {
            // Take three bytes raw, then ask for lines; the rest waits in the socket.
            char piece[3];
            lines << QByteArray(piece, socket.Receive(piece, 3));
            raw = false;
            socket.SetLineEnd("\n");
            socket.SetLineMode(true);
            return;
        }
        lines << socket.ReceiveText();
    };
    socket.SetAddr(QStringLiteral("127.0.0.1"));
    socket.SetPort(server.PortText());
    socket.Connect();
    ASSERT_TRUE(WaitUntil([&] { return lines.size() == 3; }));
    EXPECT_EQ(lines, (QList<QByteArray>{"one", "\n", "two\n"}));
    EXPECT_EQ(socket.HeldCount(), 3);
    socket.SendText("bye");
    ASSERT_TRUE(WaitUntil([&] { return server.Finished(); }));
}

TEST(LineWSocket, UnterminatedRestIsTheFinalLineAtTheClose)
{
    TScriptedServer server([](TPeer &peer, int) {
        peer.Write("line\r\ntail without end");
        peer.Close();
    });
    TLineClient client;
    QStringList order;
    client.AfterLine = [&] { order << QStringLiteral("line"); };
    client.Socket.OnSessionClosed = [&](QObject *, quint16) {
        order << QStringLiteral("closed");
        client.Closed = true;
    };
    client.Connect(server);
    ASSERT_TRUE(WaitUntil([&] { return client.Closed; }));
    EXPECT_EQ(client.Lines, (QList<QByteArray>{"line\r\n", "tail without end"}));
    EXPECT_EQ(order, (QStringList{"line", "line", "closed"}));
}

TEST(LineWSocket, LineEditingWithEcho)
{
    QByteArray echo;
    TScriptedServer server([&](TPeer &peer, int) {
        peer.Write("ab\bc\r\n");
        echo = peer.Read(int(QByteArray("ab\b \bc\r\n").size()));
        peer.Write("x\ty\r\n");
        echo += peer.Read(1 + 7 + 1 + 2);
        peer.ReadUntil("bye");
    });
    TLineClient client;
    client.Socket.SetLineEdit(true);
    client.Socket.SetLineEcho(true);
    client.Connect(server);
    ASSERT_TRUE(WaitUntil([&] { return client.Lines.size() == 2; }));
    EXPECT_EQ(client.Lines, (QList<QByteArray>{"ac\r\n", "x       y\r\n"}));
    client.Socket.SendText("bye");
    ASSERT_TRUE(WaitUntil([&] { return server.Finished(); }));
    EXPECT_EQ(echo, QByteArray("ab\b \bc\r\n") + "x       y\r\n");
    EXPECT_TRUE(server.Errors().isEmpty()) << server.Errors().join('\n').toStdString();
}

TEST(LineWSocket, AnEndlessLineIsCutAtTheLimit)
{
    TScriptedServer server([](TPeer &peer, int) {
        peer.Write(QByteArray(3000, 'z'));
        peer.ReadUntil("bye");
    });
    TLineClient client;
    client.Socket.SetLineLimit(1000);
    int tooLong = 0;
    client.Socket.OnLineTooLong = [&](QObject *) { ++tooLong; };
    client.Connect(server);
    ASSERT_TRUE(WaitUntil([&] { return client.Lines.size() == 2; }));
    DrainEvents();
    EXPECT_EQ(client.Lines.size(), 2);
    EXPECT_EQ(client.Lines[0], QByteArray(1000, 'z'));
    EXPECT_EQ(client.Lines[1], QByteArray(1000, 'z'));
    EXPECT_EQ(tooLong, 2);
    EXPECT_EQ(client.Socket.HeldCount(), 1000);
    client.Socket.SendText("bye");
    ASSERT_TRUE(WaitUntil([&] { return server.Finished(); }));
}

TEST(LineWSocket, AHandlerThatLeavesTheLineStopsTheFlowUntilItIsRead)
{
    TScriptedServer server([](TPeer &peer, int) {
        peer.Write("one\r\ntwo\r\n");
        peer.ReadUntil("more");
        peer.Write("three\r\n");
        peer.ReadUntil("bye");
    });
    TLineClient client;
    client.Hold = true;
    int offers = 0;
    client.Socket.OnDataAvailable = [&](QObject *, quint16) {
        ++offers;
        if (!client.Hold)
            client.Lines << client.Socket.ReceiveText();
    };
    client.Connect(server);
    ASSERT_TRUE(WaitUntil([&] { return offers >= 1; }));
    DrainEvents(30);
    EXPECT_EQ(offers, 1);
    EXPECT_EQ(client.Socket.RcvdCount(), 5);
    // Read outside the handler, the held line lets the next one through.
    EXPECT_EQ(client.Socket.ReceiveText(), "one\r\n");
    client.Hold = false;
    ASSERT_TRUE(WaitUntil([&] { return client.Lines.size() == 1; }));
    EXPECT_EQ(client.Lines[0], "two\r\n");
    client.Socket.SendText("more");
    ASSERT_TRUE(WaitUntil([&] { return client.Lines.size() == 2; }));
    EXPECT_EQ(client.Lines[1], "three\r\n");
    client.Socket.SendText("bye");
    ASSERT_TRUE(WaitUntil([&] { return server.Finished(); }));
}
