#include "support/EventWait.h"
#include "support/QtPrinting.h"
#include "support/ScriptedServer.h"

#include "HttpProbe.h"
#include "net/HttpProt.h"

#include <gtest/gtest.h>

// Header lines of the caller's: what goes out, what replaces the client's own lines,
// what is refused before anything is sent, and where they may go.

namespace {

struct THeaderRow {
    const char *Name;
    QStringList Lines;
    // 0: the request goes out with Sent in it and without Absent.
    quint16 Error;
    const char *Reason;
    QByteArray Sent;
    QByteArray Absent;
};

void PrintTo(const THeaderRow &row, std::ostream *os)
{
    *os << row.Name;
}

const QByteArray DefaultAgent = "\r\nUser-Agent: Mozilla/3.0 (compatible)\r\n";

const THeaderRow HeaderRows[] = {
    {"GoodHeaderAfterTheClientsOwn",
     {QStringLiteral("X-Trace: a\tb 1")},
     0,
     "",
     "\r\nUser-Agent: Mozilla/3.0 (compatible)\r\nHost: 127.0.0.1:%PORT%\r\nX-Trace: a\tb 1\r\n\r\n",
     ""},
    {"ReplacesUserAgent",
     {QStringLiteral("user-agent: Mine/2")},
     0,
     "",
     "\r\nuser-agent: Mine/2\r\n\r\n",
     DefaultAgent},
    {"ReplacesAcceptAndKeepsTheRest",
     {QStringLiteral("Accept: text/plain")},
     0,
     "",
     "GET / HTTP/1.0\r\nUser-Agent: Mozilla/3.0 (compatible)\r\nHost: 127.0.0.1:%PORT%\r\nAccept: text/plain\r\n\r\n",
     "image/gif"},
    {"EmptyValue", {QStringLiteral("X-Empty:")}, 0, "", "\r\nX-Empty:\r\n\r\n", ""},
    {"CrLfInTheValue", {QStringLiteral("X-A: 1\r\nX-Injected: yes")}, ErrHeaderRefused, "Header refused: X-A", "", ""},
    {"LineFeedAlone", {QStringLiteral("X-A: 1\nHost: evil")}, ErrHeaderRefused, "Header refused: X-A", "", ""},
    {"NulInTheValue", {QStringLiteral("X-A: 1") + QChar(0)}, ErrHeaderRefused, "Header refused: X-A", "", ""},
    {"EscapeInTheValue", {QStringLiteral("X-A: \x1b[2J")}, ErrHeaderRefused, "Header refused: X-A", "", ""},
    {"BeyondLatin1", {QStringLiteral("X-A: ") + QChar(0x263A)}, ErrHeaderRefused, "Header refused: X-A", "", ""},
    {"BlankInTheName", {QStringLiteral("X A: 1")}, ErrHeaderRefused, "Header refused: X A", "", ""},
    {"BlankBeforeTheColon", {QStringLiteral("X-A : 1")}, ErrHeaderRefused, "Header refused: X-A ", "", ""},
    {"SeparatorInTheName", {QStringLiteral("X(A): 1")}, ErrHeaderRefused, "Header refused: X(A)", "", ""},
    {"EmptyName", {QStringLiteral(": 1")}, ErrHeaderRefused, "Header refused: ", "", ""},
    {"NoColon", {QStringLiteral("X-A 1")}, ErrHeaderRefused, "Header refused: X-A 1", "", ""},
    {"Host", {QStringLiteral("Host: elsewhere.example")}, ErrHeaderRefused, "Header refused: Host", "", ""},
    {"ContentLengthInCapitals",
     {QStringLiteral("CONTENT-LENGTH: 0")},
     ErrHeaderRefused,
     "Header refused: CONTENT-LENGTH",
     "",
     ""},
    {"TransferEncoding",
     {QStringLiteral("Transfer-Encoding: chunked")},
     ErrHeaderRefused,
     "Header refused: Transfer-Encoding",
     "",
     ""},
    {"OneBadLineRefusesAll",
     {QStringLiteral("X-Good: 1"), QStringLiteral("Host: x")},
     ErrHeaderRefused,
     "Header refused: Host",
     "",
     ""},
};

class HttpCallerHeader : public ::testing::TestWithParam<THeaderRow> {};

TEST_P(HttpCallerHeader, GoesOutCheckedOrEndsTheRequestUnsent)
{
    const THeaderRow &row = GetParam();
    QByteArray request;
    TScriptedServer server([&](TPeer &peer, int) {
        request = row.Error ? peer.ReadToEnd(2000) : peer.ReadUntil("\r\n\r\n");
        if (!row.Error)
            peer.Write("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok");
        peer.WaitClosed();
    });
    THttpCli client;
    THttpProbe probe(client);
    client.SetURL(QStringLiteral("http://127.0.0.1:%1/").arg(server.Port()));
    client.SetExtraHeaders(row.Lines);
    EXPECT_NO_THROW(client.StartGet());
    ASSERT_TRUE(WaitUntil([&] { return probe.Finished(); }));
    EXPECT_EQ(probe.DoneError, row.Error) << client.ReasonPhrase().toStdString();
    ExpectOneDonePerIdle(probe);
    if (row.Error) {
        EXPECT_EQ(client.ReasonPhrase(), QString::fromLatin1(row.Reason));
        DrainEvents(20);
        EXPECT_EQ(server.Accepted(), 0);
        return;
    }
    ASSERT_TRUE(WaitUntil([&] { return server.Finished(); }));
    QByteArray sent = row.Sent;
    sent.replace("%PORT%", server.PortText().toLatin1());
    EXPECT_TRUE(request.contains(sent)) << request.toStdString();
    if (!row.Absent.isEmpty()) {
        EXPECT_FALSE(request.contains(row.Absent)) << request.toStdString();
    }
    EXPECT_EQ(probe.Body, "ok");
}

INSTANTIATE_TEST_SUITE_P(Rows, HttpCallerHeader, ::testing::ValuesIn(HeaderRows),
                         [](const ::testing::TestParamInfo<THeaderRow> &info) { return std::string(info.param.Name); });

} // namespace

