#include "NetTestUtil.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

struct TRun {
    int ExitCode = -1;
    QByteArray Out;
    QString Err;
};

QString FetchBinary()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/tallowmere-fetch");
}

TRun RunFetch(const QStringList &arguments)
{
    QProcess process;
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

#define REQUIRE_FETCH_TOOL()                                                                                    \
    do {                                                                                                        \
        if (!QFileInfo(FetchBinary()).isExecutable()) {                                                         \
            if (qEnvironmentVariableIsSet("CI"))                                                                \
                FAIL() << "tallowmere-fetch is not built beside the test program";                               \
            GTEST_SKIP() << "tallowmere-fetch is not built; build the tallowmere-fetch target to run this test"; \
        }                                                                                                       \
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

    const TRun missing = RunFetch({QStringLiteral("-o"), dir.filePath(QStringLiteral("c.txt")), base + QStringLiteral("/c")});
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_TRUE(missing.Err.contains(QStringLiteral("Not Found (status 404)"))) << missing.Err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("c.txt"))));

    ASSERT_TRUE(WaitUntil([&] { return server.Finished(); }));
    EXPECT_TRUE(request.contains("\r\nAuthorization: Basic YW5uOnB3\r\n")) << request.toStdString();
    EXPECT_TRUE(server.Errors().isEmpty()) << server.Errors().join('\n').toStdString();

    const TRun refused = RunFetch({QStringLiteral("http://127.0.0.1:%1/").arg(FreeLoopbackPort())});
    EXPECT_EQ(refused.ExitCode, 1);
    EXPECT_TRUE(refused.Err.contains(QStringLiteral("Connection refused (Error #10061)"))) << refused.Err.toStdString();

    EXPECT_EQ(RunFetch({}).ExitCode, 2);
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
                                    QStringLiteral("--proxy-user"), QStringLiteral("u"), QStringLiteral("--proxy-password"),
                                    QStringLiteral("p"), QStringLiteral("http://www.example.com/x.htm")});
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
                                    QStringLiteral("--socks-user"), QStringLiteral("bob"), QStringLiteral("--socks-password"),
                                    QStringLiteral("secret"), QStringLiteral("http://127.0.0.1:80/s.htm")});
    EXPECT_EQ(viaSocks.ExitCode, 0) << viaSocks.Err.toStdString();
    EXPECT_EQ(viaSocks.Out, "through socks");
    ASSERT_TRUE(WaitUntil([&] { return socks.Finished(); }));
    EXPECT_TRUE(socks.Errors().isEmpty()) << socks.Errors().join('\n').toStdString();
    EXPECT_EQ(auth, Bytes({1, 3}) + "bob" + Bytes({6}) + "secret");
    EXPECT_EQ(connect, Bytes({5, 1, 0, 3, 9}) + "127.0.0.1" + Bytes({0, 80}));
    EXPECT_TRUE(httpRequest.startsWith("GET /s.htm HTTP/1.0\r\n"));
}
