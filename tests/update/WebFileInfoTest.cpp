#include "UpdateFixture.h"

#include "platform/core/Exceptions.h"
#include "platform/gui/Fonts.h"

#include <QCryptographicHash>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QWidget>

TEST(WebFileInfo, OptionsAlwaysKeepTheUserInterfaceAndActiveCannotBeSet)
{
    TWebFileInfo wfi;
    wfi.SetOptions(wfioRunUpdate);
    EXPECT_EQ(wfi.Options(), wfioRunUpdate | wfioDisplayUI);
    wfi.SetOptions({});
    EXPECT_EQ(wfi.Options(), TWfiOptions(wfioDisplayUI));
    wfi.SetActive(true);
    EXPECT_FALSE(wfi.Active());
}

namespace {

// The address set after another one: what the component keeps.
struct HomeUrlRow {
    const char *Name;
    const char *Before;
    const char *Url;
    const char *Stored;
};

class HomeUrlSetter : public ::testing::TestWithParam<HomeUrlRow> {};

} // namespace

TEST_P(HomeUrlSetter, KeepsOnlyWebAddresses)
{
    TWebFileInfo wfi;
    wfi.SetHomeURL(QString::fromLatin1(GetParam().Before));
    wfi.SetHomeURL(QString::fromLatin1(GetParam().Url));
    EXPECT_EQ(wfi.HomeURL(), QString::fromLatin1(GetParam().Stored));
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, HomeUrlSetter,
    ::testing::Values(HomeUrlRow{"Http", "", "http://a", "http://a"},
                      // Six characters or fewer are ignored.
                      HomeUrlRow{"TooShort", "http://a", "http:/", "http://a"},
                      HomeUrlRow{"SchemeInCapitals", "http://a", "HTTP://X.Y/page.htm", "HTTP://X.Y/page.htm"},
                      HomeUrlRow{"Https", "http://a", "https://x.y/page.htm", "https://x.y/page.htm"},
                      HomeUrlRow{"Ftp", "https://x.y/page.htm", "ftp://x.y/page.htm", "https://x.y/page.htm"},
                      HomeUrlRow{"NoScheme", "https://x.y/page.htm", "www.corvane.example/", "https://x.y/page.htm"},
                      HomeUrlRow{"Empty", "https://x.y/page.htm", "", "https://x.y/page.htm"},
                      HomeUrlRow{"SchemeOnly", "https://x.y/page.htm", "http://", "http://"}),
    [](const ::testing::TestParamInfo<HomeUrlRow> &info) { return std::string(info.param.Name); });

TEST(WebFileInfo, UIFontFollowsTheOwnerUntilOneIsAssigned)
{
    QWidget form;
    const QFont formFont = Fonts::Make(QStringLiteral("Arial"), 14);
    form.setFont(formFont);
    TWebFileInfo wfi(&form);
    EXPECT_EQ(wfi.UIFont(), formFont);
    const QFont later = Fonts::Make(QStringLiteral("Arial"), 20, true);
    form.setFont(later);
    EXPECT_EQ(wfi.UIFont(), later);

    const QFont own = Fonts::Make(QStringLiteral("Arial"), -11);
    wfi.SetUIFont(own);
    EXPECT_FALSE(wfi.UIOwnerFont());
    form.setFont(formFont);
    EXPECT_EQ(wfi.UIFont(), own);

    // A child widget is no form: its font is not taken.
    QWidget child(&form);
    child.setFont(later);
    TWebFileInfo onChild(&child);
    const QFont before = onChild.UIFont();
    EXPECT_NE(before, later);
}

