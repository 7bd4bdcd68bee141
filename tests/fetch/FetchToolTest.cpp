#include "support/Bytes.h"
#include "support/EventWait.h"
#include "support/QtPrinting.h"
#include "support/ScriptedServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

struct TRun {
    int ExitCode = -1;
    QByteArray Out;
    QString Err;
};

QString FetchBinary()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/tallowmere-fetch");
}

// Runs the tool; setup may redirect its output or limit the child before it starts.
TRun RunFetch(const QStringList &arguments, const std::function<void(QProcess &)> &setup = {})
{
    QProcess process;
    if (setup)
        setup(process);
    process.start(FetchBinary(), arguments);
    TRun run;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(5000);
        run.Err = QStringLiteral("(did not finish)");
        return run;
    }
    run.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.Out = process.readAllStandardOutput();
    run.Err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

#define REQUIRE_FETCH_TOOL()                                                                                           \
    do {                                                                                                               \
        if (!QFileInfo(FetchBinary()).isExecutable()) {                                                                \
            if (qEnvironmentVariableIsSet("CI"))                                                                       \
                FAIL() << "tallowmere-fetch is not built beside the test program";                                     \
            GTEST_SKIP() << "tallowmere-fetch is not built; build the tallowmere-fetch target to run this test";       \
        }                                                                                                              \
    } while (0)

} // namespace

TEST(FetchTool, WritesTheBodyAndReportsTheOutcome)
{
    REQUIRE_FETCH_TOOL();
    QByteArray request;
    TScriptedServer server(
        [&](TPeer &peer, int index) {
            const QByteArray text = peer.ReadUntil("\r\n\r\n");
            if (index == 0) {
                request = text;
                peer.Write("HTTP/1.0 200 OK\r\nContent-Length: 11\r\n\r\nhello world");
            } else if (index == 1) {
                peer.Write("HTTP/1.0 200 OK\r\n\r\n" + QByteArray(100000, 'x'));
            } else {
                peer.Write("HTTP/1.0 404 Not Found\r\n\r\n");
            }
        },
        3);
    QTemporaryDir dir;
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(server.Port());

    const TRun first = RunFetch({QStringLiteral("--user"), QStringLiteral("ann"), QStringLiteral("--password"),
                                 QStringLiteral("pw"), QStringLiteral("-o"), dir.filePath(QStringLiteral("a.txt")),
                                 base + QStringLiteral("/a.txt")});
    EXPECT_EQ(first.ExitCode, 0) << first.Err.toStdString();
    EXPECT_TRUE(first.Err.contains(QStringLiteral("HTTP/1.0 200 OK")));
    QFile saved(dir.filePath(QStringLiteral("a.txt")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "hello world");

    const TRun second = RunFetch({QStringLiteral("-q"), base + QStringLiteral("/b")});
    EXPECT_EQ(second.ExitCode, 0) << second.Err.toStdString();
    EXPECT_EQ(second.Out, QByteArray(100000, 'x'));
    EXPECT_TRUE(second.Err.isEmpty()) << second.Err.toStdString();

    const TRun missing = RunFetch(
        {QStringLiteral("-o"), dir.filePath(QStringLiteral("c.txt")), base + QStringLiteral("/c")});
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_TRUE(missing.Err.contains(QStringLiteral("Not Found (status 404)"))) << missing.Err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("c.txt"))));

    ASSERT_TRUE(WaitUntil([&] { return server.Finished(); }));
    EXPECT_TRUE(request.contains("\r\nAuthorization: Basic YW5uOnB3\r\n")) << request.toStdString();
    EXPECT_TRUE(server.Errors().isEmpty()) << server.Errors().join('\n').toStdString();

    const TRun refused = RunFetch({QStringLiteral("http://127.0.0.1:%1/").arg(FreeLoopbackPort())});
    EXPECT_EQ(refused.ExitCode, 1);
    EXPECT_TRUE(refused.Err.contains(QStringLiteral("Connection refused (Error #10061)"))) << refused.Err.toStdString();

    // A port the socket cannot use is named as such, never "No Error".
    const TRun badPort = RunFetch({QStringLiteral("http://127.0.0.1:nonsense/")});
    EXPECT_EQ(badPort.ExitCode, 1);
    EXPECT_FALSE(badPort.Err.contains(QStringLiteral("No Error"))) << badPort.Err.toStdString();
    EXPECT_FALSE(badPort.Err.contains(QStringLiteral("Error #0"))) << badPort.Err.toStdString();

    EXPECT_EQ(RunFetch({}).ExitCode, 2);
    EXPECT_EQ(RunFetch({QStringLiteral("--timeout"), QStringLiteral("3000000"), base}).ExitCode, 2);
    EXPECT_EQ(RunFetch({QStringLiteral("--proxy"), QStringLiteral("127.0.0.1:84536"), base}).ExitCode, 2);
    EXPECT_EQ(RunFetch({QStringLiteral("--proxy"), QStringLiteral("127.0.0.1:8a"), base}).ExitCode, 2);
    EXPECT_EQ(RunFetch({QStringLiteral("--socks-level"), QStringLiteral("6"), base}).ExitCode, 2);
    EXPECT_EQ(RunFetch({QStringLiteral("--socks"), QStringLiteral("nohost"), base}).ExitCode, 2);
    EXPECT_EQ(RunFetch({QStringLiteral("--bogus"), base}).ExitCode, 2);
}

