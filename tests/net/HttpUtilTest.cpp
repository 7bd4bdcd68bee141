#include "support/QtPrinting.h"

#include "net/HttpUtil.h"
#include "platform/core/Exceptions.h"

#include <QDate>
#include <gtest/gtest.h>

TEST(HttpUtil, ParseUrlForms)
{
    struct Row {
        const char *url, *proto, *user, *pass, *host, *port, *path;
    };
    const Row rows[] = {
        {"", "", "", "", "", "", ""},
        {"http://www.example.com", "http", "", "", "www.example.com", "", ""},
        {"http://www.example.com/", "http", "", "", "www.example.com", "", "/"},
        {"http://www.example.com:8080/a/b.htm?x=1", "http", "", "", "www.example.com", "8080", "/a/b.htm?x=1"},
        {"http://user:pw@host/p", "http", "user", "pw", "host", "", "/p"},
        {"http://user@host:81/p", "http", "user", "", "host", "81", "/p"},
        {"http://user:pw@host:81/p", "http", "user", "pw", "host", "81", "/p"},
        {"ftp://files.example.org/pub", "ftp", "", "", "files.example.org", "", "/pub"},
        {"/relative/page.htm", "http", "", "", "", "", "/relative/page.htm"},
        {"//host/x", "http", "", "", "", "", "/host/x"},
        {"http:/x.htm", "http", "", "", "", "", "/x.htm"},
        {"HTTP:/x", "http", "", "", "", "", "/x"},
        {"mailto:support@example.com", "mailto", "support", "", "example.com", "", ""},
        {"www.example.com/index.html", "", "", "", "www.example.com", "", "/index.html"},
        {"proxy.example.net:3128", "", "", "", "proxy.example.net", "3128", ""},
        {"new.htm", "", "", "", "new.htm", "", ""},
    };
    for (const Row &row : rows) {
        const TUrlParts parts = ParseUrl(QString::fromLatin1(row.url));
        EXPECT_EQ(parts.Proto, QLatin1String(row.proto)) << row.url;
        EXPECT_EQ(parts.User, QLatin1String(row.user)) << row.url;
        EXPECT_EQ(parts.Pass, QLatin1String(row.pass)) << row.url;
        EXPECT_EQ(parts.Host, QLatin1String(row.host)) << row.url;
        EXPECT_EQ(parts.Port, QLatin1String(row.port)) << row.url;
        EXPECT_EQ(parts.Path, QLatin1String(row.path)) << row.url;
    }
}

TEST(HttpUtil, Rfc1123Dates)
{
    const auto value = [](int y, int m, int d, int hh, int mm, int ss) {
        return double(QDate(1899, 12, 30).daysTo(QDate(y, m, d))) + (hh * 3600 + mm * 60 + ss) / 86400.0;
    };
    EXPECT_EQ(FormatRfc1123Date(value(2021, 6, 9, 10, 18, 14)), QStringLiteral("Wed, 09 Jun 2021 10:18:14"));
    EXPECT_EQ(FormatRfc1123Date(value(1999, 12, 31, 23, 59, 59)), QStringLiteral("Fri, 31 Dec 1999 23:59:59"));
    EXPECT_EQ(FormatRfc1123Date(value(2000, 2, 29, 0, 0, 0)), QStringLiteral("Tue, 29 Feb 2000 00:00:00"));
    EXPECT_EQ(FormatRfc1123Date(2.0), QStringLiteral("Mon, 01 Jan 1900 00:00:00"));
    EXPECT_EQ(FormatRfc1123Date(value(2024, 3, 3, 7, 5, 9)), QStringLiteral("Sun, 03 Mar 2024 07:05:09"));
}

TEST(HttpUtil, Base64MatchesTheStandardVectors)
{
    const std::pair<const char *, const char *> rows[] = {{"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},
                                                          {"foo", "Zm9v"},  {"foob", "Zm9vYg=="},  {"fooba", "Zm9vYmE="},
                                                          {"foobar", "Zm9vYmFy"}, {"Aladdin:open sesame", "QWxhZGRpbjpvcGVuIHNlc2FtZQ=="}};
    for (const auto &[plain, encoded] : rows)
        EXPECT_EQ(EncodeBase64(plain), QByteArray(encoded)) << plain;
}