TEST_F(UpdateTest, MissingHomeUrlAndMissingTags)
{
    TBoxRecorder boxes;
    TWebFileInfo bare;
    bare.SetInfoTags(TWfiTags::ProgramTags());
    bare.SetHomeURL(QStringLiteral("www.corvane.example/tallowmere.htm")); // not stored
    EXPECT_FALSE(bare.GetInfo());
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].Caption, "Missing Home URL");
    EXPECT_EQ(boxes.Boxes()[0].Text, "Can not retrieve version information\rbecause no home url was provided.");
    EXPECT_EQ(boxes.Boxes()[0].Icon, QMessageBox::Warning);

    TWebFileInfo untagged;
    untagged.SetHomeURL(FServer.Url(QStringLiteral("/tallowmere.htm")));
    untagged.InfoTags().SetAuthorEMailTag(QStringLiteral("email"));
    EXPECT_FALSE(untagged.GetInfo());
    ASSERT_EQ(boxes.Boxes().size(), 2);
    EXPECT_EQ(boxes.Boxes()[1].Caption, "Missing Tag Information");
    EXPECT_EQ(boxes.Boxes()[1].Text, "Can not retrieve version information\rbecause no tag information was provided.");
    EXPECT_EQ(boxes.Boxes()[1].Icon, QMessageBox::Warning);
    EXPECT_TRUE(FServer.RequestLines().isEmpty());
}

TEST_F(UpdateTest, NewerVersionIsReadOnceAndCached)
{
    Publish(QStringLiteral("1.1.01"), QStringLiteral("/files/tlm11.exe"), QStringLiteral("/tlm11.txt"),
            QStringLiteral("<META HTTP-EQUIV=\"runparams\" CONTENT=\"--quiet\">\r\n"));
    TBoxRecorder boxes;
    TModalDriver driver([](QWidget *) { return false; });
    ASSERT_TRUE(FWfi->GetInfo());
    EXPECT_TRUE(FWfi->Active());
    EXPECT_TRUE(FWfi->LastError().isEmpty());
    EXPECT_EQ(FWfi->ProductVersion(), "1.1.01");
    EXPECT_EQ(FWfi->ProductName(), "Corvane Software");
    EXPECT_EQ(FWfi->ProductAuthor(), "Corvane Software");
    EXPECT_EQ(FWfi->ProductDateStr(), "May 2, 1999");
    EXPECT_EQ(FWfi->ProductDate(), QDate(1999, 5, 2));
    EXPECT_EQ(FWfi->DownloadURL(), FServer.Url(QStringLiteral("/files/tlm11.exe")));
    EXPECT_EQ(FWfi->UpdateFileName(), "tlm11.exe");
    EXPECT_EQ(FWfi->ProductReadMe(), FServer.Url(QStringLiteral("/tlm11.txt")));
    EXPECT_EQ(FWfi->RunParams(), "--quiet");
    EXPECT_TRUE(FWfi->IsNewerVersion());
    EXPECT_TRUE(boxes.Boxes().isEmpty());
    EXPECT_EQ(FServer.RequestLines(), QStringList{"GET /tallowmere.htm HTTP/1.0"});
    EXPECT_TRUE(driver.Seen().contains("WaitWindow"));
    EXPECT_EQ(FWfi->WaitWindow(), nullptr);
    ASSERT_NE(TWebFileInfo::HttpCli(), nullptr);
    EXPECT_EQ(TWebFileInfo::HttpCli()->ReceiveStream(), nullptr);

    // Cached: no second request until the address changes or Active is cleared.
    ASSERT_TRUE(FWfi->GetInfo());
    EXPECT_EQ(FServer.RequestLines().size(), 1);
    FWfi->SetActive(false);
    ASSERT_TRUE(FWfi->GetInfo());
    EXPECT_EQ(FServer.RequestLines().size(), 2);
    FWfi->SetHomeURL(FServer.Url(QStringLiteral("/tallowmere.htm")));
    EXPECT_FALSE(FWfi->Active());
    ASSERT_TRUE(FWfi->GetInfo());
    EXPECT_EQ(FServer.RequestLines().size(), 3);
}

TEST_F(UpdateTest, PageWithoutVersionIsNotNewer)
{
    Publish(QString(), QStringLiteral("/files/tlm11.exe"));
    ASSERT_TRUE(FWfi->GetInfo());
    EXPECT_TRUE(FWfi->ProductVersion().isEmpty());
    EXPECT_FALSE(FWfi->IsNewerVersion());

    Publish(QStringLiteral("1.1.00"));
    FWfi->SetActive(false);
    ASSERT_TRUE(FWfi->GetInfo());
    EXPECT_FALSE(FWfi->IsNewerVersion());
    EXPECT_TRUE(FWfi->DownloadURL().isEmpty()); // cleared before every read
}