TEST(FetchTool, GoesThroughAnHttpProxyOrASocksServer)
{
    REQUIRE_FETCH_TOOL();
    QByteArray proxyRequest;
    TScriptedServer proxy([&](TPeer &peer, int) {
        proxyRequest = peer.ReadUntil("\r\n\r\n");
        peer.Write("HTTP/1.0 200 OK\r\n\r\nfrom the proxy");
    });
    const TRun viaProxy = RunFetch({QStringLiteral("--proxy"), QStringLiteral("127.0.0.1:%1").arg(proxy.Port()),
                                    QStringLiteral("--proxy-user"), QStringLiteral("u"),
                                    QStringLiteral("--proxy-password"), QStringLiteral("p"),
                                    QStringLiteral("http://www.example.com/x.htm")});
    EXPECT_EQ(viaProxy.ExitCode, 0) << viaProxy.Err.toStdString();
    EXPECT_EQ(viaProxy.Out, "from the proxy");
    ASSERT_TRUE(WaitUntil([&] { return proxy.Finished(); }));
    EXPECT_TRUE(proxyRequest.startsWith("GET http://www.example.com/x.htm HTTP/1.0\r\n")) << proxyRequest.toStdString();
    EXPECT_TRUE(proxyRequest.contains("\r\nHost: www.example.com\r\n"));
    EXPECT_TRUE(proxyRequest.contains("\r\nProxy-Authorization: Basic dTpw\r\n"));

    // The SOCKS server here answers the negotiation and then plays the web server.
    QByteArray auth;
    QByteArray connect;
    QByteArray httpRequest;
    TScriptedServer socks([&](TPeer &peer, int) {
        if (peer.Read(3) != Bytes({5, 1, 2}))
            throw std::runtime_error("bad method request");
        peer.Write(Bytes({5, 2}));
        auth = peer.Read(1 + 1 + 3 + 1 + 6);
        peer.Write(Bytes({1, 0}));
        connect = peer.Read(4 + 1 + 9 + 2);
        peer.Write(Bytes({5, 0, 0, 1, 127, 0, 0, 1, 0, 80}));
        httpRequest = peer.ReadUntil("\r\n\r\n");
        peer.Write("HTTP/1.0 200 OK\r\n\r\nthrough socks");
    });
    const TRun viaSocks = RunFetch({QStringLiteral("--socks"), QStringLiteral("127.0.0.1:%1").arg(socks.Port()),
                                    QStringLiteral("--socks-user"), QStringLiteral("bob"),
                                    QStringLiteral("--socks-password"), QStringLiteral("secret"),
                                    QStringLiteral("http://127.0.0.1:80/s.htm")});
    EXPECT_EQ(viaSocks.ExitCode, 0) << viaSocks.Err.toStdString();
    EXPECT_EQ(viaSocks.Out, "through socks");
    ASSERT_TRUE(WaitUntil([&] { return socks.Finished(); }));
    EXPECT_TRUE(socks.Errors().isEmpty()) << socks.Errors().join('\n').toStdString();
    EXPECT_EQ(auth, Bytes({1, 3}) + "bob" + Bytes({6}) + "secret");
    EXPECT_EQ(connect, Bytes({5, 1, 0, 3, 9}) + "127.0.0.1" + Bytes({0, 80}));
    EXPECT_TRUE(httpRequest.startsWith("GET /s.htm HTTP/1.0\r\n"));
}