// A redirect to another origin gets the client's own lines back, and none of the caller's.
TEST(HttpCli, CallerHeadersStayWithTheFirstOrigin)
{
    QByteArray seenByOther;
    TScriptedServer other([&](TPeer &peer, int) {
        seenByOther = peer.ReadUntil("\r\n\r\n");
        peer.Write("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nother");
        peer.WaitClosed();
    });
    QList<QByteArray> seenByFirst;
    TScriptedServer first(
        [&](TPeer &peer, int index) {
            seenByFirst << peer.ReadUntil("\r\n\r\n");
            if (index == 0)
                peer.Write("HTTP/1.0 302 Found\r\nLocation: /again\r\n\r\n");
            else
                peer.Write("HTTP/1.0 302 Found\r\nLocation: http://127.0.0.1:" + other.PortText().toLatin1() +
                           "/next\r\n\r\n");
            peer.WaitClosed();
        },
        2);
    THttpCli client;
    THttpProbe probe(client);
    client.SetURL(QStringLiteral("http://127.0.0.1:%1/start").arg(first.Port()));
    client.SetExtraHeaders({QStringLiteral("X-Token: secret"), QStringLiteral("User-Agent: Mine/2")});
    client.StartGet();
    ASSERT_TRUE(WaitUntil([&] { return probe.Finished() && first.Finished() && other.Finished(); }));
    EXPECT_EQ(probe.DoneError, 0) << client.ReasonPhrase().toStdString();
    EXPECT_EQ(probe.Body, "other");
    ASSERT_EQ(seenByFirst.size(), 2);
    for (const QByteArray &request : seenByFirst) {
        EXPECT_TRUE(request.contains("\r\nX-Token: secret\r\n")) << request.toStdString();
        EXPECT_TRUE(request.contains("\r\nUser-Agent: Mine/2\r\n")) << request.toStdString();
    }
    EXPECT_FALSE(seenByOther.contains("X-Token")) << seenByOther.toStdString();
    EXPECT_TRUE(seenByOther.contains(DefaultAgent)) << seenByOther.toStdString();
}
