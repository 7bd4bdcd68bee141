#include "UpdateFixture.h"

#include "update/UpdateSaveDialog.h"

#include <QCryptographicHash>
#include <QPushButton>
#include <QTest>

namespace {

// An update that proves it was started: it writes its parameters next to itself.
QByteArray UpdateScript(const QString &marker)
{
    return "#!/bin/sh\necho \"$@\" > '" + marker.toUtf8() + "'\n";
}

} // namespace

TEST(UpdateSaveDialog, FiltersAndExtensionRule)
{
    TUpdateSaveDialog dialog(QStringLiteral("tlm11.exe"));
    EXPECT_EQ(dialog.nameFilters(), TUpdateSaveDialog::Filters());
    EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
    // The dialog asks about replacing a file itself, once the extension is on the name.
    EXPECT_TRUE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(dialog.FilterIndex(), 1);
    EXPECT_TRUE(dialog.FileName().endsWith("/tlm11.exe"));

    struct Row {
        const char *name;
        int filter;
        const char *result;
    };
    const Row rows[] = {
        {"/tmp/update", 1, "/tmp/update.EXE"}, {"/tmp/update", 2, "/tmp/update.ZIP"},
        {"/tmp/update", 3, "/tmp/update"},     {"/tmp/update.bin", 1, "/tmp/update.bin"},
        {"/tmp/update.", 2, "/tmp/update."},   {"/tmp/dir.v2/update", 1, "/tmp/dir.v2/update.EXE"},
        {"/tmp/.update", 1, "/tmp/.update"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(TUpdateSaveDialog::WithDefaultExtension(QString::fromLatin1(row.name), row.filter),
                  QString::fromLatin1(row.result))
            << row.name << " " << row.filter;
}

TEST_F(UpdateTest, ExecuteUpdateReportsAFailedCheck)
{
    TBoxRecorder boxes;
    FWfi->SetHomeURL(FServer.Url(QStringLiteral("/missing.htm")));
    EXPECT_FALSE(FWfi->ExecuteUpdate());
    EXPECT_EQ(boxes.Captions(), (QStringList{"Tallowmere", "Connection Error"}));
    EXPECT_EQ(boxes.Boxes()[1].Text,
              "Could not retrieve version information from the Internet.\rError: \"Not Found.\"");
    EXPECT_EQ(boxes.Boxes()[1].Icon, QMessageBox::Warning);

    TWebFileInfo bare;
    bare.SetInfoTags(TWfiTags::ProgramTags());
    EXPECT_FALSE(bare.ExecuteUpdate());
    EXPECT_EQ(boxes.Captions(),
              (QStringList{"Tallowmere", "Connection Error", "Missing Home URL", "Connection Error"}));
    EXPECT_EQ(boxes.Boxes()[3].Text, "Could not retrieve version information from the Internet.\rError unknown.");
}

TEST_F(UpdateTest, ExecuteUpdateWithNothingNewer)
{
    TBoxRecorder boxes;
    for (const QString &version : {QString(), QStringLiteral("1.1.00"), QStringLiteral("1.1.00.5")}) {
        Publish(version, QStringLiteral("/files/tlm11.exe"));
        FWfi->SetActive(false);
        EXPECT_FALSE(FWfi->ExecuteUpdate()) << version.toStdString();
        ASSERT_FALSE(boxes.Boxes().isEmpty());
        EXPECT_EQ(boxes.Boxes().last().Caption, "No Update Found");
        EXPECT_EQ(boxes.Boxes().last().Text, "There is no update available.");
        EXPECT_EQ(boxes.Boxes().last().Icon, QMessageBox::Information);
    }
    EXPECT_EQ(boxes.Boxes().size(), 3);
}

TEST_F(UpdateTest, ExecuteUpdateDownloadsAndStartsTheUpdate)
{
    const QString marker = Path(QStringLiteral("started.txt"));
    const QByteArray script = UpdateScript(marker);
    ServeSigned(QStringLiteral("/files/tlm11"), script, "application/octet-stream", QStringLiteral("1.1.01"));
    FServer.Serve(QStringLiteral("/tlm11.txt"), TRoutedServer::Page("notes", "text/plain"));
    Publish(QStringLiteral("1.1.01"), QStringLiteral("/files/tlm11"), QStringLiteral("/tlm11.txt"),
            QStringLiteral("<META HTTP-EQUIV=\"runparams\" CONTENT=\"--from 1.1.00\">\r\n"));
    FWfi->SetOptions(wfioDisplayReadMe | wfioRunUpdate);

    TBoxRecorder boxes;
    boxes.Answer(QStringLiteral("Update Available"), {QMessageBox::No, QMessageBox::Yes});
    QString proposed;
    const QString chosen = Path(QStringLiteral("update"));
    TModalDriver driver([&](QWidget *window) {
        if (auto *dialog = qobject_cast<TUpdateSaveDialog *>(window)) {
            proposed = dialog->FileName();
            return AnswerSaveDialog(window, chosen, 1);
        }
        return false;
    });
    EXPECT_TRUE(FWfi->ExecuteUpdate());
    EXPECT_EQ(boxes.Captions(), (QStringList{"Update Available", "Update Available", "Install Update"}));
    EXPECT_EQ(boxes.Boxes()[0].Text,
              "Current version is 1.1.00.\rVersion 1.1.01 is available.\rWould you like to view the ReadMe file?");
    EXPECT_EQ(boxes.Boxes()[1].Text, "Current version is 1.1.00.\rVersion 1.1.01 is available.\rDownload the update?");
    EXPECT_EQ(boxes.Boxes()[1].Icon, QMessageBox::Question);
    EXPECT_EQ(boxes.Boxes()[2].Text, "Do you want to install the update now?\rFile: update.EXE\rFrom: 127.0.0.1\r"
                                     "Signed by: the key in tlm.ini, key " +
                                         FSigner.KeyId());
    EXPECT_EQ(boxes.Boxes()[2].Icon, QMessageBox::Question);
    EXPECT_TRUE(proposed.endsWith("/tlm11"));
    EXPECT_EQ(FServer.CountOf(QStringLiteral("/tlm11.txt")), 0); // the read-me was declined
    EXPECT_EQ(FWfi->TargetFile(), chosen + ".EXE");
    EXPECT_EQ(ReadFile(chosen + ".EXE"), script);
    ASSERT_TRUE(WaitUntil([&] { return QFile::exists(marker) && !ReadFile(marker).isEmpty(); }));
    EXPECT_EQ(ReadFile(marker), "--from 1.1.00\n");
}

TEST_F(UpdateTest, ExecuteUpdateAsksBeforeClosingTheProgram)
{
    ServeSigned(QStringLiteral("/files/tlm11.zip"), "PK\x03\x04", "application/zip", QStringLiteral("1.2"));
    Publish(QStringLiteral("1.2"), QStringLiteral("/files/tlm11.zip"));
    TBoxRecorder boxes;
    boxes.Answer(QStringLiteral("Install Update"), {QMessageBox::No});
    const QString chosen = Path(QStringLiteral("update"));
    {
        TModalDriver driver([&](QWidget *window) { return AnswerSaveDialog(window, chosen, 2); });
        EXPECT_TRUE(FWfi->ExecuteUpdate());
    }
    EXPECT_EQ(boxes.Captions(), (QStringList{"Update Available", "Install Update"}));
    EXPECT_EQ(boxes.Boxes()[1].Text, "Do you want to install the update now?\rFile: update.ZIP\rFrom: 127.0.0.1\r"
                                     "Signed by: the key in tlm.ini, key " +
                                         FSigner.KeyId() + "\rThis will close Tallowmere.");
    EXPECT_EQ(ReadFile(chosen + ".ZIP"), QByteArray("PK\x03\x04"));
    EXPECT_FALSE(QFileInfo(chosen + ".ZIP").isExecutable());

    // Without wfioRunUpdate the download is the end of it.
    FWfi->SetOptions(wfioDisplayReadMe);
    const QString plain = Path(QStringLiteral("plain"));
    TModalDriver second([&](QWidget *window) { return AnswerSaveDialog(window, plain, 3); });
    EXPECT_TRUE(FWfi->ExecuteUpdate());
    EXPECT_EQ(boxes.Captions(), (QStringList{"Update Available", "Install Update", "Update Available"}));
    EXPECT_TRUE(QFile::exists(plain));
}

TEST_F(UpdateTest, ExecuteUpdateStopsAtNoOrCancel)
{
    FServer.Serve(QStringLiteral("/files/tlm11.exe"), TRoutedServer::Page("x", "application/octet-stream"));
    Publish(QStringLiteral("1.2"), QStringLiteral("/files/tlm11.exe"));
    TBoxRecorder boxes;
    boxes.Answer(QStringLiteral("Update Available"), {QMessageBox::No});
    EXPECT_FALSE(FWfi->ExecuteUpdate());

    TModalDriver driver([](QWidget *window) { return CancelSaveDialog(window); });
    EXPECT_FALSE(FWfi->ExecuteUpdate());
    EXPECT_EQ(boxes.Captions(), (QStringList{"Update Available", "Update Available"}));
    EXPECT_EQ(FServer.CountOf(QStringLiteral("/files/tlm11.exe")), 0);
}

TEST_F(UpdateTest, SaveDialogRequiresAnExistingFolder)
{
    FServer.Serve(QStringLiteral("/files/tlm11.exe"), TRoutedServer::Page("x", "application/octet-stream"));
    Publish(QStringLiteral("1.2"), QStringLiteral("/files/tlm11.exe"));
    TBoxRecorder boxes;
    int answered = 0;
    TModalDriver driver([&](QWidget *window) {
        auto *dialog = qobject_cast<TUpdateSaveDialog *>(window);
        if (!dialog)
            return false;
        // Typed as a user types it, relative to the folder shown (selectFile() of an
        // absolute name in a missing folder would resolve it against the start folder).
        dialog->setDirectory(FDir.path());
        dialog->selectFile(QStringLiteral("no/such/update.exe"));
        dialog->accept(); // refused with a box: the dialog stays
        ++answered;
        EXPECT_TRUE(dialog->isVisible());
        return CancelSaveDialog(window);
    });
    EXPECT_FALSE(FWfi->ExecuteUpdate());
    EXPECT_EQ(answered, 1);
    EXPECT_EQ(boxes.Captions(), (QStringList{"Update Available", "Save As"}));
    EXPECT_EQ(boxes.Boxes()[1].Text,
              Path(QStringLiteral("no/such")) + "\rPath does not exist.\rCheck the path and try again.");
}

TEST_F(UpdateTest, CancelledDownloadReportsTheAbort)
{
    ServeSigned(QStringLiteral("/files/tlm11.exe"), Pattern(1 << 20), "application/octet-stream",
                QStringLiteral("1.2"));
    TRoutedServer::Reply reply = TRoutedServer::Page(Pattern(1 << 20), "application/octet-stream");
    reply.SendBytes = 100 * 1024;
    FServer.Serve(QStringLiteral("/files/tlm11.exe"), reply);
    Publish(QStringLiteral("1.2"), QStringLiteral("/files/tlm11.exe"));
    const std::shared_ptr<bool> clicked = CancelAfter16KiB(*FWfi);
    TBoxRecorder boxes;
    const QString chosen = Path(QStringLiteral("tlm11.exe"));
    TModalDriver driver([&](QWidget *window) { return AnswerSaveDialog(window, chosen, 1); });
    EXPECT_FALSE(FWfi->ExecuteUpdate());
    EXPECT_TRUE(*clicked);
    EXPECT_EQ(boxes.Captions(), (QStringList{"Update Available", "Download Error"}));
    EXPECT_EQ(boxes.Boxes()[1].Text,
              "Error occurred while downloading update.\rError: \"Connection aborted on request.\"");
    EXPECT_EQ(boxes.Boxes()[1].Icon, QMessageBox::Warning);
    EXPECT_FALSE(QFile::exists(chosen));
}

TEST_F(UpdateTest, ChecksumMismatchIsNeverStarted)
{
    const QString marker = Path(QStringLiteral("started.txt"));
    const QByteArray script = UpdateScript(marker);
    ServeSigned(QStringLiteral("/files/tlm11"), script, "application/octet-stream", QStringLiteral("1.2"));
    const QString entry = QStringLiteral("<META HTTP-EQUIV=\"sha256\" CONTENT=\"%1\">\r\n");
    QByteArray tampered = script;
    tampered.append('\n');
    Publish(QStringLiteral("1.2"), QStringLiteral("/files/tlm11"), QString(),
            entry.arg(QString::fromLatin1(QCryptographicHash::hash(tampered, QCryptographicHash::Sha256).toHex())));
    FWfi->SetOptions(wfioRunUpdate);
    TBoxRecorder boxes;
    const QString chosen = Path(QStringLiteral("tlm11.sh"));
    {
        TModalDriver driver([&](QWidget *window) { return AnswerSaveDialog(window, chosen, 3); });
        EXPECT_FALSE(FWfi->ExecuteUpdate());
    }
    EXPECT_EQ(boxes.Captions(), (QStringList{"Update Available", "Download Error"}));
    EXPECT_EQ(boxes.Boxes()[1].Text, "Error occurred while downloading update.\rError: \"The downloaded file does not "
                                     "match the published SHA-256 checksum and was not saved.\"");
    EXPECT_FALSE(QFile::exists(chosen));
    EXPECT_FALSE(QFile::exists(marker));

    // With the right checksum the same file is offered for starting.
    Publish(QStringLiteral("1.2"), QStringLiteral("/files/tlm11"), QString(),
            entry.arg(QString::fromLatin1(QCryptographicHash::hash(script, QCryptographicHash::Sha256).toHex())));
    FWfi->SetActive(false);
    boxes.Answer(QStringLiteral("Install Update"), {QMessageBox::No});
    TModalDriver second([&](QWidget *window) { return AnswerSaveDialog(window, chosen, 3); });
    EXPECT_TRUE(FWfi->ExecuteUpdate());
    EXPECT_EQ(boxes.Captions().last(), "Install Update");
    EXPECT_EQ(ReadFile(chosen), script);
}