namespace {

enum TServerEnding { CloseAfter, ResetAfter, HoldAfter };

struct TFetchRow {
    const char *Name;
    QByteArray Reply;
    TServerEnding Ending;
    int ExitCode;
    const char *ErrContains;
    // What FILE holds afterwards: the body on success, the old content otherwise.
    QByteArray FileAfter;
};

void PrintTo(const TFetchRow &row, std::ostream *os)
{
    *os << row.Name;
}

const QByteArray OldContent = "what the user had before";

const TFetchRow FetchRows[] = {
    {"Complete", "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello", CloseAfter, 0, "HTTP/1.0 200 OK", "hello"},
    {"KeepAliveCompleteAtLength", "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nhello", HoldAfter, 0, "HTTP/1.0 200 OK",
     "hello"},
    {"ChunkedSavedWithoutFraming",
     "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n6\r\nhello \r\n5\r\nworld\r\n0\r\n\r\n", HoldAfter, 0,
     "HTTP/1.1 200 OK", "hello world"},
    {"TruncatedBody", "HTTP/1.0 200 OK\r\nContent-Length: 1000\r\n\r\n0123456789", CloseAfter, 1,
     "Connection closed after 10 of 1000 bytes", OldContent},
    {"ResetInTheBody", "HTTP/1.0 200 OK\r\n\r\n0123456789", ResetAfter, 1, "Connection reset by peer", OldContent},
    {"EmptyReply", "", CloseAfter, 1, "Empty reply from the server", OldContent},
    {"CloseInTheHeader", "HTTP/1.0 200 OK\r\nContent-", CloseAfter, 1, "before the reply header was complete",
     OldContent},
    {"NulInTheHeader", QByteArray("HTTP/1.0 200 OK\r\nX: \0\r\n\r\nbody", 28), CloseAfter, 1, "NUL byte", OldContent},
    {"DollarStatus", "HTTP/1.0 $C8 OK\r\n\r\nbody", CloseAfter, 1, "no status line", OldContent},
    {"NegativeLength", "HTTP/1.0 200 OK\r\nContent-Length: -5\r\n\r\nbody", CloseAfter, 1, "bad Content-Length",
     OldContent},
    {"ServerError", "HTTP/1.0 500 Internal Server Error\r\n\r\n", CloseAfter, 1, "(status 500)", OldContent},
    // A server's control bytes reach the terminal as text, tab excepted.
    {"EscapesInTheStatusLine",
     "HTTP/1.0 200 \x1b[2J\x9b"
     "1m\tO\x7fK\rX\r\nContent-Length: 2\r\n\r\nok",
     CloseAfter, 0, "HTTP/1.0 200 \\x1B[2J\\x9B1m\tO\\x7FK\\x0DX\n", "ok"},
    {"EscapesInTheReason", "HTTP/1.0 500 \x1b]0;owned\x07\r\n\r\n", CloseAfter, 1,
     "tallowmere-fetch: \\x1B]0;owned\\x07 (status 500)\n", OldContent},
};

class FetchToolEnding : public ::testing::TestWithParam<TFetchRow> {};

TEST_P(FetchToolEnding, ExitsZeroOnlyForACompleteReplySavedWhole)
{
    REQUIRE_FETCH_TOOL();
    const TFetchRow &row = GetParam();
    TScriptedServer server([&](TPeer &peer, int) {
        peer.ReadUntil("\r\n\r\n");
        peer.Write(row.Reply);
        if (row.Ending == ResetAfter)
            peer.Reset();
        else if (row.Ending == HoldAfter)
            peer.WaitClosed(20000);
    });
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("saved.bin"));
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(OldContent);
    old.close();

    const TRun run = RunFetch({QStringLiteral("-o"), target, QStringLiteral("--timeout"), QStringLiteral("60"),
                               QStringLiteral("http://127.0.0.1:%1/f").arg(server.Port())});
    EXPECT_EQ(run.ExitCode, row.ExitCode) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.contains(QLatin1String(row.ErrContains))) << run.Err.toStdString();
    for (const QChar c : run.Err)
        EXPECT_TRUE(c == QLatin1Char('\n') || c == QLatin1Char('\t') || (c >= QLatin1Char(' ') && c.unicode() < 0x7F))
            << "control byte " << int(c.unicode()) << " in " << run.Err.toStdString();
    QFile after(target);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), row.FileAfter);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("saved.bin")});
    ASSERT_TRUE(WaitUntil([&] { return server.Finished(); }));
}

INSTANTIATE_TEST_SUITE_P(Rows, FetchToolEnding, ::testing::ValuesIn(FetchRows),
                         [](const ::testing::TestParamInfo<TFetchRow> &info) { return std::string(info.param.Name); });

struct TWriteFailureRow {
    const char *Name;
    bool ToFile;
    const char *Reason;
};