TEST_F(UpdateTest, NotFoundShowsTheStatusAndFails)
{
    TBoxRecorder boxes;
    FWfi->SetHomeURL(FServer.Url(QStringLiteral("/missing.htm")));
    EXPECT_FALSE(FWfi->GetInfo());
    EXPECT_FALSE(FWfi->Active());
    EXPECT_EQ(FWfi->LastError(), "Not Found");
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].Text, "404");
    EXPECT_EQ(boxes.Boxes()[0].Caption, "Tallowmere");
    EXPECT_EQ(boxes.Boxes()[0].Icon, QMessageBox::NoIcon);
    EXPECT_EQ(FWfi->WaitWindow(), nullptr);

    // A failed check fetches again next time.
    Publish(QStringLiteral("1.2"));
    FWfi->SetHomeURL(FServer.Url(QStringLiteral("/tallowmere.htm")));
    EXPECT_TRUE(FWfi->GetInfo());
}

TEST_F(UpdateTest, ServerDownGivesTheClientsReason)
{
    TBoxRecorder boxes;
    FWfi->SetHomeURL(QStringLiteral("http://127.0.0.1:%1/tallowmere.htm").arg(ClosedPort()));
    EXPECT_FALSE(FWfi->GetInfo());
    EXPECT_TRUE(FWfi->LastError().endsWith("(Error #10061)")) << FWfi->LastError().toStdString();
    // The status box is for a status a server sent; this failure has only its reason.
    EXPECT_TRUE(boxes.Boxes().isEmpty());
}

TEST_F(UpdateTest, SilentServerTimesOutAndClosesTheWaitWindow)
{
    FServer.Serve(QStringLiteral("/tallowmere.htm"), TRoutedServer::SilentReply());
    FWfi->SetHttpTimeout(1);
    TBoxRecorder boxes;
    TModalDriver driver([](QWidget *) { return false; });
    EXPECT_FALSE(FWfi->GetInfo());
    EXPECT_TRUE(FWfi->LastError().startsWith("Timeout")) << FWfi->LastError().toStdString();
    EXPECT_TRUE(driver.Seen().contains("WaitWindow"));
    EXPECT_EQ(FWfi->WaitWindow(), nullptr);
    EXPECT_EQ(TWebFileInfo::HttpCli()->State(), THttpState::Idle);
}

TEST_F(UpdateTest, ThroughAProxyTheRequestCarriesTheWholeAddress)
{
    const QString target = QStringLiteral("http://www.corvane.example/tallowmere.htm");
    FServer.Serve(target, TRoutedServer::Page(InfoPageText(QStringLiteral("1.1.01"))));
    FWfi->SetHomeURL(target);
    FWfi->SetProxyHost(QStringLiteral("127.0.0.1"));
    FWfi->SetProxyPort(FServer.Port());
    ASSERT_TRUE(FWfi->GetInfo());
    EXPECT_EQ(FWfi->ProductVersion(), "1.1.01");
    ASSERT_EQ(FServer.RequestLines().size(), 1);
    EXPECT_EQ(FServer.RequestLines()[0], "GET " + target + " HTTP/1.0");
    EXPECT_TRUE(FServer.Requests()[0].contains("\r\nHost: www.corvane.example\r\n"));

    // Clearing the proxy goes straight to the server again.
    Publish(QStringLiteral("1.1.02"));
    FWfi->SetProxyHost(QString());
    FWfi->SetHomeURL(FServer.Url(QStringLiteral("/tallowmere.htm")));
    ASSERT_TRUE(FWfi->GetInfo());
    EXPECT_EQ(FServer.RequestLines().last(), "GET /tallowmere.htm HTTP/1.0");
    EXPECT_EQ(TWebFileInfo::HttpCli()->ProxyPort(), "80");
}

