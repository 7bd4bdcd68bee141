#include "support/QtPrinting.h"

#include "net/HttpProt.h"
#include "tools/fetch/FetchOptions.h"

#include <gtest/gtest.h>

// The tool's command line, read without running it.

namespace {

// The settings a row looks at, in one line: only what differs from the defaults shows.
QString Described(const TFetchOptions &options)
{
    QStringList parts{options.Url};
    if (options.HasOutput)
        parts << QStringLiteral("out=") + options.OutputFile;
    if (!options.ProxyHost.isEmpty())
        parts << QStringLiteral("proxy=%1:%2 %3/%4")
                     .arg(options.ProxyHost, options.ProxyPort, options.ProxyUser, options.ProxyPassword);
    if (!options.SocksHost.isEmpty())
        parts << QStringLiteral("socks=%1:%2 level=%3 %4/%5%6")
                     .arg(options.SocksHost, options.SocksPort, options.SocksLevel, options.SocksUser,
                          options.SocksPassword, options.SocksAuthenticate ? QStringLiteral(" auth") : QString());
    if (options.HasUser || options.HasPassword)
        parts << QStringLiteral("user=%1/%2").arg(options.User, options.Password);
    if (options.TimeoutSeconds != 60)
        parts << QStringLiteral("timeout=%1").arg(options.TimeoutSeconds);
    if (!options.CAFile.isEmpty())
        parts << QStringLiteral("ca=") + options.CAFile;
    if (options.Quiet)
        parts << QStringLiteral("quiet");
    for (const QString &line : options.Headers)
        parts << QStringLiteral("[%1]").arg(line);
    return parts.join(QLatin1Char(' '));
}

struct TArgumentRow {
    const char *Name;
    QStringList Arguments;
    TFetchOptions::TKind Kind;
    // Fetch: Described(); Bad: a part of the error.
    QString Expected;
};

void PrintTo(const TArgumentRow &row, std::ostream *os)
{
    *os << row.Name;
}

const QString U = QStringLiteral("http://h/x");

const TArgumentRow ArgumentRows[] = {
    {"UrlAlone", {U}, TFetchOptions::Fetch, U},
    {"EveryOption",
     {QStringLiteral("-o"),
      QStringLiteral("f.bin"),
      QStringLiteral("--proxy=p.example:3128"),
      QStringLiteral("--proxy-user"),
      QStringLiteral("pu"),
      QStringLiteral("--proxy-password"),
      QStringLiteral("pp"),
      QStringLiteral("--socks"),
      QStringLiteral("s:1080"),
      QStringLiteral("--socks-level"),
      QStringLiteral("4a"),
      QStringLiteral("--socks-user"),
      QStringLiteral("su"),
      QStringLiteral("--socks-password"),
      QStringLiteral("sp"),
      QStringLiteral("--user"),
      QStringLiteral("ann"),
      QStringLiteral("--password"),
      QStringLiteral(""),
      QStringLiteral("--timeout=0"),
      QStringLiteral("--cacert"),
      QStringLiteral("ca.pem"),
      QStringLiteral("-q"),
      U},
     TFetchOptions::Fetch,
     U + QStringLiteral(" out=f.bin proxy=p.example:3128 pu/pp socks=s:1080 level=4A su/sp auth user=ann/ timeout=0 "
                        "ca=ca.pem quiet")},
    {"HeadersRepeatedInOrder",
     {QStringLiteral("-H"), QStringLiteral("X-A: 1"), QStringLiteral("--header=User-Agent: Me"), QStringLiteral("-H"),
      QStringLiteral("X-Empty:"), U},
     TFetchOptions::Fetch,
     U + QStringLiteral(" [X-A: 1] [User-Agent: Me] [X-Empty:]")},
    // Whether a header may go out is the client's decision, with its reason.
    {"RefusedHeaderLeftToTheClient",
     {QStringLiteral("-H"), QStringLiteral("Host: x"), U},
     TFetchOptions::Fetch,
     U + QStringLiteral(" [Host: x]")},
    {"HeaderWithoutColon",
     {QStringLiteral("-H"), QStringLiteral("X-A 1"), U},
     TFetchOptions::Bad,
     QStringLiteral("-H wants \"Name: value\", not \"X-A 1\"")},
    {"HeaderWithoutValue", {QStringLiteral("-H"), U}, TFetchOptions::Bad, QStringLiteral("exactly one URL")},
    {"NoUrl", {}, TFetchOptions::Bad, QStringLiteral("exactly one URL")},
    {"TwoUrls", {U, U}, TFetchOptions::Bad, QStringLiteral("exactly one URL")},
    {"UnknownOption", {QStringLiteral("--bogus"), U}, TFetchOptions::Bad, QStringLiteral("bogus")},
    {"TimeoutTooLong",
     {QStringLiteral("--timeout"), QStringLiteral("86401"), U},
     TFetchOptions::Bad,
     QStringLiteral("--timeout wants")},
    {"TimeoutLongest",
     {QStringLiteral("--timeout"), QStringLiteral("86400"), U},
     TFetchOptions::Fetch,
     U + QStringLiteral(" timeout=86400")},
    {"TimeoutNegative", {QStringLiteral("--timeout=-1"), U}, TFetchOptions::Bad, QStringLiteral("--timeout wants")},
    {"TimeoutWord", {QStringLiteral("--timeout=ten"), U}, TFetchOptions::Bad, QStringLiteral("--timeout wants")},
    {"ProxyPortThatWouldWrap",
     {QStringLiteral("--proxy=127.0.0.1:84536"), U},
     TFetchOptions::Bad,
     QStringLiteral("--proxy wants")},
    {"ProxyPortWithALetter",
     {QStringLiteral("--proxy=127.0.0.1:8a"), U},
     TFetchOptions::Bad,
     QStringLiteral("--proxy wants")},
    {"ProxyWithoutHost", {QStringLiteral("--proxy=:8080"), U}, TFetchOptions::Bad, QStringLiteral("--proxy wants")},
    {"SocksWithoutPort", {QStringLiteral("--socks=nohost"), U}, TFetchOptions::Bad, QStringLiteral("--socks wants")},
    {"SocksPortZero", {QStringLiteral("--socks=h:0"), U}, TFetchOptions::Bad, QStringLiteral("--socks wants")},
    {"SocksLevel6", {QStringLiteral("--socks-level=6"), U}, TFetchOptions::Bad, QStringLiteral("--socks-level must")},
    {"UnknownOptionBeatsHelp",
     {QStringLiteral("--help"), QStringLiteral("--bogus")},
     TFetchOptions::Bad,
     QStringLiteral("bogus")},
    {"HelpAlone", {QStringLiteral("-h")}, TFetchOptions::Help, QString()},
    {"Version", {QStringLiteral("--version")}, TFetchOptions::Version, QString()},
};

class FetchArguments : public ::testing::TestWithParam<TArgumentRow> {};

TEST_P(FetchArguments, AreReadOrRefusedWithTheReason)
{
    const TArgumentRow &row = GetParam();
    const TFetchOptions options = TFetchOptions::Parse(QStringList{QStringLiteral("tallowmere-fetch")} + row.Arguments);
    ASSERT_EQ(options.Kind, row.Kind) << options.Error.toStdString();
    if (row.Kind == TFetchOptions::Fetch) {
        EXPECT_EQ(Described(options), row.Expected);
    }
    if (row.Kind == TFetchOptions::Bad) {
        EXPECT_TRUE(options.Error.contains(row.Expected)) << options.Error.toStdString();
    }
    if (row.Kind == TFetchOptions::Help) {
        EXPECT_TRUE(options.HelpText.contains(QStringLiteral("-H, --header <NAME: VALUE>")))
            << options.HelpText.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, FetchArguments, ::testing::ValuesIn(ArgumentRows),
                         [](const ::testing::TestParamInfo<TArgumentRow> &info) {
                             return std::string(info.param.Name);
                         });

} // namespace

// What the command line sets on the client is what a request then carries.
TEST(FetchOptions, ApplyToSetsTheClient)
{
    const TFetchOptions options = TFetchOptions::Parse(
        {QStringLiteral("tallowmere-fetch"), QStringLiteral("--proxy=p:3128"), QStringLiteral("--socks=s:1080"),
         QStringLiteral("--socks-level=4"), QStringLiteral("--timeout=7"), QStringLiteral("-H"),
         QStringLiteral("X-A: 1"), U});
    ASSERT_EQ(options.Kind, TFetchOptions::Fetch) << options.Error.toStdString();
    THttpCli client;
    client.SetUsername(QStringLiteral("kept"));
    options.ApplyTo(client);
    EXPECT_EQ(client.URL(), U);
    EXPECT_EQ(client.Proxy(), QStringLiteral("p"));
    EXPECT_EQ(client.ProxyPort(), QStringLiteral("3128"));
    EXPECT_EQ(client.SocksServer(), QStringLiteral("s"));
    EXPECT_EQ(client.SocksLevel(), QStringLiteral("4"));
    EXPECT_EQ(client.SocksAuthentication(), socksNoAuthentication);
    EXPECT_EQ(client.Timeout(), 7);
    EXPECT_TRUE(client.AllowDowngrade());
    EXPECT_EQ(client.ExtraHeaders(), QStringList{QStringLiteral("X-A: 1")});
    // Without --user the client's own (or the URL's) stays.
    EXPECT_EQ(client.Username(), QStringLiteral("kept"));
}