void PrintTo(const TWriteFailureRow &row, std::ostream *os)
{
    *os << row.Name;
}

class FetchToolWriteFailure : public ::testing::TestWithParam<TWriteFailureRow> {};

// The system refuses the bytes: standard output on a full device (ENOSPC), or a file
// past the child's file size limit (EFBIG). Neither needs root.
TEST_P(FetchToolWriteFailure, EndsTheRequestWithTheSystemsReason)
{
    REQUIRE_FETCH_TOOL();
    const TWriteFailureRow &row = GetParam();
    TScriptedServer server([&](TPeer &peer, int) {
        peer.ReadUntil("\r\n\r\n");
        peer.Write("HTTP/1.0 200 OK\r\nContent-Length: 200000\r\n\r\n" + QByteArray(200000, 'x'));
        peer.WaitClosed();
    });
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("limited.bin"));
    QStringList arguments;
    if (row.ToFile)
        arguments << QStringLiteral("-o") << target;
    arguments << QStringLiteral("http://127.0.0.1:%1/f").arg(server.Port());
    const TRun run = RunFetch(arguments, [&](QProcess &process) {
        if (!row.ToFile) {
            process.setStandardOutputFile(QStringLiteral("/dev/full"));
            return;
        }
        process.setChildProcessModifier([] {
            rlimit limit{50000, 50000};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
    });
    EXPECT_EQ(run.ExitCode, 1) << run.Err.toStdString();
    EXPECT_TRUE(run.Err.contains(QLatin1String(row.Reason))) << run.Err.toStdString();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    ASSERT_TRUE(WaitUntil([&] { return server.Finished(); }));
}

INSTANTIATE_TEST_SUITE_P(Rows, FetchToolWriteFailure,
                         ::testing::Values(TWriteFailureRow{"FullDevice", false, "No space left on device"},
                                           TWriteFailureRow{"FileSizeLimit", true, "File too large"}),
                         [](const ::testing::TestParamInfo<TWriteFailureRow> &info) {
                             return std::string(info.param.Name);
                         });

} // namespace

TEST(FetchTool, PrintsEachHopsStatusLine)
{
    REQUIRE_FETCH_TOOL();
    TScriptedServer server(
        [&](TPeer &peer, int index) {
            peer.ReadUntil("\r\n\r\n");
            if (index == 0)
                peer.Write("HTTP/1.0 302 Found\r\nLocation: /next\r\n\r\n");
            else
                peer.Write("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok");
        },
        2);
    const TRun run = RunFetch({QStringLiteral("http://127.0.0.1:%1/first").arg(server.Port())});
    EXPECT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Out, "ok");
    EXPECT_EQ(run.Err, QStringLiteral("HTTP/1.0 302 Found\nHTTP/1.0 200 OK\n"));
}