TEST_F(UpdateTest, RedirectEntriesAreFollowedUpToTheLimit)
{
    FWfi->InfoTags().SetRedirectTag(QStringLiteral("redirect"));
    const QString redirect = QStringLiteral("<META HTTP-EQUIV=\"redirect\" CONTENT=\"%1\">\r\n");
    Publish(QStringLiteral("0.1"), QString(), QString(), redirect.arg(FServer.Url(QStringLiteral("/real.htm"))));
    FServer.Serve(QStringLiteral("/real.htm"), TRoutedServer::Page(InfoPageText(QStringLiteral("1.1.01"))));
    ASSERT_TRUE(FWfi->GetInfo());
    EXPECT_TRUE(FWfi->Active());
    EXPECT_EQ(FWfi->ProductVersion(), "1.1.01");
    EXPECT_TRUE(FWfi->RedirectURL().isEmpty());
    EXPECT_EQ(FServer.RequestLines(), (QStringList{"GET /tallowmere.htm HTTP/1.0", "GET /real.htm HTTP/1.0"}));
    EXPECT_EQ(FWfi->WaitWindow(), nullptr);

    // A page sending the check to itself ends after ten redirect pages.
    FServer.Serve(QStringLiteral("/loop.htm"),
                  TRoutedServer::Page(InfoPageText(QStringLiteral("2.0"), QString(), QString(),
                                                   redirect.arg(FServer.Url(QStringLiteral("/loop.htm"))))));
    FWfi->SetHomeURL(FServer.Url(QStringLiteral("/loop.htm")));
    EXPECT_FALSE(FWfi->GetInfo());
    EXPECT_FALSE(FWfi->Active());
    EXPECT_EQ(FWfi->LastError(), "Too many redirect pages (more than 10)");
    EXPECT_EQ(FServer.CountOf(QStringLiteral("/loop.htm")), 1 + TWebFileInfo::MaxRedirectPages);
    EXPECT_EQ(FWfi->WaitWindow(), nullptr);

    // The check fails when the page it is sent on to fails.
    TBoxRecorder boxes;
    Publish(QStringLiteral("0.1"), QString(), QString(), redirect.arg(FServer.Url(QStringLiteral("/gone.htm"))));
    FWfi->SetHomeURL(FServer.Url(QStringLiteral("/tallowmere.htm")));
    EXPECT_FALSE(FWfi->GetInfo());
    EXPECT_FALSE(FWfi->Active());
    EXPECT_EQ(FWfi->LastError(), "Not Found");
    EXPECT_EQ(boxes.Captions(), QStringList{"Tallowmere"});
}

TEST_F(UpdateTest, ServerRedirectIsFollowedByTheClient)
{
    FServer.Serve(QStringLiteral("/tallowmere.htm"), TRoutedServer::Redirect("/moved.htm"));
    FServer.Serve(QStringLiteral("/moved.htm"), TRoutedServer::Page(InfoPageText(QStringLiteral("1.3"))));
    ASSERT_TRUE(FWfi->GetInfo());
    EXPECT_EQ(FWfi->ProductVersion(), "1.3");
}

