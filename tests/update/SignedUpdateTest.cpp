#include "UpdateFixture.h"
#include "TestUi.h"

#include "update/Update.h"
#include "update/UpdateSaveDialog.h"
#include "update/core/UpdateSignature.h"

#include <QDateTime>
#include <QTest>
#include <QToolButton>

// An update is kept and offered to run only when the maker signed it: signatures made
// here with the real minisign tool, served by a loopback server, checked through the
// whole update path.

namespace {

const QByteArray NewUpdate = "#!/bin/sh\necho signed update\n";
const QByteArray OldUpdate = "the update the user already has\n";

QString UtcDay(int offset)
{
    return QDateTime::currentDateTimeUtc().date().addDays(offset).toString(Qt::ISODate);
}

enum TSigner { sgOurs, sgStranger };

struct SignedRow {
    const char *Name;
    const char *PageVersion;
    // The trusted comment; {today} and {yesterday} stand for those UTC dates.
    const char *Comment;
    TSigner Signer;
    bool Legacy;
    // What reaches the client instead of the signature file (null: the file itself).
    QByteArray (*Mangle)(const QByteArray &signature);
    // The status the signature address answers with.
    int SignatureStatus;
    // The page names the signature with a relative signature entry.
    bool SignatureEntry;
    // One byte of the served update differs from what was signed.
    bool Tampered;
    // The reason shown ({stranger} for the stranger's key id); empty when the update
    // is kept and offered to run.
    const char *Reason;
};

QByteArray AlterComment(const QByteArray &signature)
{
    return QByteArray(signature).replace("file=tlm11.exe", "file=tlm11.exe note=x");
}
QByteArray Truncate(const QByteArray &signature)
{
    return signature.left(signature.size() - 30);
}
QByteArray Oversize(const QByteArray &signature)
{
    return QByteArray(signature).replace("untrusted comment: ", "untrusted comment: " + QByteArray(9000, 'x'));
}

class SignedUpdateTest : public UpdateTest, public ::testing::WithParamInterface<SignedRow> {
protected:
    static TMinisignTool &Stranger()
    {
        static TMinisignTool stranger;
        return stranger;
    }
};

} // namespace

