#include "support/EventWait.h"
#include "support/ExternalServer.h"
#include "support/QtPrinting.h"

#include "net/WSocket.h"

#include <gtest/gtest.h>

namespace {

// Fetches a page from nginx through danted with the given SOCKS level and returns the
// whole response.
QByteArray FetchThroughDante(const TExternalServer &dante, const TExternalServer &web, const QString &level,
                             const QString &addr, QStringList *events)
{
    TWSocket client;
    QByteArray response;
    bool closed = false;
    client.OnSessionConnected = [&](QObject *, quint16 error) {
        *events << QStringLiteral("connected %1").arg(error);
        if (error == 0)
            client.SendText("GET /page.html HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
    };
    client.OnSocksError = [&](QObject *, int error, const QString &msg) {
        *events << QStringLiteral("socks-error %1 %2").arg(error).arg(msg);
    };
    client.OnDataAvailable = [&](QObject *, quint16) { response += client.ReceiveText(); };
    client.OnSessionClosed = [&](QObject *, quint16) { closed = true; };
    client.SetAddr(addr);
    client.SetPort(web.PortText());
    client.SetSocksServer(QStringLiteral("127.0.0.1"));
    client.SetSocksPort(dante.PortText());
    client.SetSocksLevel(level);
    client.Connect();
    WaitUntil([&] { return closed; }, 15000);
    return response;
}

} // namespace

TEST(SocksInterop, DanteRelaysToNginxWithSocks5And4)
{
    REQUIRE_EXTERNAL_SERVER(TExternalServer::Nginx);
    REQUIRE_EXTERNAL_SERVER(TExternalServer::Dante);
    TExternalServer web(TExternalServer::Nginx);
    web.AddFile(QStringLiteral("page.html"), "<p>through the proxy</p>\n");
    QString error;
    ASSERT_TRUE(web.Start(&error)) << error.toStdString();
    TExternalServer dante(TExternalServer::Dante);
    ASSERT_TRUE(dante.Start(&error)) << error.toStdString();

    struct Row {
        const char *level;
        const char *addr;
    };
    for (const Row &row : {Row{"5", "127.0.0.1"}, Row{"5", "localhost"}, Row{"4", "127.0.0.1"}}) {
        QStringList events;
        const QByteArray response = FetchThroughDante(dante, web, QString::fromLatin1(row.level),
                                                      QString::fromLatin1(row.addr), &events);
        EXPECT_EQ(events, QStringList{QStringLiteral("connected 0")}) << row.level << " " << row.addr;
        EXPECT_TRUE(response.startsWith("HTTP/1.1 200 OK"))
            << row.level << ": " << response.left(200).toStdString() << dante.Log().toStdString();
        EXPECT_TRUE(response.endsWith("<p>through the proxy</p>\n")) << row.level;
    }
}
