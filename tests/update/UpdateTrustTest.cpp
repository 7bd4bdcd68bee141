#include "UpdateFixture.h"

#include "update/Update.h"
#include "update/UpdateFiles.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>

#include <sys/stat.h>

// What the update service trusts, through its public paths against a loopback server:
// the addresses a page names are read against the page, the external read-me is opened
// only as a document, and the file that runs can be neither a setuid program nor a file
// somebody else swapped.

namespace {

const QByteArray OldUpdate = "the update the user already has\n";
const QByteArray ElfHead("\x7F"
                         "ELF\x02\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x3E\x00",
                         20);

QByteArray StartScript(const QString &marker)
{
    return "#!/bin/sh\necho \"$@\" > '" + marker.toUtf8() + "'\n";
}

mode_t ModeOf(const QString &path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? (info.st_mode & 07777) : mode_t(0xFFFF);
}

// ---- The external read-me by what it holds. ----

struct ReadMeRow {
    const char *Name;
    // The last segment of the page's relative link (served under /docs/).
    const char *File;
    QByteArray Bytes;
    // The name it is kept under; empty when it is no document and is not kept.
    const char *KeptAs;
};

class ExternalReadMe : public UpdateTest, public ::testing::WithParamInterface<ReadMeRow> {};

// ---- The mode of the file that replaces a setuid, setgid, world-writable one. ----

struct ModeRow {
    const char *Name;
    QByteArray Bytes;
    mode_t Mode;
};

class ReplacedFileMode : public UpdateTest, public ::testing::WithParamInterface<ModeRow> {};

// ---- Starting the update from a folder other users may write to. ----

struct FolderRow {
    const char *Name;
    mode_t FolderMode;
    bool Started;
};

class SharedFolder : public UpdateTest, public ::testing::WithParamInterface<FolderRow> {};

} // namespace

TEST_P(ExternalReadMe, IsOpenedOnlyAsADocument)
{
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        GTEST_SKIP() << "the desktop would open a viewer";
    const ReadMeRow &row = GetParam();
    const QString file = QString::fromLatin1(row.File);
    // The program has no entry name for the external read-me; a page may still set it.
    FWfi->InfoTags().SetReadMeExtTag(QStringLiteral("readmeext"));
    Publish(QStringLiteral("1.2"), QString(), QString(),
            QStringLiteral("<META HTTP-EQUIV=\"readmeext\" CONTENT=\"docs/%1\">\r\n").arg(file));
    FServer.Serve(QStringLiteral("/docs/") + file, TRoutedServer::Page(row.Bytes, "application/octet-stream"));
    const QString folder = UpdateFiles::ReadMeFolder();
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        QFile::remove(folder + name);

    TBoxRecorder boxes;
    EXPECT_TRUE(FWfi->ShowReadMe(false));
    EXPECT_EQ(FServer.CountOf(QStringLiteral("/docs/") + file), 1);
    // Offscreen has no viewer, so even a document ends in the "Can not start program." box.
    EXPECT_EQ(boxes.Captions(), QStringList{"Error"});
    const QString keptAs = QString::fromLatin1(row.KeptAs);
    if (keptAs.isEmpty()) {
        EXPECT_EQ(FWfi->LastError(), "The read-me " + FServer.Url(QStringLiteral("/docs/") + file) +
                                         " is not a text, HTML or PDF document; it is not opened");
        EXPECT_TRUE(QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty());
        return;
    }
    EXPECT_EQ(FWfi->LastError(), "No viewer opened " + folder + keptAs);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{keptAs});
    EXPECT_EQ(ReadFile(folder + keptAs), row.Bytes);
    // Never made executable, whatever it holds, in a folder nobody else may enter.
    EXPECT_EQ(ModeOf(folder + keptAs), mode_t(0600));
    EXPECT_EQ(ModeOf(folder) & 077, mode_t(0));
}

