#include "UpdateFixture.h"

#include "support/ExternalServer.h"
#include "support/TestCertificates.h"
#include "update/Update.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLabel>
#include <QToolButton>

// The update check over https against real nginx with a test CA: the Update Center
// reads a verified page; a page read over https does not send the check or the download
// on to plain http (unless it vouches for the file with a checksum).

namespace {

const QByteArray UpdateBytes = "the new program";

class HttpsUpdateTest : public UpdateTest {
protected:
    // nginx over TLS serving the page with the given extra entries and the update file.
    bool StartSite(const QString &downloadUrl, const QString &extra = {}, const QString &serverLines = {})
    {
        if (!FCertificates.Make(&FError))
            return false;
        FSite = std::make_unique<TExternalServer>(TExternalServer::Nginx);
        FSite->AddServerConfig(
            QStringLiteral("    ssl on;\n    ssl_certificate %1;\n    ssl_certificate_key %2;\n")
                .arg(FCertificates.CertFile(TTestCertificates::Good), FCertificates.KeyFile(TTestCertificates::Good)) +
            serverLines);
        FSite->AddFile(QStringLiteral("files/tlm11.exe"), UpdateBytes);
        FSite->AddFile(QStringLiteral("files/tlm11.exe.minisig"),
                       FSigner.Sign(UpdateBytes, QStringLiteral("product=Tallowmere version=1.1.01 file=tlm11.exe")));
        if (!FSite->Start(&FError))
            return false;
        const QString url = downloadUrl.isEmpty() ? SiteUrl(QStringLiteral("/files/tlm11.exe")) : downloadUrl;
        QFile page(FSite->DocumentRoot() + QStringLiteral("/tallowmere.htm"));
        if (!page.open(QIODevice::WriteOnly))
            return false;
        page.write(InfoPageText(QStringLiteral("1.1.01"), url, QString(), extra));
        page.close();
        FWfi->SetCAFile(FCertificates.CAFile());
        FWfi->SetHomeURL(SiteUrl(QStringLiteral("/tallowmere.htm")));
        return true;
    }

    QString SiteUrl(const QString &path) const
    {
        return QStringLiteral("https://localhost:%1%2").arg(FSite->Port()).arg(path);
    }

    TTestCertificates FCertificates;
    std::unique_ptr<TExternalServer> FSite;
    QString FError;
};

} // namespace

TEST_F(HttpsUpdateTest, TheUpdateCenterReadsAVerifiedPageAndTheFileComesWhole)
{
    REQUIRE_OPENSSL_TOOL();
    REQUIRE_EXTERNAL_SERVER(TExternalServer::Nginx);
    ASSERT_TRUE(StartSite({})) << FError.toStdString();
    TBoxRecorder boxes;
    TfrmUpdate form(FWfi.get());
    form.show();
    form.activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return form.btnRetrieveUpdate->isEnabled(); }));
    EXPECT_EQ(form.lblVersion->text(), "1.1.01");
    EXPECT_TRUE(boxes.Boxes().isEmpty());
    form.close();

    ASSERT_TRUE(FWfi->DownloadUpdate(Path(QStringLiteral("tlm11.exe")))) << FWfi->LastError().toStdString();
    EXPECT_EQ(ReadFile(Path(QStringLiteral("tlm11.exe"))), UpdateBytes);
}

TEST_F(HttpsUpdateTest, AnUnverifiedServerFailsTheCheck)
{
    REQUIRE_OPENSSL_TOOL();
    REQUIRE_EXTERNAL_SERVER(TExternalServer::Nginx);
    ASSERT_TRUE(StartSite({})) << FError.toStdString();
    FWfi->SetCAFile(QString()); // the system's store knows nothing of the test CA
    TBoxRecorder boxes;
    EXPECT_FALSE(FWfi->GetInfo());
    EXPECT_EQ(FWfi->LastError(), "TLS: unable to get local issuer certificate");
    EXPECT_TRUE(FWfi->DownloadURL().isEmpty());
}

TEST_F(HttpsUpdateTest, APlainFileNamedByAVerifiedPageNeedsItsChecksum)
{
    REQUIRE_OPENSSL_TOOL();
    REQUIRE_EXTERNAL_SERVER(TExternalServer::Nginx);
    // The signature may come over plain http too: it proves itself.
    ServeSigned(QStringLiteral("/tlm11.exe"), UpdateBytes, "application/octet-stream", QStringLiteral("1.1.01"));
    const QString plainUrl = FServer.Url(QStringLiteral("/tlm11.exe"));
    ASSERT_TRUE(StartSite(plainUrl)) << FError.toStdString();
    ASSERT_TRUE(FWfi->GetInfo()) << FWfi->LastError().toStdString();
    EXPECT_FALSE(FWfi->DownloadUpdate(Path(QStringLiteral("tlm11.exe"))));
    EXPECT_TRUE(FWfi->LastError().contains(QStringLiteral("over plain http without a published checksum")))
        << FWfi->LastError().toStdString();
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("tlm11.exe"))));
    EXPECT_EQ(FServer.CountOf(QStringLiteral("/tlm11.exe")), 0);

    // The same page vouching for the file with its checksum may name it over http.
    const QString entry = QStringLiteral("<META HTTP-EQUIV=\"sha256\" CONTENT=\"%1\">\r\n")
                              .arg(QString::fromLatin1(
                                  QCryptographicHash::hash(UpdateBytes, QCryptographicHash::Sha256).toHex()));
    QFile page(FSite->DocumentRoot() + QStringLiteral("/tallowmere.htm"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write(InfoPageText(QStringLiteral("1.1.01"), plainUrl, QString(), entry));
    page.close();
    FWfi->SetActive(false);
    ASSERT_TRUE(FWfi->GetInfo()) << FWfi->LastError().toStdString();
    ASSERT_TRUE(FWfi->DownloadUpdate(Path(QStringLiteral("tlm11.exe")))) << FWfi->LastError().toStdString();
    EXPECT_EQ(ReadFile(Path(QStringLiteral("tlm11.exe"))), UpdateBytes);
}

TEST_F(HttpsUpdateTest, ARedirectFromHttpsToHttpIsRefused)
{
    REQUIRE_OPENSSL_TOOL();
    REQUIRE_EXTERNAL_SERVER(TExternalServer::Nginx);
    Publish(QStringLiteral("9.9"));
    const QString plainPage = FServer.Url(QStringLiteral("/tallowmere.htm"));
    ASSERT_TRUE(StartSite({}, {}, QStringLiteral("    location = /moved.htm { return 302 %1; }\n").arg(plainPage)))
        << FError.toStdString();
    FWfi->SetHomeURL(SiteUrl(QStringLiteral("/moved.htm")));
    TBoxRecorder boxes;
    EXPECT_FALSE(FWfi->GetInfo());
    EXPECT_EQ(FWfi->LastError(), "Redirect refused: https to http");
    EXPECT_EQ(FServer.CountOf(QStringLiteral("/tallowmere.htm")), 0);
    EXPECT_NE(FWfi->ProductVersion(), "9.9");
}