TEST_F(UpdateTest, ExceptionHookChainsAndRestores)
{
    Application *app = Application::Instance();
    QStringList handled;
    app->OnException = [&handled](QObject *, const Exception &e) { handled.append(e.Message()); };
    Publish(QStringLiteral("1.2"));
    ASSERT_TRUE(FWfi->GetInfo());

    // Other exceptions reach the program's handler.
    app->HandleException(nullptr, std::make_exception_ptr(EConvertError(QStringLiteral("not mine"))));
    EXPECT_EQ(handled, QStringList{"not mine"});

    // An HTTP exception is the update check's: reported, and the handler put back.
    TBoxRecorder boxes;
    app->HandleException(nullptr, std::make_exception_ptr(EHttpException(QStringLiteral("boom"), ErrBusy)));
    EXPECT_EQ(handled, QStringList{"not mine"});
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].Caption, "Exception");
    EXPECT_EQ(boxes.Boxes()[0].Text, "Error retrieving update information.\rException: boom.");
    EXPECT_EQ(boxes.Boxes()[0].Icon, QMessageBox::Warning);
    EXPECT_EQ(FWfi->LastError(), "boom");
    app->HandleException(nullptr, std::make_exception_ptr(EHttpException(QStringLiteral("later"), ErrBusy)));
    EXPECT_EQ(handled, (QStringList{"not mine", "later"}));
    EXPECT_EQ(boxes.Boxes().size(), 1);

    // The next check installs it again, once; destroying the component puts it back.
    FWfi->SetActive(false);
    ASSERT_TRUE(FWfi->GetInfo());
    FWfi->SetActive(false);
    ASSERT_TRUE(FWfi->GetInfo());
    FWfi.reset();
    app->HandleException(nullptr, std::make_exception_ptr(EHttpException(QStringLiteral("gone"), ErrBusy)));
    EXPECT_EQ(handled, (QStringList{"not mine", "later", "gone"}));
    app->OnException = nullptr;
}

TEST_F(UpdateTest, HttpExceptionDuringTheCheckClosesTheWaitWindow)
{
    FServer.Serve(QStringLiteral("/tallowmere.htm"), TRoutedServer::SilentReply());
    TBoxRecorder boxes;
    bool thrown = false;
    TModalDriver driver([&thrown](QWidget *window) {
        if (window->objectName() != "WaitWindow" || thrown)
            return false;
        thrown = true;
        // An event handler that fails with an HTTP error while the check waits.
        QTimer::singleShot(0, [] { throw EHttpException(QStringLiteral("HTTP component is busy"), ErrBusy); });
        return true;
    });
    EXPECT_FALSE(FWfi->GetInfo());
    EXPECT_TRUE(thrown);
    EXPECT_EQ(FWfi->LastError(), "HTTP component is busy");
    EXPECT_EQ(boxes.Captions(), QStringList{"Exception"});
    EXPECT_EQ(boxes.Boxes()[0].Text, "Error retrieving update information.\rException: HTTP component is busy.");
    EXPECT_EQ(FWfi->WaitWindow(), nullptr);
    THttpCli *cli = TWebFileInfo::HttpCli();
    EXPECT_EQ(cli->ReceiveStream(), nullptr);

    // The request still runs; a new check is refused while it does, and works after.
    EXPECT_THROW(FWfi->GetInfo(), EHttpException);
    cli->Abort();
    EXPECT_TRUE(WaitUntil([cli] { return cli->State() == THttpState::Idle; }));
    QCoreApplication::processEvents();
    Publish(QStringLiteral("1.2"));
    EXPECT_TRUE(FWfi->GetInfo());
}

TEST_F(UpdateTest, DownloadFileReportsProgressAndShowsTheFinalState)
{
    const QByteArray body = Pattern(300000);
    FServer.Serve(QStringLiteral("/files/tlm11.exe"), TRoutedServer::Page(body, "application/octet-stream"));
    QList<QPair<qint64, qint64>> progress;
    FWfi->OnDownloadProgress = [&progress](QObject *, qint64 received, qint64 size) {
        progress.append({received, size});
    };
    QString caption, finalText;
    int finalPosition = -1;
    TModalDriver driver([&](QWidget *window) {
        auto *dl = qobject_cast<TWebDlProgress *>(window);
        if (!dl)
            return false;
        caption = dl->lblDownloading->text();
        QObject::connect(dl, &QDialog::finished, dl, [&finalText, &finalPosition, dl] {
            finalText = dl->lblProgress->text();
            finalPosition = dl->pbarProgress->value();
        });
        return true;
    });
    const QString file = Path(QStringLiteral("tlm11.exe"));
    ASSERT_TRUE(FWfi->DownloadFile(FServer.Url(QStringLiteral("/files/tlm11.exe")), file,
                                   QStringLiteral("Downloading Update")));
    EXPECT_TRUE(FWfi->LastError().isEmpty());
    EXPECT_EQ(ReadFile(file), body);
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last().first, body.size());
    for (const auto &[received, size] : progress)
        EXPECT_EQ(size, body.size());
    EXPECT_EQ(caption, "Downloading Update");
    EXPECT_EQ(finalText, "300,000 of 300,000 bytes received.");
    EXPECT_EQ(finalPosition, 100);
    EXPECT_EQ(FWfi->ProgressWindow(), nullptr);
    EXPECT_FALSE(TWebFileInfo::HttpCli()->OnDocData);
    EXPECT_EQ(TWebFileInfo::HttpCli()->ReceiveStream(), nullptr);
}

