#include "TestUi.h"

#include "platform/gui/Fonts.h"
#include "update/UpdateSettings.h"
#include "update/WebFileInfo.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString WriteSettings(const QTemporaryDir &dir, const QByteArray &text)
{
    const QString path = dir.filePath(QStringLiteral("tlm.ini"));
    QFile file(path);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write(text);
    return path;
}

} // namespace

TEST(UpdateSettings, DesignedConfigurationWithoutASettingsFile)
{
    QTemporaryDir dir;
    TWebFileInfo wfi;
    UpdateSettings::ConfigureWebFileInfo(wfi, dir.filePath(QStringLiteral("tlm.ini")));
    EXPECT_EQ(wfi.CurrentVersion(), "1.1.00");
    EXPECT_EQ(wfi.HomeURL(), UpdateSettings::DefaultHomeURL);
    EXPECT_TRUE(wfi.HomeURL().startsWith("https://"));
    EXPECT_TRUE(wfi.CAFile().isEmpty());
    EXPECT_TRUE(wfi.InfoTags() == TWfiTags::ProgramTags());
    EXPECT_FALSE(wfi.UIOwnerFont());
    EXPECT_EQ(wfi.UIFont(), Fonts::Make(QStringLiteral("Arial"), -11));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("tlm.ini")))); // reading creates nothing
}

TEST(UpdateSettings, UpdateSectionOverridesAndLeavesTheFileAlone)
{
    QTemporaryDir dir;
    const QByteArray text = "[LastValues]\r\nYear1=100\r\n[update]\r\nhomeurl=HTTPS://127.0.0.1:8443/page.htm\r\n"
                            "ProxyHost=proxy.example.net\r\nPROXYPORT=3128\r\ncafile=/etc/our-ca.pem\r\n"
                            "MaxDownloadSize=1048576\r\n";
    const QString path = WriteSettings(dir, text);
    TWebFileInfo wfi;
    UpdateSettings::ConfigureWebFileInfo(wfi, path);
    EXPECT_EQ(wfi.HomeURL(), "HTTPS://127.0.0.1:8443/page.htm");
    EXPECT_EQ(wfi.CAFile(), "/etc/our-ca.pem");
    EXPECT_EQ(wfi.ProxyHost(), "proxy.example.net");
    EXPECT_EQ(wfi.ProxyPort(), 3128);
    EXPECT_EQ(wfi.MaxDownloadSize(), 1048576);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), text);
}

namespace {

struct UnusableRow {
    const char *Name;
    QByteArray Section;
    int Port;
};

constexpr qint64 TwoGiB = qint64(2147483648);

class UnusableSettings : public ::testing::TestWithParam<UnusableRow> {};

} // namespace

TEST_P(UnusableSettings, KeepTheBuiltInOnes)
{
    QTemporaryDir dir;
    TWebFileInfo wfi;
    UpdateSettings::ConfigureWebFileInfo(wfi, WriteSettings(dir, GetParam().Section));
    EXPECT_EQ(wfi.HomeURL(), UpdateSettings::DefaultHomeURL);
    EXPECT_EQ(wfi.ProxyPort(), GetParam().Port);
    EXPECT_TRUE(wfi.ProxyHost().isEmpty());
    EXPECT_EQ(wfi.MaxDownloadSize(), TwoGiB);
}

INSTANTIATE_TEST_SUITE_P(
    Values, UnusableSettings,
    ::testing::Values(
        UnusableRow{"FtpAddressLetterPort",
                    "[Update]\nHomeURL=ftp://files.example.net/page.htm\nProxyPort=abc\nMaxDownloadSize=abc\n", 80},
        UnusableRow{"NoSchemePortTooLarge",
                    "[Update]\nHomeURL=www.example.net/page.htm\nProxyPort=70000\nMaxDownloadSize=-5\n", 80},
        UnusableRow{"EmptyAddressPortZero", "[Update]\nHomeURL=\nProxyPort=0\nMaxDownloadSize=0\n", 80},
        UnusableRow{"OnlyAPort", "[Update]\nProxyPort=8080\n", 8080},
        UnusableRow{"OtherSection", "[Other]\nHomeURL=http://elsewhere.example.net/\n", 80}),
    [](const ::testing::TestParamInfo<UnusableRow> &info) { return std::string(info.param.Name); });