INSTANTIATE_TEST_SUITE_P(
    Content, ExternalReadMe,
    ::testing::Values(ReadMeRow{"Text", "notes.txt", "What is new in 1.2\n", "notes.txt"},
                      ReadMeRow{"Html", "notes.htm", "\xEF\xBB\xBF\n  <!DOCTYPE html>\n<html><p>New</p></html>\n",
                                "notes.htm"},
                      ReadMeRow{"Pdf", "guide.pdf",
                                QByteArray("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n1 0 obj\n<<>>\nendobj\n", 33), "guide.pdf"},
                      // The name says nothing: a desktop entry's text is kept as text.
                      ReadMeRow{"DesktopEntryNamed", "notes.desktop",
                                "[Desktop Entry]\nType=Application\nExec=sh -c id\n", "notes.desktop.txt"},
                      ReadMeRow{"ScriptIsTextNeverAProgram", "run.sh", "#!/bin/sh\nid\n", "run.sh.txt"},
                      ReadMeRow{"HtmlUnderAnotherName", "notes", "<HTML>\n<BODY>New</BODY></HTML>\n", "notes.html"},
                      ReadMeRow{"ElfNamedAsText", "notes.txt", ElfHead, ""},
                      ReadMeRow{"ZipNamedAsPdf", "notes.pdf", QByteArray("PK\x03\x04\x14\x00\x00\x00", 8), ""},
                      ReadMeRow{"Empty", "notes.txt", "", ""}),
    [](const ::testing::TestParamInfo<ReadMeRow> &info) { return std::string(info.param.Name); });

TEST_P(ReplacedFileMode, IsTheOwnersAloneWhateverItReplaces)
{
    const ModeRow &row = GetParam();
    ServeSigned(QStringLiteral("/files/tlm12"), row.Bytes, "application/octet-stream", QStringLiteral("1.2"));
    Publish(QStringLiteral("1.2"), QStringLiteral("/files/tlm12"));
    const QString target = Path(QStringLiteral("tlm12"));
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(OldUpdate);
    old.close();
    ASSERT_EQ(::chmod(QFile::encodeName(target).constData(), 06777), 0);
    ASSERT_EQ(ModeOf(target), mode_t(06777));

    ASSERT_TRUE(FWfi->DownloadUpdate(target)) << FWfi->LastError().toStdString();
    EXPECT_EQ(ReadFile(target), row.Bytes);
    EXPECT_EQ(ModeOf(target), row.Mode) << std::oct << ModeOf(target);
}

INSTANTIATE_TEST_SUITE_P(Content, ReplacedFileMode,
                         ::testing::Values(ModeRow{"Script", "#!/bin/sh\necho new\n", 0700},
                                           ModeRow{"ElfProgram", ElfHead, 0700},
                                           ModeRow{"Archive", QByteArray("PK\x03\x04\x14\x00", 6), 0600}),
                         [](const ::testing::TestParamInfo<ModeRow> &info) { return std::string(info.param.Name); });

TEST_P(SharedFolder, StartsTheUpdateOnlyWhenNobodyElseCanSwapIt)
{
    const FolderRow &row = GetParam();
    const QString folder = Path(QStringLiteral("shared"));
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), row.FolderMode), 0);
    const QString marker = Path(QStringLiteral("started.txt"));
    const QByteArray script = StartScript(marker);
    ServeSigned(QStringLiteral("/files/tlm12.sh"), script, "application/x-sh", QStringLiteral("1.2"));
    Publish(QStringLiteral("1.2"), QStringLiteral("/files/tlm12.sh"));
    FWfi->SetOptions(wfioRunUpdate);

    const QString target = folder + QStringLiteral("/tlm12.sh");
    TBoxRecorder boxes;
    TModalDriver driver([&](QWidget *window) { return AnswerSaveDialog(window, target, 3); });
    EXPECT_TRUE(FWfi->ExecuteUpdate());
    // The file is kept either way.
    EXPECT_EQ(ReadFile(target), script);
    if (row.Started) {
        EXPECT_EQ(boxes.Captions(), (QStringList{"Update Available", "Install Update"}));
        EXPECT_TRUE(WaitUntil([&] { return !ReadFile(marker).isEmpty(); }));
        return;
    }
    EXPECT_EQ(boxes.Captions(), (QStringList{"Update Available", "Install Update", "Update Not Started"}));
    EXPECT_EQ(boxes.Find(QStringLiteral("Update Not Started")).Text,
              "The update was saved as " + target +
                  " but was not started: other users can replace files in the folder " + folder +
                  ", so the file that would run might not be the file that was checked.\r"
                  "Move it to a folder only you can write to and start it from there.");
    EXPECT_FALSE(WaitUntil([&] { return QFile::exists(marker); }, 300));
}