TEST_F(UpdateTest, DownloadWithoutLengthLeavesTheBar)
{
    const QByteArray body = Pattern(5000);
    FServer.Serve(QStringLiteral("/readme.txt"), TRoutedServer::Page(body, "text/plain", false));
    qint64 lastSize = 0;
    FWfi->OnDownloadProgress = [&lastSize](QObject *, qint64, qint64 size) { lastSize = size; };
    QString finalText;
    int finalPosition = -1;
    TModalDriver driver([&](QWidget *window) {
        auto *dl = qobject_cast<TWebDlProgress *>(window);
        if (!dl)
            return false;
        QObject::connect(dl, &QDialog::finished, dl, [&finalText, &finalPosition, dl] {
            finalText = dl->lblProgress->text();
            finalPosition = dl->pbarProgress->value();
        });
        return true;
    });
    ASSERT_TRUE(FWfi->DownloadFile(FServer.Url(QStringLiteral("/readme.txt")), Path(QStringLiteral("r.txt")),
                                   QStringLiteral("Downloading ReadMe")));
    EXPECT_EQ(lastSize, -1);
    EXPECT_EQ(finalText, "5,000 of -1 bytes received.");
    EXPECT_EQ(finalPosition, 0);
}

TEST_F(UpdateTest, FailedDownloadsLeaveNoFile)
{
    const QString file = Path(QStringLiteral("missing.exe"));
    EXPECT_FALSE(FWfi->DownloadFile(FServer.Url(QStringLiteral("/files/missing.exe")), file,
                                    QStringLiteral("Downloading Update")));
    EXPECT_EQ(FWfi->LastError(), "Not Found");
    EXPECT_FALSE(QFile::exists(file));

    const QString nowhere = Path(QStringLiteral("no/such/folder/update.exe"));
    EXPECT_FALSE(FWfi->DownloadFile(FServer.Url(QStringLiteral("/files/missing.exe")), nowhere,
                                    QStringLiteral("Downloading Update")));
    EXPECT_TRUE(FWfi->LastError().startsWith("Cannot create file " + nowhere)) << FWfi->LastError().toStdString();
    EXPECT_EQ(FServer.RequestLines().size(), 1);
}

