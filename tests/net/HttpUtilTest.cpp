#include "support/QtPrinting.h"

#include "net/HttpUtil.h"
#include "platform/core/Exceptions.h"

#include <QDate>
#include <gtest/gtest.h>

namespace {
struct UrlRow {
    const char *Name, *Url, *Proto, *User, *Pass, *Host, *Port, *Path;
};
class UrlForm : public ::testing::TestWithParam<UrlRow> {};

const UrlRow UrlForms[] = {
    {"Empty", "", "", "", "", "", "", ""},
    {"HostOnly", "http://www.example.com", "http", "", "", "www.example.com", "", ""},
    {"HostAndRoot", "http://www.example.com/", "http", "", "", "www.example.com", "", "/"},
    {"PortAndQuery", "http://www.example.com:8080/a/b.htm?x=1", "http", "", "", "www.example.com", "8080",
     "/a/b.htm?x=1"},
    {"UserAndPassword", "http://user:pw@host/p", "http", "user", "pw", "host", "", "/p"},
    {"UserAndPort", "http://user@host:81/p", "http", "user", "", "host", "81", "/p"},
    {"UserPasswordAndPort", "http://user:pw@host:81/p", "http", "user", "pw", "host", "81", "/p"},
    {"Ftp", "ftp://files.example.org/pub", "ftp", "", "", "files.example.org", "", "/pub"},
    {"PathOnly", "/relative/page.htm", "http", "", "", "", "", "/relative/page.htm"},
    {"DoubleSlashWithoutScheme", "//host/x", "http", "", "", "", "", "/host/x"},
    {"SchemeAndPath", "http:/x.htm", "http", "", "", "", "", "/x.htm"},
    {"SchemeInCapitals", "HTTP:/x", "http", "", "", "", "", "/x"},
    {"Mailto", "mailto:support@example.com", "mailto", "support", "", "example.com", "", ""},
    {"HostAndPathWithoutScheme", "www.example.com/index.html", "", "", "", "www.example.com", "", "/index.html"},
    {"HostAndPortWithoutScheme", "proxy.example.net:3128", "", "", "", "proxy.example.net", "3128", ""},
    {"BareName", "new.htm", "", "", "", "new.htm", "", ""},
};
} // namespace

TEST_P(UrlForm, SplitsIntoItsParts)
{
    const UrlRow &row = GetParam();
    const TUrlParts parts = ParseUrl(QString::fromLatin1(row.Url));
    EXPECT_EQ((QStringList{parts.Proto, parts.User, parts.Pass, parts.Host, parts.Port, parts.Path}),
              (QStringList{row.Proto, row.User, row.Pass, row.Host, row.Port, row.Path}));
}

INSTANTIATE_TEST_SUITE_P(HttpUtil, UrlForm, ::testing::ValuesIn(UrlForms),
                         [](const auto &info) { return std::string(info.param.Name); });

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
    const std::pair<const char *, const char *> rows[] = {{"", ""},
                                                          {"f", "Zg=="},
                                                          {"fo", "Zm8="},
                                                          {"foo", "Zm9v"},
                                                          {"foob", "Zm9vYg=="},
                                                          {"fooba", "Zm9vYmE="},
                                                          {"foobar", "Zm9vYmFy"},
                                                          {"Aladdin:open sesame", "QWxhZGRpbjpvcGVuIHNlc2FtZQ=="}};
    for (const auto &[plain, encoded] : rows)
        EXPECT_EQ(EncodeBase64(plain), QByteArray(encoded)) << plain;
}