TEST_P(SignedUpdateTest, OnlyWhatTheMakerSignedIsKept)
{
    const SignedRow &row = GetParam();
    TMinisignTool &signer = row.Signer == sgOurs ? FSigner : Stranger();
    ASSERT_TRUE(signer.IsValid()) << signer.Error().toStdString();
    const QString comment = QString::fromLatin1(row.Comment)
                                .replace(QLatin1String("{today}"), UtcDay(0))
                                .replace(QLatin1String("{yesterday}"), UtcDay(-1));
    QByteArray signature = signer.Sign(NewUpdate, comment, row.Legacy);
    ASSERT_FALSE(signature.isEmpty()) << signer.Error().toStdString();
    if (row.Mangle)
        signature = row.Mangle(signature);

    QByteArray served = NewUpdate;
    if (row.Tampered)
        served[12] = char(served[12] ^ 0x20);
    FServer.Serve(QStringLiteral("/files/tlm11.exe"), TRoutedServer::Page(served, "application/octet-stream"));
    const QString signaturePath = row.SignatureEntry ? QStringLiteral("/sigs/tlm11.minisig")
                                                     : QStringLiteral("/files/tlm11.exe.minisig");
    FServer.Serve(signaturePath, row.SignatureStatus == 200 ? TRoutedServer::Page(signature, "text/plain")
                                                            : TRoutedServer::Status(row.SignatureStatus, "Not here"));
    Publish(QString::fromLatin1(row.PageVersion), QStringLiteral("/files/tlm11.exe"), QString(),
            row.SignatureEntry ? QStringLiteral("<META HTTP-EQUIV=\"signature\" CONTENT=\"sigs/tlm11.minisig\">\r\n")
                               : QString());
    FWfi->SetOptions(wfioRunUpdate | wfioExitDuringUpdate);

    QFile old(Path(QStringLiteral("tlm11.exe")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(OldUpdate);
    old.close();
    const QMap<QString, QByteArray> before = FolderContents(FDir.path());

    TBoxRecorder boxes;
    boxes.Answer(QStringLiteral("Install Update"), {QMessageBox::No});
    TModalDriver driver([this](QWidget *window) { return AnswerSaveDialog(window, Path("tlm11.exe"), 1); });
    const bool result = FWfi->ExecuteUpdate();
    EXPECT_EQ(FServer.CountOf(signaturePath), 1);

    const QString reason = QString::fromLatin1(row.Reason)
                               .replace(QLatin1String("{stranger}"), Stranger().KeyId())
                               .replace(QLatin1String("{yesterday}"), UtcDay(-1));
    if (reason.isEmpty()) {
        EXPECT_TRUE(result);
        EXPECT_EQ(boxes.Captions(), (QStringList{"Update Available", "Save As", "Install Update"}));
        EXPECT_EQ(boxes.Find(QStringLiteral("Install Update")).Text,
                  "Do you want to install the update now?\rFile: tlm11.exe\rFrom: 127.0.0.1\r"
                  "Signed by: the key in tlm.ini, key " +
                      FSigner.KeyId() + "\rThis will close Tallowmere.");
        EXPECT_EQ(ReadFile(Path(QStringLiteral("tlm11.exe"))), NewUpdate);
        return;
    }
    EXPECT_FALSE(result);
    EXPECT_EQ(boxes.Captions(), (QStringList{"Update Available", "Save As", "Download Error"}));
    EXPECT_EQ(boxes.Find(QStringLiteral("Download Error")).Text,
              "Error occurred while downloading update.\rError: \"" + reason + ".\"");
    EXPECT_EQ(FolderContents(FDir.path()), before);
    // Whatever the signature file alone refuses is refused before the download.
    const bool needsTheFile = row.Tampered;
    EXPECT_EQ(FServer.CountOf(QStringLiteral("/files/tlm11.exe")), needsTheFile ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Signatures, SignedUpdateTest,
    ::testing::Values(
        SignedRow{"Good", "1.2", "product=Tallowmere version=1.2 file=tlm11.exe", sgOurs, false, nullptr, 200, false,
                  false, ""},
        SignedRow{"ExpiringTodayNamedByTheSignatureEntry", "1.2",
                  "product=Tallowmere\tversion=1.2 file=tlm11.exe expires={today} build=7", sgOurs, false, nullptr, 200,
                  true, false, ""},
        SignedRow{"OneByteOfTheFileChanged", "1.2", "product=Tallowmere version=1.2 file=tlm11.exe", sgOurs, false,
                  nullptr, 200, false, true, "The update's signature does not match the file"},
        SignedRow{"AnotherKey", "1.2", "product=Tallowmere version=1.2 file=tlm11.exe", sgStranger, false, nullptr, 200,
                  false, false, "The update is signed with a key this program does not trust (key {stranger})"},
        SignedRow{"LegacyForm", "1.2", "product=Tallowmere version=1.2 file=tlm11.exe", sgOurs, true, nullptr, 200,
                  false, false, "The update's signature file is not in the minisign format"},
        SignedRow{"TrustedCommentAltered", "1.2", "product=Tallowmere version=1.2 file=tlm11.exe", sgOurs, false,
                  AlterComment, 200, false, false, "The update's signature does not match the file"},
        SignedRow{"WrongProduct", "1.2", "product=Tallowmore version=1.2 file=tlm11.exe", sgOurs, false, nullptr, 200,
                  false, false, "The update is signed for another product (Tallowmore)"},
        SignedRow{"WrongFile", "1.2", "product=Tallowmere version=1.2 file=tlm10.exe", sgOurs, false, nullptr, 200,
                  false, false, "The update is signed for file tlm10.exe, the page offers tlm11.exe"},
        SignedRow{"OlderVersion", "1.2", "product=Tallowmere version=1.0.9 file=tlm11.exe", sgOurs, false, nullptr, 200,
                  false, false, "The update is signed for version 1.0.9, the page offers 1.2"},
        // The page's rule takes 1.1 for newer than 1.1.00; the signature's does not.
        SignedRow{"SameVersion", "1.1", "product=Tallowmere version=1.1 file=tlm11.exe", sgOurs, false, nullptr, 200,
                  false, false, "The update is signed for version 1.1, which is not newer than this program's 1.1.00"},
        SignedRow{"Expired", "1.2", "product=Tallowmere version=1.2 file=tlm11.exe expires={yesterday}", sgOurs, false,
                  nullptr, 200, false, false, "The update's signature expired on {yesterday}"},
        SignedRow{"SignatureTruncated", "1.2", "product=Tallowmere version=1.2 file=tlm11.exe", sgOurs, false, Truncate,
                  200, false, false, "The update's signature file is not in the minisign format"},
        SignedRow{"SignatureOversized", "1.2", "product=Tallowmere version=1.2 file=tlm11.exe", sgOurs, false, Oversize,
                  200, false, false, "Reply larger than 8192 bytes"},
        SignedRow{"NonePublished", "1.2", "product=Tallowmere version=1.2 file=tlm11.exe", sgOurs, false, nullptr, 404,
                  false, false, "No signature was published for the update"},
        SignedRow{"SignatureGone", "1.2", "product=Tallowmere version=1.2 file=tlm11.exe", sgOurs, false, nullptr, 410,
                  false, false, "No signature was published for the update"}),
    [](const ::testing::TestParamInfo<SignedRow> &info) { return std::string(info.param.Name); });

// The whole path once as the user takes it: the Update Center, Retrieve Update, the save
// dialog, the question naming what will run, and the update started.
TEST_F(UpdateTest, TheUpdateCenterStartsASignedUpdate)
{
    const QString marker = Path(QStringLiteral("started.txt"));
    const QByteArray script = "#!/bin/sh\necho \"$@\" > '" + marker.toUtf8() + "'\n";
    ServeSigned(QStringLiteral("/files/tlm12.sh"), script, "application/x-sh", QStringLiteral("1.2"));
    Publish(QStringLiteral("1.2"), QStringLiteral("/files/tlm12.sh"), QString(),
            QStringLiteral("<META HTTP-EQUIV=\"runparams\" CONTENT=\"--signed\">\r\n"));
    FWfi->SetOptions(wfioRunUpdate);

    TBoxRecorder boxes;
    TModalDriver driver([this](QWidget *window) { return AnswerSaveDialog(window, Path("tlm12.sh"), 3); });
    TfrmUpdate form(FWfi.get());
    form.show();
    form.activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return form.btnRetrieveUpdate->isEnabled(); }));
    QTest::mouseClick(form.btnRetrieveUpdate, Qt::LeftButton);
    EXPECT_EQ(boxes.Captions(), (QStringList{"Update Available", "Install Update"}));
    EXPECT_EQ(boxes.Find(QStringLiteral("Install Update")).Text,
              "Do you want to install the update now?\rFile: tlm12.sh\rFrom: 127.0.0.1\r"
              "Signed by: the key in tlm.ini, key " +
                  FSigner.KeyId());
    ASSERT_TRUE(WaitUntil([&] { return !ReadFile(marker).isEmpty(); }));
    EXPECT_EQ(ReadFile(marker), "--signed\n");
}

