#include "InfoPageText.h"
#include "TestUi.h"

#include "net/HttpProt.h"
#include "platform/gui/Application.h"
#include "support/MinisignTool.h"
#include "support/ScriptedServer.h"
#include "update/Update.h"
#include "update/UpdateSaveDialog.h"
#include "update/UpdateSettings.h"
#include "update/WebFileInfo.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMutex>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QPushButton>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

QByteArray Pattern(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 13 + i / 509) & 0xFF);
    return bytes;
}

QByteArray Head(qint64 length)
{
    return "HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
           QByteArray::number(length) + "\r\n\r\n";
}

QByteArray Whole(const QByteArray &body)
{
    return Head(body.size()) + body;
}

QString Hex(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

const QByteArray OldUpdate = "the update the user already has\n";
const QByteArray NewUpdate = Pattern(256 * 1024);

} // namespace

// The update component against the shared fault server: the page on the first
// connection, then whatever the test scripts.
class SafeDownloadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(FDir.isValid());
        ASSERT_TRUE(FSigner.IsValid()) << FSigner.Error().toStdString();
        WriteFile(QStringLiteral("tlm.ini"), "[Update]\nPublicKey=" + FSigner.PublicKey() + "\n");
        FSignature = FSigner.Sign(NewUpdate, QStringLiteral("product=Tallowmere version=1.2 file=tlm11.exe"));
        ASSERT_FALSE(FSignature.isEmpty()) << FSigner.Error().toStdString();
        Application::Instance()->SetTitle(QStringLiteral("Tallowmere"));
        FWfi = std::make_unique<TWebFileInfo>();
        UpdateSettings::ConfigureWebFileInfo(*FWfi, FDir.filePath(QStringLiteral("tlm.ini")));
        FWfi->SetHttpTimeout(10);
    }

    void TearDown() override
    {
        FWfi.reset();
        FServer.reset();
        QCoreApplication::processEvents();
    }

    // Connection 0 reads the page (with extra entries), connection 1 the update's
    // signature, the later ones run serve.
    void Serve(const QString &pageExtra, std::function<void(TPeer &, int)> serve, int connections = 3)
    {
        FServer = std::make_unique<TScriptedServer>(
            [this, pageExtra, serve](TPeer &peer, int index) {
                const QByteArray request = peer.ReadUntil("\r\n\r\n");
                {
                    QMutexLocker lock(&FMutex);
                    FRequestLines << QString::fromLatin1(request.left(request.indexOf("\r\n")));
                }
                if (index == 0)
                    peer.Write(Whole(InfoPageText(QStringLiteral("1.2"), Url(QStringLiteral("/files/tlm11.exe")),
                                                  QString(), pageExtra)));
                else if (index == 1)
                    peer.Write(Whole(FSignature));
                else
                    serve(peer, index);
            },
            connections);
        FWfi->SetHomeURL(Url(QStringLiteral("/tallowmere.htm")));
    }

    QString Url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(FServer->Port()).arg(path);
    }

    QStringList RequestLines()
    {
        QMutexLocker lock(&FMutex);
        return FRequestLines;
    }

    QString Path(const QString &name) const { return FDir.filePath(name); }

    void WriteFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QTemporaryDir FDir;
    TMinisignTool FSigner;
    QByteArray FSignature;
    std::unique_ptr<TScriptedServer> FServer;
    std::unique_ptr<TWebFileInfo> FWfi;
    QMutex FMutex;
    QStringList FRequestLines;
};

// ---- A download that fails in any way leaves the folder as it was. ----

struct DownloadFaultRow {
    const char *Name;
    std::function<void(TPeer &)> Serve;
    bool PublishWrongChecksum;
    bool Cancel;
    const char *Reason;
};

class DownloadFaultTest : public SafeDownloadTest, public ::testing::WithParamInterface<DownloadFaultRow> {};