TEST_F(UpdateTest, CancelHalfWayAbortsTheDownload)
{
    TRoutedServer::Reply reply = TRoutedServer::Page(Pattern(1 << 20), "application/octet-stream");
    reply.SendBytes = 64 * 1024;
    FServer.Serve(QStringLiteral("/files/tlm11.exe"), reply);
    const std::shared_ptr<bool> clicked = CancelAfter16KiB(*FWfi);
    const QString file = Path(QStringLiteral("tlm11.exe"));
    EXPECT_FALSE(FWfi->DownloadFile(FServer.Url(QStringLiteral("/files/tlm11.exe")), file,
                                    QStringLiteral("Downloading Update")));
    EXPECT_TRUE(*clicked);
    EXPECT_EQ(FWfi->LastError(), "Connection aborted on request");
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(UpdateTest, DownloadUpdateNamesTheFileFromTheAddress)
{
    const QByteArray body = Pattern(1000);
    ServeSigned(QStringLiteral("/files/tlm11.exe"), body, "application/octet-stream", QStringLiteral("1.2"));
    Publish(QStringLiteral("1.2"), QStringLiteral("/files/tlm11.exe"));
    const QString folder = FDir.path() + QLatin1Char('/');
    ASSERT_TRUE(FWfi->DownloadUpdate(folder));
    EXPECT_EQ(FWfi->TargetFile(), folder + "tlm11.exe");
    EXPECT_EQ(ReadFile(folder + "tlm11.exe"), body);

    ASSERT_TRUE(FWfi->DownloadUpdate(Path(QStringLiteral("chosen.bin"))));
    EXPECT_EQ(FWfi->TargetFile(), Path(QStringLiteral("chosen.bin")));
    EXPECT_EQ(ReadFile(Path(QStringLiteral("chosen.bin"))), body);

    // An address without "/" is its own file name.
    FServer.Serve(QStringLiteral("/tallowmere.htm"),
                  TRoutedServer::Page(InfoPageText(QStringLiteral("1.2"), QStringLiteral("tlm11.exe"))));
    FWfi->SetActive(false);
    ASSERT_TRUE(FWfi->GetInfo());
    EXPECT_EQ(FWfi->UpdateFileName(), "tlm11.exe");
}

namespace {

struct NoFileRow {
    const char *name;
    // As the page writes it, and resolved against the page.
    const char *path;
    const char *resolved;
};

class AddressWithoutAFile : public UpdateTest, public ::testing::WithParamInterface<NoFileRow> {};

} // namespace

// Names that are no file in the folder are refused before anything is written.
TEST_P(AddressWithoutAFile, IsRefusedBeforeAnythingIsWritten)
{
    const QString path = QString::fromLatin1(GetParam().path);
    FServer.Serve(QStringLiteral("/tallowmere.htm"),
                  TRoutedServer::Page(InfoPageText(QStringLiteral("1.2"), path, QString(), QString())));
    const int requests = int(FServer.RequestLines().size());
    EXPECT_FALSE(FWfi->DownloadUpdate(FDir.path() + QLatin1Char('/')));
    EXPECT_EQ(FWfi->LastError(),
              "The address " + FServer.Url(QString::fromLatin1(GetParam().resolved)) + " names no file to save");
    EXPECT_EQ(FServer.RequestLines().size(), requests + 1); // only the page was read
    EXPECT_TRUE(QFileInfo(FDir.path()).isDir());
    EXPECT_EQ(QDir(FDir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"tlm.ini"});
}

INSTANTIATE_TEST_SUITE_P(Paths, AddressWithoutAFile,
                         ::testing::Values(NoFileRow{"FolderOnly", "/files/", "/files/"},
                                           NoFileRow{"Dot", "/files/.", "/files/"},
                                           NoFileRow{"DotDot", "/files/..", "/"},
                                           NoFileRow{"RelativeFolder", "files/", "/files/"}),
                         [](const ::testing::TestParamInfo<NoFileRow> &info) { return std::string(info.param.name); });

TEST_F(UpdateTest, PublishedChecksumGuardsTheDownload)
{
    const QByteArray body = Pattern(70000);
    ServeSigned(QStringLiteral("/files/tlm11.exe"), body, "application/octet-stream", QStringLiteral("1.2"));
    const QString digest = QString::fromLatin1(QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex());
    const QString entry = QStringLiteral("<META HTTP-EQUIV=\"sha256\" CONTENT=\"%1\">\r\n");
    Publish(QStringLiteral("1.2"), QStringLiteral("/files/tlm11.exe"), QString(), entry.arg(digest.toUpper()));
    const QString file = Path(QStringLiteral("good.exe"));
    ASSERT_TRUE(FWfi->DownloadUpdate(file));
    EXPECT_EQ(FWfi->UpdateSha256(), digest.toUpper());
    EXPECT_EQ(ReadFile(file), body);

    QString wrong = digest;
    wrong[0] = wrong[0] == QLatin1Char('0') ? QLatin1Char('1') : QLatin1Char('0');
    Publish(QStringLiteral("1.2"), QStringLiteral("/files/tlm11.exe"), QString(), entry.arg(wrong));
    FWfi->SetActive(false);
    const QString bad = Path(QStringLiteral("bad.exe"));
    EXPECT_FALSE(FWfi->DownloadUpdate(bad));
    EXPECT_FALSE(QFile::exists(bad));
    EXPECT_EQ(FWfi->LastError(), "The downloaded file does not match the published SHA-256 checksum and was not saved");
}

TEST_F(UpdateTest, ReadMeWindowShowsTheText)
{
    Publish(QStringLiteral("1.1.01"), QStringLiteral("/files/tlm11.exe"), QStringLiteral("/tlm11.txt"));
    FServer.Serve(QStringLiteral("/tlm11.txt"), TRoutedServer::Page("What is new\r\nin 1.1.01\r\n", "text/plain"));
    TBoxRecorder boxes;
    QString shown;
    TModalDriver driver([&shown](QWidget *window) {
        auto *readMe = qobject_cast<TWfiReadMeWindow *>(window);
        if (!readMe)
            return false;
        shown = readMe->memReadMe->toPlainText();
        QTest::mouseClick(readMe->btnOk, Qt::LeftButton);
        return true;
    });
    EXPECT_TRUE(FWfi->ShowReadMe(true));
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].Caption, "Update Available");
    EXPECT_EQ(boxes.Boxes()[0].Text,
              "Current version is 1.1.00.\rVersion 1.1.01 is available.\rWould you like to view the ReadMe file?");
    EXPECT_EQ(boxes.Boxes()[0].Icon, QMessageBox::Question);
    EXPECT_EQ(shown, "What is new\nin 1.1.01");
    EXPECT_EQ(driver.Seen(), (QStringList{"WaitWindow", "WaitWindow", "ReadMeWindow"}));
    EXPECT_EQ(FWfi->WaitWindow(), nullptr);

    // No: nothing is fetched.
    boxes.Answer(QStringLiteral("Update Available"), {QMessageBox::No});
    const int requests = int(FServer.RequestLines().size());
    EXPECT_FALSE(FWfi->ShowReadMe(true));
    EXPECT_EQ(FServer.RequestLines().size(), requests);
}