// Keys the settings file names but that do not parse stop the check before anything is
// fetched; without a PublicKey value the maker's two built-in keys are trusted.
TEST_F(UpdateTest, TheTrustedKeysComeFromTheProgramOrTheSettingsFile)
{
    Publish(QStringLiteral("1.2"), QStringLiteral("/files/tlm11.exe"));
    QFile settings(Path(QStringLiteral("tlm.ini")));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[Update]\nPublicKey=" + FSigner.PublicKey() + " RWQnot-a-key\n");
    settings.close();
    UpdateSettings::ConfigureWebFileInfo(*FWfi, Path(QStringLiteral("tlm.ini")));
    FWfi->SetHomeURL(FServer.Url(QStringLiteral("/tallowmere.htm")));
    TBoxRecorder boxes;
    TfrmUpdate form(FWfi.get());
    form.CheckUpdate();
    EXPECT_EQ(boxes.Captions(), QStringList{"Tallowmere"});
    EXPECT_EQ(boxes.Boxes()[0].Text,
              "Get Info failed due to:\r\nThe PublicKey value in tlm.ini is not a minisign public key");
    EXPECT_TRUE(FServer.RequestLines().isEmpty());
    EXPECT_FALSE(form.btnRetrieveUpdate->isEnabled());

    TWebFileInfo builtIn;
    UpdateSettings::ConfigureWebFileInfo(builtIn, Path(QStringLiteral("no-such.ini")));
    QStringList keys;
    for (const TMinisignKey &key : builtIn.TrustedKeys())
        keys << key.Name() + QLatin1Char(' ') + key.KeyIdText();
    EXPECT_EQ(keys, (QStringList{"Corvane Software 1F1393F942660C26", "Corvane Software 8A631B0D3FD73EBC"}));
}
