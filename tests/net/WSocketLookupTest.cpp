#include "support/EventWait.h"
#include "support/QtPrinting.h"

#include "net/WSocket.h"
#include "net/WSocketResolve.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Winsock.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

QString ErrorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const ESocketException &e) {
        return e.Message();
    }
    return QStringLiteral("(no error)");
}

} // namespace

TEST(WSocketResolve, HostTexts)
{
    EXPECT_EQ(WSocketResolveHost(QStringLiteral("255.255.255.255")), 0xFFFFFFFFu);
    EXPECT_EQ(WSocketResolveHost(QStringLiteral("127.0.0.1")), Winsock::InetAddr("127.0.0.1"));
    EXPECT_EQ(WSocketResolveHost(QStringLiteral(" 10.1.2.3 ")), Winsock::InetAddr("10.1.2.3"));
    EXPECT_EQ(WSocketResolveHost(QStringLiteral("localhost")), Winsock::InetAddr("127.0.0.1"));
    EXPECT_EQ(ErrorOf([] { WSocketResolveHost(QStringLiteral("999.1.1.1")); }),
              QStringLiteral("WSocketResolveHost: '999.1.1.1' Invalid IP address."));
    const QString longName(257, QLatin1Char('a'));
    EXPECT_EQ(ErrorOf([&] { WSocketResolveHost(longName); }),
              QStringLiteral("WSocketResolveHost: '") + longName + QStringLiteral("' Invalid Hostname."));
    EXPECT_EQ(ErrorOf([] { WSocketResolveHost(QString()); }),
              QStringLiteral("WSocketResolveHost: '' Invalid Hostname."));
    EXPECT_EQ(ErrorOf([] { WSocketResolveHost(QStringLiteral("no-such-host.invalid")); }),
              QStringLiteral("WSocketResolveHost: Cannot convert host address 'no-such-host.invalid'"));
}

namespace {

struct PortRow {
    const char *Name, *Port, *Proto;
    int Expected;
};

const PortRow PortTexts[] = {
    {"Number", "80", "tcp", 80},
    {"NumberThenLetters", "80x", "tcp", 80},
    {"NoProtocol", "8080", "", 8080},
    {"Zero", "0", "tcp", 0},
    {"Service", "http", "tcp", 80},
    {"ServiceWithoutProtocol", "ftp", "", 21},
    {"AboveTheLastPort", "70000", "tcp", 70000},
};

class PortText : public ::testing::TestWithParam<PortRow> {};

} // namespace

TEST_P(PortText, ResolvesToItsNumber)
{
    const PortRow &row = GetParam();
    EXPECT_EQ(WSocketResolvePort(QString::fromLatin1(row.Port), QString::fromLatin1(row.Proto)), row.Expected);
}

INSTANTIATE_TEST_SUITE_P(WSocketResolve, PortText, ::testing::ValuesIn(PortTexts),
                         [](const auto &info) { return std::string(info.param.Name); });

TEST(WSocketResolve, PortErrorsAndProtocolTexts)
{
    EXPECT_EQ(ErrorOf([] { WSocketResolvePort(QString(32, QLatin1Char('1')), QStringLiteral("tcp")); }),
              QStringLiteral("WSocketResolvePort: Invalid Port."));
    EXPECT_EQ(ErrorOf([] { WSocketResolvePort(QString(), QStringLiteral("tcp")); }),
              QStringLiteral("WSocketResolvePort: Invalid Port."));
    EXPECT_EQ(ErrorOf([] { WSocketResolvePort(QStringLiteral("nosuchservice"), QStringLiteral("tcp")); }),
              QStringLiteral("WSocketResolvePort: Cannot convert port 'nosuchservice'"));

    EXPECT_EQ(WSocketResolveProto(QStringLiteral("tcp")), 6);
    EXPECT_EQ(WSocketResolveProto(QStringLiteral(" udp ")), 17);
    EXPECT_EQ(WSocketResolveProto(QStringLiteral("17")), 17);
    EXPECT_EQ(ErrorOf([] { WSocketResolveProto(QString()); }),
              QStringLiteral("WSocketResolveProto: Invalid Protocol."));
    EXPECT_EQ(ErrorOf([] { WSocketResolveProto(QStringLiteral("bogus")); }),
              QStringLiteral("WSocketResolveProto: Cannot convert protocol 'bogus'"));
}