TEST_P(DownloadFaultTest, TheExistingFileSurvivesAndTheReasonIsShown)
{
    const DownloadFaultRow &row = GetParam();
    const QString wrongChecksum = QStringLiteral("<META HTTP-EQUIV=\"sha256\" CONTENT=\"%1\">\r\n").arg(Hex("other"));
    Serve(row.PublishWrongChecksum ? wrongChecksum : QString(), [&row](TPeer &peer, int) { row.Serve(peer); });
    WriteFile(QStringLiteral("tlm11.exe"), OldUpdate);
    const QMap<QString, QByteArray> before = FolderContents(FDir.path());

    const std::shared_ptr<bool> cancelled = row.Cancel ? CancelAfter16KiB(*FWfi) : std::make_shared<bool>(false);
    TBoxRecorder boxes;
    const QString chosen = Path(QStringLiteral("tlm11.exe"));
    TModalDriver driver([&](QWidget *window) { return AnswerSaveDialog(window, chosen, 1); });
    EXPECT_FALSE(FWfi->ExecuteUpdate());

    EXPECT_EQ(row.Cancel, *cancelled);
    EXPECT_EQ(boxes.Captions(), (QStringList{"Update Available", "Save As", "Download Error"}));
    EXPECT_EQ(
        boxes.Find(QStringLiteral("Download Error")).Text,
        QStringLiteral("Error occurred while downloading update.\rError: \"%1.\"").arg(QLatin1String(row.Reason)));
    EXPECT_EQ(FolderContents(FDir.path()), before);
    EXPECT_TRUE(FServer->Errors().isEmpty()) << FServer->Errors().join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    SafeDownload, DownloadFaultTest,
    ::testing::Values(DownloadFaultRow{"Truncated",
                                       [](TPeer &peer) {
                                           peer.Write(Head(NewUpdate.size()) + NewUpdate.left(10000));
                                           peer.Close();
                                       },
                                       false, false, "Connection closed after 10000 of 262144 bytes"},
                      DownloadFaultRow{"ResetMidBody",
                                       [](TPeer &peer) {
                                           peer.Write(Head(NewUpdate.size()) + NewUpdate.left(10000));
                                           QThread::msleep(100);
                                           peer.Reset();
                                       },
                                       false, false, "Connection reset by peer (Error #10054)"},
                      DownloadFaultRow{"Cancelled",
                                       [](TPeer &peer) {
                                           peer.Write(Head(NewUpdate.size()) + NewUpdate.left(64 * 1024));
                                           peer.WaitClosed();
                                       },
                                       false, true, "Connection aborted on request"},
                      DownloadFaultRow{
                          "ChecksumMismatch", [](TPeer &peer) { peer.Write(Whole(NewUpdate)); }, true, false,
                          "The downloaded file does not match the published SHA-256 checksum and was not saved"}),
    [](const ::testing::TestParamInfo<DownloadFaultRow> &info) { return std::string(info.param.Name); });

TEST_F(SafeDownloadTest, ACompleteDownloadReplacesTheFileAndLeavesNothingElse)
{
    const QString rightChecksum = QStringLiteral("<META HTTP-EQUIV=\"sha256\" CONTENT=\"%1\">\r\n").arg(Hex(NewUpdate));
    Serve(rightChecksum, [](TPeer &peer, int) { peer.Write(Whole(NewUpdate)); });
    WriteFile(QStringLiteral("tlm11.exe"), OldUpdate);
    QFile::setPermissions(Path(QStringLiteral("tlm11.exe")), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    QMap<QString, QByteArray> expected = FolderContents(FDir.path());
    expected[QStringLiteral("tlm11.exe")] = NewUpdate;

    ASSERT_TRUE(FWfi->GetInfo());
    EXPECT_TRUE(FWfi->DownloadUpdate(FDir.path() + QLatin1Char('/'))) << FWfi->LastError().toStdString();
    EXPECT_EQ(FolderContents(FDir.path()), expected);
}

// The child (see main.cpp) downloads under a file size limit of 64 KiB and prints the
// failure's text.
TEST_F(SafeDownloadTest, AFileSizeLimitFailsTheDownloadWithTheSystemsReason)
{
    // The child makes the only request: connection 0 is the download here.
    FServer = std::make_unique<TScriptedServer>(
        [](TPeer &peer, int) {
            peer.ReadUntil("\r\n\r\n");
            try {
                peer.Write(Whole(NewUpdate));
            } catch (const std::exception &) {
                // The child may close before the last bytes are taken.
            }
        },
        1);
    WriteFile(QStringLiteral("tlm11.exe"), OldUpdate);
    const QMap<QString, QByteArray> before = FolderContents(FDir.path());

    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--download-under-file-size-limit"), Url(QStringLiteral("/files/tlm11.exe")),
                 Path(QStringLiteral("tlm11.exe")), QString::number(64 * 1024)});
    ASSERT_TRUE(child.waitForFinished(30000));
    EXPECT_EQ(child.exitCode(), 1) << child.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(child.readAllStandardOutput()).trimmed(),
              "Cannot write the received data: File too large");
    EXPECT_EQ(FolderContents(FDir.path()), before);
}

// ---- The save dialog asks about the name that will be written. ----

TEST_F(SafeDownloadTest, TheExtensionIsAddedBeforeTheReplaceQuestion)
{
    WriteFile(QStringLiteral("update.EXE"), OldUpdate);
    TBoxRecorder boxes;
    boxes.Answer(QStringLiteral("Save As"), {QMessageBox::No, QMessageBox::Yes});
    TUpdateSaveDialog dialog(QStringLiteral("tlm11.exe"));
    dialog.setDirectory(FDir.path());
    dialog.selectNameFilter(TUpdateSaveDialog::Filters().first());
    dialog.selectFile(Path(QStringLiteral("update")));

    dialog.accept();
    EXPECT_EQ(boxes.Captions(), QStringList{"Save As"});
    EXPECT_EQ(boxes.Boxes()[0].Text,
              Path(QStringLiteral("update.EXE")) + " already exists.\rDo you want to replace it?");
    EXPECT_EQ(boxes.Boxes()[0].Buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.FileName(), Path(QStringLiteral("update.EXE")));
    EXPECT_EQ(boxes.Boxes().size(), 2);
}

// ---- A page that cannot be read is the check's failure, with nothing left behind. ----