// The reader of the output goes away mid-body, as `tallowmere-fetch URL | head -c1` does.
TEST(FetchTool, AClosedOutputPipeEndsItWithItsReason)
{
    REQUIRE_FETCH_TOOL();
    const int size = 8 * 1024 * 1024;
    TScriptedServer server([&](TPeer &peer, int) {
        peer.ReadUntil("\r\n\r\n");
        peer.Write("HTTP/1.0 200 OK\r\nContent-Length: " + QByteArray::number(size) + "\r\n\r\n");
        try {
            peer.Write(QByteArray(size, 'x'));
        } catch (const std::exception &) {
            // The tool hung up on the rest, as it should.
        }
    });
    QTemporaryDir dir;
    const QString errors = dir.filePath(QStringLiteral("err.txt"));
    QProcess shell;
    shell.start(QStringLiteral("/bin/bash"),
                {QStringLiteral("-c"),
                 QStringLiteral("\"$0\" \"$1\" 2>\"$2\" | head -c1 >/dev/null; exit ${PIPESTATUS[0]}"), FetchBinary(),
                 QStringLiteral("http://127.0.0.1:%1/big").arg(server.Port()), errors});
    ASSERT_TRUE(shell.waitForFinished(30000));
    EXPECT_EQ(shell.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(shell.exitCode(), 1);
    QFile err(errors);
    ASSERT_TRUE(err.open(QIODevice::ReadOnly));
    EXPECT_EQ(err.readAll(), "HTTP/1.0 200 OK\ntallowmere-fetch: output closed\n");
    ASSERT_TRUE(WaitUntil([&] { return server.Finished(); }));
}

namespace {

struct TStopRow {
    const char *Name;
    int Signal;
    bool ToFile;
    int ExitCode;
};

void PrintTo(const TStopRow &row, std::ostream *os)
{
    *os << row.Name;
}

class FetchToolStopped : public ::testing::TestWithParam<TStopRow> {};

// Stopped in the middle of the body, the tool leaves the folder as it was: the old file
// untouched and no partial one beside it.
TEST_P(FetchToolStopped, LeavesNoPartialFileAndExitsWithTheSignalsCode)
{
    REQUIRE_FETCH_TOOL();
    const TStopRow &row = GetParam();
    TScriptedServer server([&](TPeer &peer, int) {
        peer.ReadUntil("\r\n\r\n");
        peer.Write("HTTP/1.0 200 OK\r\nContent-Length: 100000\r\n\r\n" + QByteArray(1000, 'x'));
        peer.WaitClosed(20000);
    });
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("saved.bin"));
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(OldContent);
    old.close();

    QProcess process;
    QStringList arguments;
    if (row.ToFile)
        arguments << QStringLiteral("-o") << target;
    arguments << QStringLiteral("http://127.0.0.1:%1/f").arg(server.Port());
    process.start(FetchBinary(), arguments);
    ASSERT_TRUE(process.waitForStarted());
    // The status line is printed as the header arrives; the body is under way then.
    QByteArray err;
    ASSERT_TRUE(WaitUntil(
        [&] {
            process.waitForReadyRead(50);
            err += process.readAllStandardError();
            return err.contains("HTTP/1.0 200 OK\n");
        },
        15000));
    ::kill(pid_t(process.processId()), row.Signal);
    ASSERT_TRUE(process.waitForFinished(15000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), row.ExitCode);
    QFile after(target);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), OldContent);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("saved.bin")});
    ASSERT_TRUE(WaitUntil([&] { return server.Finished(); }));
}

INSTANTIATE_TEST_SUITE_P(Rows, FetchToolStopped,
                         ::testing::Values(TStopRow{"InterruptedWhileSaving", SIGINT, true, 130},
                                           TStopRow{"TerminatedWhileSaving", SIGTERM, true, 143},
                                           TStopRow{"InterruptedWhileWritingOut", SIGINT, false, 130}),
                         [](const ::testing::TestParamInfo<TStopRow> &info) { return std::string(info.param.Name); });

} // namespace

// -H puts the line on the wire in place of the client's own; a refused one ends the tool
// with the client's reason and nothing sent; a line without a colon is a usage error.
TEST(FetchTool, SendsCallerHeadersAndRefusesHostileOnes)
{
    REQUIRE_FETCH_TOOL();
    QByteArray request;
    TScriptedServer server([&](TPeer &peer, int) {
        request = peer.ReadUntil("\r\n\r\n");
        peer.Write("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok");
    });
    const QString url = QStringLiteral("http://127.0.0.1:%1/h").arg(server.Port());
    const TRun good = RunFetch({QStringLiteral("-H"), QStringLiteral("X-Trace: 1"), QStringLiteral("-H"),
                                QStringLiteral("User-Agent: Probe/1"), url});
    EXPECT_EQ(good.ExitCode, 0) << good.Err.toStdString();
    ASSERT_TRUE(WaitUntil([&] { return server.Finished(); }));
    EXPECT_TRUE(request.endsWith("\r\nX-Trace: 1\r\nUser-Agent: Probe/1\r\n\r\n")) << request.toStdString();
    EXPECT_FALSE(request.contains("Mozilla")) << request.toStdString();

    const TRun host = RunFetch({QStringLiteral("-H"), QStringLiteral("Host: evil.example"), url});
    EXPECT_EQ(host.ExitCode, 1);
    EXPECT_TRUE(host.Err.contains(QStringLiteral("tallowmere-fetch: Header refused: Host (status 0, error 16)")))
        << host.Err.toStdString();
    const TRun injected = RunFetch({QStringLiteral("-H"), QStringLiteral("X-A: 1\r\nX-B: 2"), url});
    EXPECT_EQ(injected.ExitCode, 1);
    EXPECT_TRUE(injected.Err.contains(QStringLiteral("Header refused: X-A"))) << injected.Err.toStdString();
    const TRun noColon = RunFetch({QStringLiteral("-H"), QStringLiteral("X-A 1"), url});
    EXPECT_EQ(noColon.ExitCode, 2);
    EXPECT_TRUE(noColon.Err.contains(QStringLiteral("-H wants"))) << noColon.Err.toStdString();
    EXPECT_EQ(server.Accepted(), 1);
}