namespace {

struct ErrorRow {
    int Code;
    const char *Text;
};

const ErrorRow ErrorTexts[] = {
    {0, "No Error"},
    {10004, "Interrupted system call"},
    {10022, "Invalid argument"},
    {10035, "Operation would block"},
    {10048, "Address already in use"},
    {10053, "Connection aborted"},
    {10054, "Connection reset by peer"},
    {10057, "Socket is not connected"},
    {10060, "Connection timed out"},
    {10061, "Connection refused"},
    {10093, "WinSock not initialized"},
    {11001, "Host not found"},
    {11004, "No Data"},
    {12345, "Not a WinSock error"},
};

class ErrorDescription : public ::testing::TestWithParam<ErrorRow> {};

} // namespace

TEST_P(ErrorDescription, NamesTheError)
{
    EXPECT_EQ(SocketErrorDesc(GetParam().Code), QString::fromLatin1(GetParam().Text));
}

// Each case is named by its text, blanks as underscores.
INSTANTIATE_TEST_SUITE_P(WSocketResolve, ErrorDescription, ::testing::ValuesIn(ErrorTexts), [](const auto &info) {
    std::string name = info.param.Text;
    std::replace(name.begin(), name.end(), ' ', '_');
    return name;
});

TEST(WSocketLookup, DottedNamesAnswerAtOnceAndNamesFromTheLoop)
{
    TWSocket socket;
    int done = 0;
    quint16 lastError = 0xFFFF;
    socket.OnDnsLookupDone = [&](QObject *, quint16 error) {
        ++done;
        lastError = error;
    };

    socket.DnsLookup(QStringLiteral("10.0.0.1"));
    EXPECT_EQ(done, 1);
    EXPECT_EQ(lastError, 0);
    EXPECT_EQ(socket.DnsResult(), QStringLiteral("10.0.0.1"));
    EXPECT_TRUE(socket.DnsResultList().isEmpty());

    socket.DnsLookup(QStringLiteral("localhost"));
    EXPECT_EQ(done, 1);
    ASSERT_TRUE(WaitUntil([&] { return done == 2; }));
    EXPECT_EQ(lastError, 0);
    EXPECT_EQ(socket.DnsResult(), QStringLiteral("127.0.0.1"));
    EXPECT_TRUE(socket.DnsResultList().contains(QStringLiteral("127.0.0.1")));

    socket.DnsLookup(QStringLiteral("no-such-host.invalid"));
    ASSERT_TRUE(WaitUntil([&] { return done == 3; }, 30000));
    EXPECT_GE(lastError, 11001);
    EXPECT_LE(lastError, 11004);

    socket.ReverseDnsLookup(QStringLiteral("127.0.0.1"));
    ASSERT_TRUE(WaitUntil([&] { return done == 4; }, 30000));
    EXPECT_EQ(lastError, 0);
    EXPECT_EQ(socket.DnsResultList().size(), 1);
    EXPECT_FALSE(socket.DnsResult().isEmpty());

    EXPECT_EQ(ErrorOf([&] { socket.DnsLookup(QString()); }), QStringLiteral("DNS lookup: invalid host name."));
    int errors = 0;
    socket.OnError = [&](QObject *) { ++errors; };
    socket.DnsLookup(QString());
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(done, 5);
    EXPECT_EQ(lastError, 10022);
}

TEST(WSocketLookup, CancelledLookupAnswersOnceWithInterrupted)
{
    TWSocket socket;
    std::vector<quint16> answers;
    socket.OnDnsLookupDone = [&](QObject *, quint16 error) { answers.push_back(error); };
    socket.DnsLookup(QStringLiteral("localhost"));
    socket.CancelDnsLookup();
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0], 10004);
    // The worker's late answer is dropped; a new lookup still works.
    socket.DnsLookup(QStringLiteral("localhost"));
    ASSERT_TRUE(WaitUntil([&] { return answers.size() == 2; }));
    EXPECT_EQ(answers[1], 0);
    DrainEvents(20);
    EXPECT_EQ(answers.size(), 2u);

    // A socket freed while its lookup runs is simply gone when the answer comes.
    auto *leaving = new TWSocket;
    leaving->OnDnsLookupDone = [&](QObject *, quint16 error) { answers.push_back(error); };
    leaving->DnsLookup(QStringLiteral("localhost"));
    delete leaving;
    DrainEvents(20);
    EXPECT_EQ(answers.size(), 2u);
}