struct PageFaultRow {
    const char *Name;
    std::function<void(TPeer &)> Serve;
    const char *Reason;
};

class PageFaultTest : public SafeDownloadTest, public ::testing::WithParamInterface<PageFaultRow> {};

TEST_P(PageFaultTest, TheUpdateCenterShowsTheFailure)
{
    const PageFaultRow &row = GetParam();
    FWfi->SetWaitDeadline(1);
    FServer = std::make_unique<TScriptedServer>(
        [this, &row](TPeer &peer, int index) {
            const QByteArray request = peer.ReadUntil("\r\n\r\n");
            {
                QMutexLocker lock(&FMutex);
                FRequestLines << QString::fromLatin1(request.left(request.indexOf("\r\n")));
            }
            if (index == 0)
                row.Serve(peer);
            else
                peer.Write(Whole(InfoPageText(QStringLiteral("1.1.01"))));
        },
        2);
    FWfi->SetHomeURL(Url(QStringLiteral("/tallowmere.htm")));

    TBoxRecorder boxes;
    TfrmUpdate form(FWfi.get());
    form.CheckUpdate();
    EXPECT_EQ(boxes.Captions(), QStringList{"Tallowmere"});
    EXPECT_EQ(boxes.Find(QStringLiteral("Tallowmere")).Text,
              QStringLiteral("Get Info failed due to:\r\n") + QLatin1String(row.Reason));
    EXPECT_EQ(form.lblUpdateStatus->text(), "Update Status:  Unknown");
    EXPECT_EQ(form.lblVersion->text(), "Status Unknown");
    EXPECT_FALSE(form.btnRetrieveUpdate->isEnabled());
    EXPECT_EQ(FWfi->WaitWindow(), nullptr);
    EXPECT_FALSE(FWfi->Active());
    EXPECT_TRUE(FWfi->ProductVersion().isEmpty());

    // The next check reads the home page again, not an address the failed page named.
    form.CheckUpdate();
    EXPECT_EQ(form.lblVersion->text(), "1.1.01");
    EXPECT_EQ(RequestLines(), (QStringList{"GET /tallowmere.htm HTTP/1.0", "GET /tallowmere.htm HTTP/1.0"}));
}

INSTANTIATE_TEST_SUITE_P(
    SafeDownload, PageFaultTest,
    ::testing::Values(PageFaultRow{"EmptyReply", [](TPeer &peer) { peer.Close(); }, "Empty reply from the server"},
                      PageFaultRow{"CloseMidHeader",
                                   [](TPeer &peer) {
                                       peer.Write("HTTP/1.0 200 OK\r\nContent-Le");
                                       peer.Close();
                                   },
                                   "Connection closed before the reply header was complete"},
                      PageFaultRow{
                          "BadDate",
                          [](TPeer &peer) {
                              peer.Write(Whole(InfoPageText(
                                  QStringLiteral("9.9"), QString(), QString(),
                                  QStringLiteral(
                                      "<META HTTP-EQUIV=\"redirect\" CONTENT=\"http://127.0.0.1:9/elsewhere.htm\">\r\n"
                                      "<META HTTP-EQUIV=\"date\" CONTENT=\"Smarch 3, 1999\">\r\n"))));
                          },
                          "The date on the information page cannot be read (Invalid argument to date encode)"},
                      PageFaultRow{"PageTooLarge",
                                   [](TPeer &peer) {
                                       try {
                                           peer.Write(Whole(QByteArray(2 << 20, 'x')));
                                       } catch (const std::exception &) {
                                           // Refused: the client stops reading.
                                       }
                                   },
                                   "Reply larger than 1048576 bytes"},
                      PageFaultRow{"Trickle",
                                   [](TPeer &peer) {
                                       // A byte every 100 ms keeps any inactivity limit quiet; only the
                                       // deadline for the whole request ends it.
                                       try {
                                           peer.Write(Head(1000));
                                           for (int i = 0; i < 100 && !peer.WaitClosed(100); ++i)
                                               peer.Write("x");
                                       } catch (const std::exception &) {
                                           // The client gave up and closed.
                                       }
                                   },
                                   "No complete reply within 1 second"}),
    [](const ::testing::TestParamInfo<PageFaultRow> &info) { return std::string(info.param.Name); });

TEST_F(SafeDownloadTest, TheServersVersionTextIsShownLiterally)
{
    FServer = std::make_unique<TScriptedServer>(
        [](TPeer &peer, int) {
            peer.ReadUntil("\r\n\r\n");
            peer.Write(Whole(InfoPageText(QStringLiteral("<b>1.1.01</b>"))));
        },
        1);
    FWfi->SetHomeURL(Url(QStringLiteral("/tallowmere.htm")));
    TBoxRecorder boxes;
    TfrmUpdate form(FWfi.get());
    form.CheckUpdate();
    EXPECT_EQ(form.lblVersion->text(), "<b>1.1.01</b>");
    // Drawn as the characters it holds, tags and all, not as a bold "1.1.01".
    EXPECT_GE(form.lblVersion->sizeHint().width(),
              form.lblVersion->fontMetrics().horizontalAdvance(QStringLiteral("<b>1.1.01</b>")));
}