INSTANTIATE_TEST_SUITE_P(Folders, SharedFolder,
                         ::testing::Values(FolderRow{"WorldWritable", 0777, false},
                                           FolderRow{"GroupWritable", 0770, false},
                                           FolderRow{"WorldWritableSticky", 01777, true},
                                           FolderRow{"OwnersAlone", 0700, true}),
                         [](const ::testing::TestParamInfo<FolderRow> &info) { return std::string(info.param.Name); });

TEST_F(UpdateTest, ADownloadLargerThanTheLimitFails)
{
    ServeSigned(QStringLiteral("/files/tlm12"), Pattern(4096), "application/octet-stream", QStringLiteral("1.2"));
    Publish(QStringLiteral("1.2"), QStringLiteral("/files/tlm12"));
    FWfi->SetMaxDownloadSize(1000);
    EXPECT_FALSE(FWfi->DownloadUpdate(Path(QStringLiteral("tlm12"))));
    EXPECT_EQ(FWfi->LastError(), "Reply larger than 1000 bytes");
    EXPECT_FALSE(QFile::exists(Path(QStringLiteral("tlm12"))));
    FWfi->SetMaxDownloadSize(4096);
    EXPECT_TRUE(FWfi->DownloadUpdate(Path(QStringLiteral("tlm12")))) << FWfi->LastError().toStdString();
}

// The whole path as the user takes it, from a page that names everything relative to
// itself and that the server moved: the links are read against where the page finally
// came from, and a host-looking link is a path on that server.
TEST_F(UpdateTest, TheUpdateCenterFollowsRelativeLinksFromTheFinalPage)
{
    const QString marker = Path(QStringLiteral("started.txt"));
    ServeSigned(QStringLiteral("/soft/files/tlm12.sh"), StartScript(marker), "application/x-sh", QStringLiteral("1.2"));
    FServer.Serve(QStringLiteral("/soft/www.corvane.example/notes.txt"),
                  TRoutedServer::Page("New in 1.2", "text/plain"));
    FServer.Serve(QStringLiteral("/start.htm"), TRoutedServer::Redirect("/soft/tallowmere.htm"));
    FServer.Serve(QStringLiteral("/soft/tallowmere.htm"),
                  TRoutedServer::Page(InfoPageText(QStringLiteral("1.2"), QStringLiteral("files/tlm12.sh"),
                                                   QStringLiteral("www.corvane.example/notes.txt"),
                                                   QStringLiteral("<META HTTP-EQUIV=\"runparams\" "
                                                                  "CONTENT=\"--relative\">\r\n"))));
    FWfi->SetHomeURL(FServer.Url(QStringLiteral("/start.htm")));
    FWfi->SetOptions(wfioDisplayReadMe | wfioRunUpdate);

    TBoxRecorder boxes;
    QString readMe;
    TModalDriver driver([&](QWidget *window) {
        if (auto *readMeWindow = qobject_cast<TWfiReadMeWindow *>(window)) {
            readMe = readMeWindow->memReadMe->toPlainText();
            readMeWindow->accept();
            return true;
        }
        return AnswerSaveDialog(window, Path(QStringLiteral("tlm12.sh")), 3);
    });
    TfrmUpdate form(FWfi.get());
    form.show();
    form.activateWindow();
    ASSERT_TRUE(WaitUntil([&] { return form.btnRetrieveUpdate->isEnabled(); }));
    EXPECT_EQ(form.lblURL->text(), FServer.Url(QStringLiteral("/soft/files/tlm12.sh")));
    QTest::mouseClick(form.btnRetrieveUpdate, Qt::LeftButton);

    EXPECT_EQ(boxes.Captions(), (QStringList{"Update Available", "Update Available", "Install Update"}));
    EXPECT_EQ(readMe, "New in 1.2");
    EXPECT_EQ(boxes.Find(QStringLiteral("Install Update")).Text,
              "Do you want to install the update now?\rFile: tlm12.sh\rFrom: 127.0.0.1\r"
              "Signed by: the key in tlm.ini, key " +
                  FSigner.KeyId());
    ASSERT_TRUE(WaitUntil([&] { return !ReadFile(marker).isEmpty(); }));
    EXPECT_EQ(ReadFile(marker), "--relative\n");
    EXPECT_EQ(FServer.RequestLines(),
              (QStringList{"GET /start.htm HTTP/1.0", "GET /soft/tallowmere.htm HTTP/1.0",
                           "GET /soft/www.corvane.example/notes.txt HTTP/1.0",
                           "GET /soft/files/tlm12.sh.minisig HTTP/1.0", "GET /soft/files/tlm12.sh HTTP/1.0"}));
}
