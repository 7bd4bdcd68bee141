#include "support/EventWait.h"
#include "support/QtPrinting.h"
#include "support/ScriptedServer.h"

#include "HttpProbe.h"
#include "net/HttpProt.h"

#include <gtest/gtest.h>

// What the client refuses to put on the wire, and where credentials may go.

namespace {

QString Local(quint16 port, const QString &rest)
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port).arg(rest);
}

struct TRefusedUrlRow {
    const char *Name;
    // "%PORT%" stands for the listening server's port.
    QString Url;
    const char *Reason;
};

void PrintTo(const TRefusedUrlRow &row, std::ostream *os)
{
    *os << row.Name;
}

const TRefusedUrlRow RefusedUrlRows[] = {
    {"HeaderInjectedWithCrLf", QStringLiteral("http://127.0.0.1:%PORT%/a\r\nX-Injected: yes"),
     "URL holds a control character"},
    {"BareCarriageReturn", QStringLiteral("http://127.0.0.1:%PORT%/a\rb"), "URL holds a control character"},
    {"LineFeedAlone", QStringLiteral("http://127.0.0.1:%PORT%/a\nb"), "URL holds a control character"},
    {"NulByte", QStringLiteral("http://127.0.0.1:%PORT%/a") + QChar(0) + QStringLiteral("b"),
     "URL holds a control character"},
    {"Tab", QStringLiteral("http://127.0.0.1:%PORT%/a\tb"), "URL holds a control character"},
    {"Delete", QStringLiteral("http://127.0.0.1:%PORT%/a\x7f"), "URL holds a control character"},
    {"File", QStringLiteral("file:///etc/passwd"), "file is not supported"},
    {"Ftp", QStringLiteral("ftp://127.0.0.1:%PORT%/"), "ftp is not supported"},
    {"GopherInCapitals", QStringLiteral("GOPHER://127.0.0.1:%PORT%/"), "gopher is not supported"},
    {"PortZero", QStringLiteral("http://127.0.0.1:0/"), "Bad port in URL: 0"},
    {"PortAboveTheRange", QStringLiteral("http://127.0.0.1:65536/"), "Bad port in URL: 65536"},
    {"PortThatWouldWrap", QStringLiteral("http://127.0.0.1:84536/"), "Bad port in URL: 84536"},
    {"PortWithALetter", QStringLiteral("http://127.0.0.1:8a/"), "Bad port in URL: 8a"},
    {"SignedPort", QStringLiteral("http://127.0.0.1:+80/"), "Bad port in URL: +80"},
    {"BlankInTheHost", QStringLiteral("http://127.0.0.1 x:%PORT%/"), "Bad host name in URL: 127.0.0.1 x"},
};

class HttpRefusedUrl : public ::testing::TestWithParam<TRefusedUrlRow> {};