TEST_F(UpdateTest, ReadMeThatFailsShowsNoWindow)
{
    Publish(QStringLiteral("1.1.01"), QStringLiteral("/files/tlm11.exe"), QStringLiteral("/gone.txt"));
    TBoxRecorder boxes;
    TModalDriver driver([](QWidget *window) {
        if (auto *readMe = qobject_cast<TWfiReadMeWindow *>(window)) {
            readMe->accept();
            return true;
        }
        return false;
    });
    EXPECT_TRUE(FWfi->ShowReadMe(false));
    EXPECT_FALSE(driver.Seen().contains("ReadMeWindow"));
    EXPECT_EQ(FWfi->LastError(), "Not Found");
    EXPECT_TRUE(boxes.Boxes().isEmpty());

    Publish(QStringLiteral("1.1.01"));
    FWfi->SetActive(false);
    EXPECT_FALSE(FWfi->ShowReadMe(false)); // nothing to read
}

TEST_F(UpdateTest, ComponentsShareOneClient)
{
    Publish(QStringLiteral("1.2"));
    ASSERT_TRUE(FWfi->GetInfo());
    THttpCli *shared = TWebFileInfo::HttpCli();
    ASSERT_NE(shared, nullptr);

    // A second component uses the same client, and its own check completes.
    TWebFileInfo second;
    second.SetInfoTags(TWfiTags::ProgramTags());
    second.SetHomeURL(FServer.Url(QStringLiteral("/tallowmere.htm")));
    second.SetHttpTimeout(10);
    ASSERT_TRUE(second.GetInfo());
    EXPECT_EQ(TWebFileInfo::HttpCli(), shared);
    EXPECT_EQ(second.ProductVersion(), "1.2");

    // The client goes with the component that created it; the next check makes another.
    FWfi.reset();
    EXPECT_EQ(TWebFileInfo::HttpCli(), nullptr);
    second.SetActive(false);
    ASSERT_TRUE(second.GetInfo());
    ASSERT_NE(TWebFileInfo::HttpCli(), nullptr);
    EXPECT_EQ(TWebFileInfo::HttpCli()->parent(), &second);
}
