#include "support/QtPrinting.h"
#include "support/ScriptedServer.h"

#include "HttpProbe.h"
#include "net/HttpProt.h"

#include <QBuffer>
#include <chrono>
#include <thread>
#include <gtest/gtest.h>

// How a request ends, row by row: the fault server sends exact bytes and then closes,
// resets or holds the connection open; the client must call the reply complete only
// when it is, and otherwise fail with the reason the user reads. A redirect the client
// follows comes back to the same server, which answers "GET /moved" with "moved".

namespace {

enum TEnding { Close, Reset, Hold };

struct TReplyRow {
    const char *Name;
    std::vector<QByteArray> Parts;
    TEnding Ending;
    quint16 Error;
    const char *Reason;
    int Status;
    QByteArray Body;
    THttpRequest Request = RequestGet;
    qint64 MaxBody = 0;
    int Deadline = 0;
    // Connections after the first: the redirects the client followed.
    int Followed = 0;
};

void PrintTo(const TReplyRow &row, std::ostream *os)
{
    *os << row.Name;
}

const QByteArray Ok = "HTTP/1.0 200 OK\r\n";
const char *const BadReplyNoStatus = "Bad reply from the server: no status line";
const char *const BadLength = "Bad reply from the server: bad Content-Length";
const QByteArray Moved = "HTTP/1.0 301 Moved Permanently\r\n";
const QByteArray ToMoved = "Location: /moved\r\n";

// A header line of the given length, its CR LF included.
QByteArray HeaderLineOf(int length)
{
    return "X-Long: " + QByteArray(length - 10, 'L') + "\r\n";
}

// One row per line reads as a table.
// clang-format off
const TReplyRow ReplyRows[] = {
    // Complete replies.
    {"LengthReached", {Ok + "Content-Length: 5\r\n\r\nhel", "lo"}, Close, 0, "OK", 200, "hello"},
    {"BodyToACleanClose", {Ok + "\r\nbinary", QByteArray("\0body\r\n", 7)}, Close, 0, "OK", 200,
     QByteArray("binary\0body\r\n", 13)},
    {"HeaderSplitOverPackets", {"HTTP/1.0 200 O", "K\r\nContent-", "Length: 4\r", "\n\r\nbo", "dy"}, Close, 0, "OK", 200,
     "body"},
    {"LineFeedsAloneAndNoReason", {"HTTP/1.1 200\nContent-Length:2\n\nhi"}, Close, 0, "", 200, "hi"},
    {"SameLengthTwice", {Ok + "Content-Length: 2\r\nContent-Length: 2\r\n\r\nhi"}, Close, 0, "OK", 200, "hi"},
    {"KeepAliveCompleteAtLength", {Ok + "Content-Length: 5\r\n\r\nhelloEXTRA"}, Hold, 0, "OK", 200, "hello"},
    {"ZeroLengthWhileHeld", {Ok + "Content-Length: 0\r\n\r\n"}, Hold, 0, "OK", 200, ""},
    {"HeadHasNoBody", {Ok + "Content-Length: 1234\r\n\r\n"}, Hold, 0, "OK", 200, "", RequestHead},
    {"NoContentHasNoBody", {"HTTP/1.0 204 No Content\r\nContent-Length: 9\r\n\r\n"}, Hold, 0, "No Content", 204, ""},
    {"NotModifiedHasNoBody", {"HTTP/1.0 304 Not Modified\r\nContent-Length: 9\r\n\r\n"}, Hold, 0, "Not Modified", 304,
     ""},
    {"InterimReplySkipped", {"HTTP/1.1 100 Continue\r\n\r\n", Ok + "Content-Length: 2\r\n\r\nok"}, Close, 0, "OK", 200,
     "ok"},
    {"ErrorStatusClosedByTheClient", {"HTTP/1.0 404 Not Found\r\n"}, Hold, 0, "Not Found", 404, ""},
    {"Chunked", {Ok + "Transfer-Encoding: chunked\r\n\r\n6\r\nhello \r\n5\r\nworld\r\n0\r\n\r\n"}, Hold, 0, "OK", 200,
     "hello world"},
    {"ChunkedSplitWithExtensionAndTrailer",
     {Ok + "Transfer-Encoding: Chunked\r\n\r\n", "1", "0;name=va", "lue\r\n0123456789", "ABCDEF", "\r", "\n0\r\nX-T: 1\r\n",
      "\r\n"},
     Hold, 0, "OK", 200, "0123456789ABCDEF"},
    {"LongestHeaderLine", {Ok + HeaderLineOf(65536) + "Content-Length: 4\r\n\r\nbody"}, Hold, 0, "OK", 200, "body"},
    {"ChunkedWinsOverLength", {Ok + "Content-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n"},
     Close, 0, "OK", 200, "hello"},

    // Cut short.
    {"EmptyReply", {}, Close, ErrNoReply, "Empty reply from the server", 0, ""},
    {"CloseInTheStatusLine", {"HTTP/1.0 20"}, Close, ErrIncomplete,
     "Connection closed before the reply header was complete", 0, ""},
    {"CloseInTheHeader", {Ok + "Content-Ty"}, Close, ErrIncomplete,
     "Connection closed before the reply header was complete", 200, ""},
    {"TruncatedBody", {Ok + "Content-Length: 1000\r\n\r\n0123456789"}, Close, ErrIncomplete,
     "Connection closed after 10 of 1000 bytes", 200, "0123456789"},
    {"LargestLengthCutShort", {Ok + "Content-Length: 9223372036854775807\r\n\r\nbody"}, Close, ErrIncomplete,
     "Connection closed after 4 of 9223372036854775807 bytes", 200, "body"},
    {"ResetInTheBody", {Ok + "Content-Length: 1000\r\n\r\n0123456789"}, Reset, 10054,
     "Connection reset by peer (Error #10054)", 200, "0123456789"},
    {"ResetEndsABodyWithoutLength", {Ok + "\r\n0123456789"}, Reset, 10054, "Connection reset by peer (Error #10054)",
     200, "0123456789"},
    {"ChunkedCutShort", {Ok + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n"}, Close, ErrIncomplete,
     "Connection closed before the end of the chunked body", 200, "hello"},

    // Not HTTP as the client reads it.
    {"DocumentWithoutHeader", {"<HTML>\r\n<body>no header</body>\r\n"}, Close, ErrBadReply, BadReplyNoStatus, 0, ""},
    {"OneLineDocument", {"<html><p>one line</p>\n"}, Close, ErrBadReply, BadReplyNoStatus, 0, ""},
    {"DollarHexStatus", {"HTTP/1.0 $C8 OK\r\n\r\nbody"}, Close, ErrBadReply, BadReplyNoStatus, 0, ""},
    {"LetterInStatus", {"HTTP/1.0 2x0 OK\r\n\r\nbody"}, Close, ErrBadReply, BadReplyNoStatus, 0, ""},
    {"TwoDigitStatus", {"HTTP/1.0 20 OK\r\n\r\nbody"}, Close, ErrBadReply, BadReplyNoStatus, 0, ""},
    {"FourDigitStatus", {"HTTP/1.0 2000\r\n\r\nbody"}, Close, ErrBadReply, BadReplyNoStatus, 0, ""},
    {"StatusBelowOneHundred", {"HTTP/1.1 074 OK\r\n\r\nbody"}, Close, ErrBadReply, BadReplyNoStatus, 0, ""},
    {"EmptyStatus", {"HTTP/1.0 \r\n\r\n"}, Close, ErrBadReply, BadReplyNoStatus, 0, ""},
    {"OtherProtocol", {"ICY 200 OK\r\n\r\nbody"}, Close, ErrBadReply, BadReplyNoStatus, 0, ""},
    {"NulInAHeaderLine", {QByteArray("HTTP/1.0 200 OK\r\nX-A: a\0b\r\n\r\nbody", 32)}, Close, ErrBadReply,
     "Bad reply from the server: NUL byte in the header", 200, ""},
    {"NegativeLength", {Ok + "Content-Length: -5\r\n\r\nbody"}, Close, ErrBadReply, BadLength, 200, ""},
    {"SignedLength", {Ok + "Content-Length: +4\r\n\r\nbody"}, Close, ErrBadReply, BadLength, 200, ""},
    {"HexLength", {Ok + "Content-Length: 0x4\r\n\r\nbody"}, Close, ErrBadReply, BadLength, 200, ""},
    {"WordLength", {Ok + "Content-Length: twelve\r\n\r\nbody"}, Close, ErrBadReply, BadLength, 200, ""},
    {"EmptyLength", {Ok + "Content-Length:\r\n\r\nbody"}, Close, ErrBadReply, BadLength, 200, ""},
    {"OverflowingLength", {Ok + "Content-Length: 9223372036854775808\r\n\r\nbody"}, Close, ErrBadReply, BadLength, 200,
     ""},
    {"ConflictingLengths", {Ok + "Content-Length: 4\r\nContent-Length: 5\r\n\r\nbody"}, Close, ErrBadReply,
     "Bad reply from the server: conflicting Content-Length values", 200, ""},
    {"UnknownTransferCoding", {Ok + "Transfer-Encoding: gzip, chunked\r\n\r\nbody"}, Close, ErrBadReply,
     "Bad reply from the server: unsupported Transfer-Encoding", 200, ""},
    {"ChunkSizeNotHex", {Ok + "Transfer-Encoding: chunked\r\n\r\nzz\r\nhello\r\n0\r\n\r\n"}, Close, ErrBadReply,
     "Bad reply from the server: bad chunk size", 200, ""},
    {"ChunkSizeTooLarge", {Ok + "Transfer-Encoding: chunked\r\n\r\n1000000000000000\r\nx"}, Close, ErrBadReply,
     "Bad reply from the server: chunk size too large", 200, ""},
    {"ChunkDataOverruns", {Ok + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello world\r\n0\r\n\r\n"}, Close, ErrBadReply,
     "Bad reply from the server: no line end after chunk data", 200, "hello"},
    {"HeaderLineTooLong", {Ok + HeaderLineOf(65537) + "\r\nbody"}, Hold, ErrLineTooLong, "HTTP line too long", 200,
     ""},
    {"ReplyWithoutLineEnd", {QByteArray(65536, 'A')}, Hold, ErrLineTooLong, "HTTP line too long", 0, ""},
    {"HeaderLineWithoutColon", {Ok + "X-A: 1\r\nno colon here\r\n\r\nbody"}, Close, ErrBadReply,
     "Bad reply from the server: header line without a colon", 200, ""},
    {"FoldedHeaderLine", {Ok + "X-A: 1\r\n continued: 2\r\n\r\nbody"}, Close, ErrBadReply,
     "Bad reply from the server: folded header line", 200, ""},
    {"FoldedWithATab", {Ok + "Content-Length: 4\r\n\t0\r\n\r\nbody"}, Close, ErrBadReply,
     "Bad reply from the server: folded header line", 200, ""},
    {"TooManyHeaderLines", {Ok + QByteArray("X: y\r\n").repeated(1000) + "\r\nbody"}, Hold, ErrHeaderTooLarge,
     "Header too large", 200, ""},
    {"HeaderTooLargeInAll", {Ok + ("X-Big: " + QByteArray(7000, 'b') + "\r\n").repeated(40) + "\r\nbody"}, Hold,
     ErrHeaderTooLarge, "Header too large", 200, ""},
    {"InterimRepliesCountTowardsTheBound",
     {QByteArray("HTTP/1.1 100 Continue\r\n" + QByteArray("X: y\r\n").repeated(600) + "\r\n").repeated(2) + Ok +
      "\r\nbody"},
     Hold, ErrHeaderTooLarge, "Header too large", 100, ""},

    // Location redirects only in a redirect status, and only once the header has ended.
    {"RedirectFollowed", {Moved + ToMoved + "\r\n"}, Close, 0, "OK", 200, "moved", RequestGet, 0, 0, 1},
    {"SameLocationTwiceIsOne", {"HTTP/1.0 308 Permanent Redirect\r\n" + ToMoved + ToMoved + "\r\n"}, Close, 0,
     "OK", 200, "moved", RequestGet, 0, 0, 1},
    {"ConflictingLocations", {"HTTP/1.0 302 Found\r\n" + ToMoved + "Location: /elsewhere\r\n\r\n"}, Close,
     ErrBadReply, "Bad reply from the server: conflicting Location values", 302, ""},
    {"LocationInAnOkReply", {Ok + ToMoved + "Content-Length: 4\r\n\r\nstay"}, Close, 0, "OK", 200, "stay"},
    {"LocationInContinue",
     {"HTTP/1.1 100 Continue\r\n" + ToMoved + "\r\n", Ok + "Content-Length: 4\r\n\r\nstay"}, Close, 0, "OK",
     200, "stay"},
    {"LocationInProcessing",
     {"HTTP/1.1 102 Processing\r\nLocation: http://127.0.0.1:1/\r\n\r\n" + Ok + "Content-Length: 4\r\n\r\nstay"},
     Close, 0, "OK", 200, "stay"},
    {"InterimThenRedirect",
     {"HTTP/1.1 100 Continue\r\nLocation: /elsewhere\r\n\r\nHTTP/1.1 302 Found\r\n" + ToMoved + "\r\n"}, Close, 0,
     "OK", 200, "moved", RequestGet, 0, 0, 1},
    {"LocationInNotModified", {"HTTP/1.0 304 Not Modified\r\n" + ToMoved + "\r\n"}, Hold, 0, "Not Modified", 304,
     ""},

    // Limits the caller set.
    {"AnnouncedLengthOverTheLimit", {Ok + "Content-Length: 100\r\n\r\n"}, Hold, ErrBodyTooLarge,
     "Reply larger than 50 bytes", 200, "", RequestGet, 50},
    {"BodyOverTheLimit", {Ok + "\r\n" + QByteArray(100, 'x')}, Hold, ErrBodyTooLarge, "Reply larger than 50 bytes",
     200, "", RequestGet, 50},
    {"BodyAtTheLimit", {Ok + "Content-Length: 50\r\n\r\n" + QByteArray(50, 'x')}, Hold, 0, "OK", 200,
     QByteArray(50, 'x'), RequestGet, 50},
    {"HeldPastTheDeadline", {Ok}, Hold, ErrDeadline, "No complete reply within 1 seconds", 200, "", RequestGet, 0, 1},
};
// clang-format on

class HttpReplyEnding : public ::testing::TestWithParam<TReplyRow> {};

TEST_P(HttpReplyEnding, EndsAsTheReplyDeserves)
{
    const TReplyRow &row = GetParam();
    TScriptedServer server(
        [&](TPeer &peer, int index) {
            const QByteArray request = peer.ReadUntil("\r\n\r\n");
            if (index > 0) {
                peer.Write(request.startsWith("GET /moved HTTP/1.0\r\n")
                               ? QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nmoved")
                               : QByteArray("HTTP/1.0 404 Not Found\r\n\r\n"));
                return;
            }
            if (!row.Parts.empty())
                peer.WriteSplit(row.Parts);
            if (row.Ending == Reset) {
                // Bytes that arrived before the reset are the client's to read either way;
                // the pause lets them go out first.
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                peer.Reset();
            } else if (row.Ending == Hold)
                peer.WaitClosed(20000);
        },
        TScriptedServer::Unlimited);
    THttpCli client;
    THttpProbe probe(client);
    QBuffer saved;
    saved.open(QIODevice::WriteOnly);
    client.SetReceiveStream(&saved);
    client.SetTimeout(30);
    client.SetMaxBodySize(row.MaxBody);
    client.SetDeadline(row.Deadline);
    client.SetURL(QStringLiteral("http://127.0.0.1:%1/file.bin").arg(server.Port()));
    client.StartRequest(row.Request);
    // A held connection must end with the reply, long before the client's own timeout.
    ASSERT_TRUE(WaitUntil([&] { return probe.Finished(); }, 10000));
    EXPECT_EQ(probe.DoneError, row.Error);
    EXPECT_EQ(client.RequestDoneError(), row.Error);
    EXPECT_EQ(client.ReasonPhrase(), QString::fromLatin1(row.Reason));
    EXPECT_EQ(client.StatusCode(), row.Status);
    EXPECT_EQ(saved.data(), row.Body);
    EXPECT_EQ(client.ReceivedCount(), row.Body.size());
    EXPECT_EQ(probe.Done, 1);
    ExpectOneDonePerIdle(probe);
    ASSERT_TRUE(WaitUntil([&] { return server.Completed() == server.Accepted(); }));
    EXPECT_EQ(server.Accepted(), 1 + row.Followed);
    EXPECT_TRUE(server.Errors().isEmpty()) << server.Errors().join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Rows, HttpReplyEnding, ::testing::ValuesIn(ReplyRows),
                         [](const ::testing::TestParamInfo<TReplyRow> &info) { return std::string(info.param.Name); });

} // namespace

TEST(HttpReplyEnding, InterimRepliesLeaveOnlyTheFinalHeader)
{
    TScriptedServer server([&](TPeer &peer, int) {
        peer.ReadUntil("\r\n\r\n");
        peer.Write("HTTP/1.1 100 Continue\r\nX-Interim: 1\r\n\r\nHTTP/1.1 102 Processing\r\n\r\n"
                   "HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok");
        peer.WaitClosed();
    });
    THttpCli client;
    THttpProbe probe(client);
    client.SetURL(QStringLiteral("http://127.0.0.1:%1/").arg(server.Port()));
    client.StartGet();
    ASSERT_TRUE(WaitUntil([&] { return probe.Finished(); }));
    EXPECT_EQ(client.ReceivedHeader(), (QStringList{"HTTP/1.0 200 OK", "Content-Length: 2"}));
    EXPECT_EQ(client.ContentLength(), 2);
    EXPECT_EQ(probe.Body, "ok");
}