TEST_P(HttpRefusedUrl, EndsThroughTheDoneEventWithNothingSent)
{
    const TRefusedUrlRow &row = GetParam();
    TScriptedServer server([](TPeer &peer, int) { peer.ReadToEnd(2000); });
    THttpCli client;
    THttpProbe probe(client);
    client.SetURL(QString(row.Url).replace(QStringLiteral("%PORT%"), server.PortText()));
    EXPECT_NO_THROW(client.StartGet());
    ASSERT_TRUE(WaitUntil([&] { return probe.Finished(); }));
    EXPECT_EQ(probe.DoneError, ErrUrlRefused);
    EXPECT_EQ(client.ReasonPhrase(), QString::fromLatin1(row.Reason));
    EXPECT_EQ(client.StatusCode(), 0);
    EXPECT_EQ(probe.Done, 1);
    ExpectOneDonePerIdle(probe);
    DrainEvents(20);
    EXPECT_EQ(server.Accepted(), 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, HttpRefusedUrl, ::testing::ValuesIn(RefusedUrlRows),
                         [](const ::testing::TestParamInfo<TRefusedUrlRow> &info) {
                             return std::string(info.param.Name);
                         });

struct TRefusedLocationRow {
    const char *Name;
    // "%OTHER%" stands for the port of a second server that must never be reached.
    QByteArray Location;
    const char *Reason;
};

void PrintTo(const TRefusedLocationRow &row, std::ostream *os)
{
    *os << row.Name;
}

const TRefusedLocationRow RefusedLocationRows[] = {
    {"BareCarriageReturn", "/a\rX-Injected: yes", "Redirect refused: URL holds a control character"},
    {"File", "file:///etc/passwd", "Redirect refused: file is not supported"},
    {"PortThatWouldWrap", "http://127.0.0.1:84536/", "Redirect refused: Bad port in URL: 84536"},
    {"PortZero", "http://127.0.0.1:0/x", "Redirect refused: Bad port in URL: 0"},
    {"Mailto", "mailto:someone@example.com", "Redirect refused: mailto is not supported"},
};

class HttpRefusedLocation : public ::testing::TestWithParam<TRefusedLocationRow> {};

TEST_P(HttpRefusedLocation, IsNotFollowed)
{
    const TRefusedLocationRow &row = GetParam();
    TScriptedServer other([](TPeer &peer, int) { peer.ReadToEnd(2000); });
    TScriptedServer server([&](TPeer &peer, int) {
        peer.ReadUntil("\r\n\r\n");
        QByteArray location = row.Location;
        location.replace("%OTHER%", other.PortText().toLatin1());
        peer.Write("HTTP/1.0 302 Found\r\nLocation: " + location + "\r\n\r\n");
        peer.WaitClosed();
    });
    THttpCli client;
    THttpProbe probe(client);
    client.SetURL(Local(server.Port(), QStringLiteral("/start")));
    client.StartGet();
    ASSERT_TRUE(WaitUntil([&] { return probe.Finished(); }));
    EXPECT_EQ(probe.DoneError, ErrUrlRefused);
    EXPECT_EQ(client.ReasonPhrase(), QString::fromLatin1(row.Reason));
    EXPECT_EQ(client.StatusCode(), 302);
    EXPECT_EQ(client.RedirectCount(), 0);
    ASSERT_TRUE(WaitUntil([&] { return server.Finished(); }));
    EXPECT_EQ(server.Accepted(), 1);
    EXPECT_EQ(other.Accepted(), 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, HttpRefusedLocation, ::testing::ValuesIn(RefusedLocationRows),
                         [](const ::testing::TestParamInfo<TRefusedLocationRow> &info) {
                             return std::string(info.param.Name);
                         });

} // namespace

TEST(HttpCli, BlanksAndNonAsciiGoPercentEncoded)
{
    QByteArray request;
    TScriptedServer server([&](TPeer &peer, int) {
        request = peer.ReadUntil("\r\n\r\n");
        peer.Write("HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n");
        peer.WaitClosed();
    });
    THttpCli client;
    THttpProbe probe(client);
    client.SetURL(Local(server.Port(), QStringLiteral("/a b/\u00fc.htm?q=\u00e4&r=%41")));
    client.StartGet();
    ASSERT_TRUE(WaitUntil([&] { return probe.Finished() && server.Finished(); }));
    EXPECT_EQ(probe.DoneError, 0);
    EXPECT_TRUE(request.startsWith("GET /a%20b/%C3%BC.htm?q=%C3%A4&r=%41 HTTP/1.0\r\n")) << request.toStdString();
}

namespace {

struct TCredentialRow {
    const char *Name;
    bool InUrl;
    // Where the redirect goes: the same origin, another port on the same host, or a
    // name for the same address (another origin all the same).
    enum { SameOrigin, OtherPort, OtherName } Target;
    bool SecondSeesCredentials;
};

void PrintTo(const TCredentialRow &row, std::ostream *os)
{
    *os << row.Name;
}

const TCredentialRow CredentialRows[] = {
    {"PropertiesFollowTheSameOrigin", false, TCredentialRow::SameOrigin, true},
    {"PropertiesStayOffAnotherPort", false, TCredentialRow::OtherPort, false},
    {"PropertiesStayOffAnotherName", false, TCredentialRow::OtherName, false},
    {"UrlCredentialsFollowTheSameOrigin", true, TCredentialRow::SameOrigin, true},
    {"UrlCredentialsStayOffAnotherPort", true, TCredentialRow::OtherPort, false},
};

class HttpCredentials : public ::testing::TestWithParam<TCredentialRow> {};

TEST_P(HttpCredentials, GoOnlyToTheirOrigin)
{
    const TCredentialRow &row = GetParam();
    QList<QByteArray> seenByFirst;
    QByteArray seenByOther;
    TScriptedServer other([&](TPeer &peer, int) {
        seenByOther = peer.ReadUntil("\r\n\r\n");
        peer.Write("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nother");
        peer.WaitClosed();
    });
    const bool sameOrigin = row.Target == TCredentialRow::SameOrigin;
    TScriptedServer first(
        [&](TPeer &peer, int index) {
            seenByFirst << peer.ReadUntil("\r\n\r\n");
            if (index == 1) {
                peer.Write("HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nsame");
            } else {
                QByteArray location = "/next";
                if (row.Target == TCredentialRow::OtherPort)
                    location = "http://127.0.0.1:" + other.PortText().toLatin1() + "/next";
                else if (row.Target == TCredentialRow::OtherName)
                    location = "http://localhost:" + other.PortText().toLatin1() + "/next";
                peer.Write("HTTP/1.0 302 Found\r\nLocation: " + location + "\r\n\r\n");
            }
            peer.WaitClosed();
        },
        sameOrigin ? 2 : 1);
    THttpCli client;
    THttpProbe probe(client);
    if (row.InUrl) {
        client.SetURL(QStringLiteral("http://ann:pw@127.0.0.1:%1/start").arg(first.Port()));
    } else {
        client.SetUsername(QStringLiteral("ann"));
        client.SetPassword(QStringLiteral("pw"));
        client.SetURL(Local(first.Port(), QStringLiteral("/start")));
    }
    client.StartGet();
    ASSERT_TRUE(WaitUntil([&] { return probe.Finished() && first.Finished(); }));
    EXPECT_EQ(probe.DoneError, 0) << client.ReasonPhrase().toStdString();
    const QByteArray authorization = "\r\nAuthorization: Basic YW5uOnB3\r\n";
    ASSERT_FALSE(seenByFirst.isEmpty());
    EXPECT_TRUE(seenByFirst[0].contains(authorization)) << seenByFirst[0].toStdString();
    const QByteArray second = sameOrigin ? seenByFirst.value(1) : seenByOther;
    ASSERT_FALSE(second.isEmpty());
    EXPECT_EQ(second.contains("Authorization:"), row.SecondSeesCredentials) << second.toStdString();

    if (row.InUrl) {
        // The URL's credentials were for that request alone.
        EXPECT_TRUE(client.Username().isEmpty());
        EXPECT_TRUE(client.Password().isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, HttpCredentials, ::testing::ValuesIn(CredentialRows),
                         [](const ::testing::TestParamInfo<TCredentialRow> &info) {
                             return std::string(info.param.Name);
                         });

} // namespace
