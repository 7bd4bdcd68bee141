#include "update/WebFileInfo.h"

#include "net/HttpProt.h"
#include "platform/core/Exceptions.h"
#include "platform/gui/Application.h"
#include "platform/gui/MessageBox.h"
#include "platform/gui/Shell.h"
#include "update/SideFile.h"
#include "update/UpdateFiles.h"
#include "update/UpdateLog.h"
#include "update/UpdateSaveDialog.h"
#include "update/WebDlProgress.h"
#include "update/WfiWindows.h"
#include "update/core/BackgroundHash.h"
#include "update/core/PageLinks.h"
#include "update/core/UpdateSignature.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QWidget>

// Receives the shared client's completion and hands it to the component whose request
// it was.
class THttpEvents : public QObject {
public:
    explicit THttpEvents(QObject *parent) : QObject(parent) {}
    void SetTarget(TWebFileInfo *target) { FTarget = target; }
    void RequestDone(quint16 error)
    {
        if (FTarget)
            FTarget->HttpRequestDone(error);
    }

private:
    QPointer<TWebFileInfo> FTarget;
};

// The application-wide exception handler while an update check runs. A value type, so
// that the component can recognise its own hook in the application's handler.
struct TWfiExceptionHook {
    QPointer<TWebFileInfo> Owner;

    void operator()(QObject *sender, const Exception &e) const
    {
        // The component may put the previous handler back, which destroys this object:
        // nothing of it is touched after the call.
        const QPointer<TWebFileInfo> owner = Owner;
        if (owner)
            owner->AppException(sender, e);
        else if (Application *app = Application::Instance())
            app->ShowException(e.Message());
    }
};

namespace {

QPointer<THttpCli> &SharedClient()
{
    static QPointer<THttpCli> client;
    return client;
}

QPointer<THttpEvents> &SharedEvents()
{
    static QPointer<THttpEvents> events;
    return events;
}

void Box(const QString &text, const QString &caption, unsigned flags)
{
    MessageBox::Show(nullptr, text, caption, flags);
}

bool Ask(const QString &text, const QString &caption)
{
    return MessageBox::Show(nullptr, text, caption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// The client refuses a second request itself, but only after we would have taken the
// running request's stream and handlers away from it.
void ThrowIfBusy(const THttpCli *cli)
{
    if (cli->State() != THttpState::Idle)
        throw EHttpException(QStringLiteral("HTTP component is busy"), ErrBusy);
}

// Follows the client through the server's redirects: each Location is resolved
// against the address it answered for, so that address ends as the one the last reply
// came from. The handler goes when the request is over (ForgetLocations).
std::shared_ptr<QString> TrackFinalAddress(THttpCli *cli, const QString &url)
{
    auto address = std::make_shared<QString>(url);
    cli->OnLocationChange = [address](QObject *sender) {
        const auto *client = static_cast<const THttpCli *>(sender);
        for (const QString &line : client->ReceivedHeader()) {
            if (line.startsWith(QLatin1String("location:"), Qt::CaseInsensitive)) {
                *address = PageLinks::Resolve(*address, line.mid(9));
                return;
            }
        }
    };
    return address;
}

QString AppTitle()
{
    const Application *app = Application::Instance();
    return app && !app->Title().isEmpty() ? app->Title() : QCoreApplication::applicationName();
}

} // namespace

TWebFileInfo::TWebFileInfo(QObject *owner) : QObject(owner) {}

TWebFileInfo::~TWebFileInfo()
{
    if (ExceptionHookInPlace())
        RestoreExceptionHandler();
    delete FWaitWindow;
    delete FProgressWindow;
    THttpCli *cli = SharedClient();
    if (cli && cli->ReceiveStream() == FReceiveStream.get())
        cli->SetReceiveStream(nullptr);
    if (cli && cli->parent() == this)
        delete cli; // takes the events object with it
}

THttpCli *TWebFileInfo::HttpCli()
{
    return SharedClient();
}

void TWebFileInfo::SetActive(bool value)
{
    if (!value)
        FActive = false;
}

void TWebFileInfo::SetHomeURL(const QString &value)
{
    if (value.size() <= 6)
        return;
    if (!value.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) && !IsHttpsUrl(value))
        return;
    FHomeURL = value;
    FActive = false;
}

void TWebFileInfo::SetTrustedKeys(const QList<TMinisignKey> &keys)
{
    FTrustedKeys = keys;
    FTrustedKeysError.clear();
}

void TWebFileInfo::SetTrustedKeysError(const QString &error)
{
    FTrustedKeys.clear();
    FTrustedKeysError = error;
    FActive = false;
}

void TWebFileInfo::SetOptions(TWfiOptions value)
{
    FOptions = value | wfioDisplayUI;
}

QFont TWebFileInfo::UIFont()
{
    if (FUIOwnerFont) {
        if (const auto *form = qobject_cast<const QWidget *>(parent()); form && form->isWindow())
            FUIFont = form->font();
    }
    return FUIFont;
}

void TWebFileInfo::SetUIFont(const QFont &font)
{
    FUIFont = font;
    FUIOwnerFont = false;
}

bool TWebFileInfo::IsNewerVersion() const
{
    return InfoPage::IsNewerVersion(FCurrentVersion, FInfo.ProductVersion, FVersionFormat);
}

void TWebFileInfo::ParseInfoPage(const QStringList &lines)
{
    InfoPage::ParseInfoPage(lines, FInfoTags, FDateFormat, FInfo);
}

QString TWebFileInfo::ExtractContent(const QString &line)
{
    return InfoPage::ExtractContent(line);
}

QDate TWebFileInfo::ParseProductDate(const QString &text) const
{
    return InfoPage::ParseProductDate(text, FDateFormat);
}

bool TWebFileInfo::GetInfo()
{
    return FetchInfo(0);
}

bool TWebFileInfo::FetchInfo(int redirectPages)
{
    if (FActive)
        return true;
    if (!FTrustedKeysError.isEmpty()) {
        // Nothing is fetched that could not be checked.
        FLastError = FTrustedKeysError;
        return false;
    }
    if (FHomeURL.isEmpty()) {
        Box(QStringLiteral("Can not retrieve version information\rbecause no home url was provided."),
            QStringLiteral("Missing Home URL"), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (FInfoTags.NoneForCheck()) {
        Box(QStringLiteral("Can not retrieve version information\rbecause no tag information was provided."),
            QStringLiteral("Missing Tag Information"), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    InstallExceptionHook();
    THttpCli *cli = PrepareHttpCli();
    const QString url = FInfo.RedirectURL.isEmpty() ? FHomeURL : FInfo.RedirectURL;
    qCDebug(lcUpdate) << "reading information page" << url;
    bool result = false;
    ThrowIfBusy(cli);
    const std::shared_ptr<QString> finalAddress = TrackFinalAddress(cli, url);
    try {
        StartRequest(cli, url, std::make_unique<QBuffer>(), FPageSizeLimit, FWaitDeadline);
        ShowWaitWindow(QStringLiteral("Checking For Update..."));
        cli->OnLocationChange = nullptr;

        const bool accepted = ReplyAccepted(cli);
        // The bare status box is for a status the server really sent; the client's own
        // failures are told by their reason alone.
        if (!accepted && cli->RequestDoneError() == 0 && cli->StatusCode() > 200)
            ShowPlainMessage(QString::number(cli->StatusCode()));
        FInfo.Clear();
        const QByteArray page = TakeReceivedBytes();
        // Every address the page names is read against where the page finally came
        // from, and only then judged.
        FPageURL = *finalAddress;
        FPageSecure = cli->Secure() || PageLinks::IsHttps(FPageURL);
        result = accepted && ReadInfoPage(page);
        if (result && !FInfo.RedirectURL.isEmpty()) {
            if (!PageLinks::IsWebAddress(FInfo.RedirectURL)) {
                FLastError = PageLinks::Refusal(FInfo.RedirectURL, FPageSecure, false);
                result = false;
            } else if (FPageSecure && !PageLinks::IsHttps(FInfo.RedirectURL)) {
                // A verified page does not hand the check on to one anybody could have
                // written.
                FLastError = QStringLiteral("Redirect refused: https to http");
                result = false;
            }
        }

        if (result && !FInfo.RedirectURL.isEmpty()) {
            if (redirectPages >= MaxRedirectPages) {
                // A page that sends the check on to itself would otherwise recurse until
                // the stack runs out.
                FLastError = QStringLiteral("Too many redirect pages (more than %1)").arg(MaxRedirectPages);
                result = false;
            } else {
                // The check succeeds only if the page it was sent on to could be read; the
                // wait window stays up meanwhile.
                result = FetchInfo(redirectPages + 1);
            }
        }
    } catch (...) {
        cli->OnLocationChange = nullptr;
        FInfo.Clear();
        FreeWaitWindow();
        throw;
    }
    // Nothing of a failed check stays behind: no values, no redirect for the next check
    // to follow instead of the home address.
    if (!result)
        FInfo.Clear();
    FreeWaitWindow();
    FActive = result;
    return result;
}

bool TWebFileInfo::ReadInfoPage(const QByteArray &page)
{
    try {
        ParseInfoPage(InfoPage::SplitLines(page));
    } catch (const EConvertError &e) {
        FInfo.Clear();
        FLastError = QStringLiteral("The date on the information page cannot be read (%1)").arg(e.Message());
        return false;
    }
    // However an address was set (an entry with an empty name fills every unset one),
    // it is resolved here like the others.
    for (QString *link : {&FInfo.DownloadURL, &FInfo.ProductReadMe, &FInfo.ProductReadMeExt, &FInfo.RedirectURL,
                          &FInfo.UpdateSignatureURL}) {
        if (!link->isEmpty())
            *link = PageLinks::Resolve(FPageURL, *link);
    }
    FUpdateFileName = UpdateFiles::FileNameOfUrl(FInfo.DownloadURL);
    return true;
}

THttpCli *TWebFileInfo::PrepareHttpCli()
{
    if (!SharedClient()) {
        auto *cli = new THttpCli(this);
        auto *events = new THttpEvents(cli);
        cli->OnRequestDone = [events](QObject *, THttpRequest, quint16 error) { events->RequestDone(error); };
        SharedClient() = cli;
        SharedEvents() = events;
    }
    THttpCli *cli = SharedClient();
    if (SharedEvents())
        SharedEvents()->SetTarget(this);
    if (FProxyHost.isEmpty()) {
        cli->SetProxy(QString());
        cli->SetProxyPort(QStringLiteral("80"));
    } else {
        cli->SetProxy(FProxyHost);
        cli->SetProxyPort(QString::number(FProxyPort));
    }
    cli->SetTimeout(FHttpTimeout);
    cli->SetCAFile(FCAFile);
    // A page read over https never sends the check on to plain http.
    cli->SetAllowDowngrade(false);
    return cli;
}

void TWebFileInfo::StartRequest(THttpCli *cli, const QString &url, std::unique_ptr<QIODevice> stream, qint64 maxBody,
                                int deadline)
{
    ThrowIfBusy(cli);
    if (!stream->isOpen())
        stream->open(QIODevice::ReadWrite);
    ReleaseReceiveStream();
    FReceiveStream = std::move(stream);
    cli->SetReceiveStream(FReceiveStream.get());
    FLastError.clear();
    cli->SetURL(url);
    cli->SetMaxBodySize(maxBody);
    cli->SetDeadline(deadline);
    FRequestDone = false;
    try {
        cli->StartGet();
    } catch (...) {
        FRequestDone = true;
        ReleaseReceiveStream();
        throw;
    }
}

void TWebFileInfo::ShowWaitWindow(const QString &message)
{
    if (!FWaitWindow)
        FWaitWindow = new TWfiWaitWindow(message, UIFont());
    else
        FWaitWindow->SetMessage(message);
    RunModal(FWaitWindow);
}

void TWebFileInfo::RunModal(QDialog *window)
{
    // The completion arrives through the message loop, so it cannot have closed the
    // window yet; should it have, showing the window would wait for ever.
    if (window && !FRequestDone)
        window->exec();
}

void TWebFileInfo::FreeWaitWindow()
{
    delete FWaitWindow;
}

QByteArray TWebFileInfo::TakeReceivedBytes()
{
    QByteArray bytes;
    if (auto *buffer = qobject_cast<QBuffer *>(FReceiveStream.get()))
        bytes = buffer->data();
    ReleaseReceiveStream();
    return bytes;
}

void TWebFileInfo::ReleaseReceiveStream()
{
    THttpCli *cli = SharedClient();
    if (cli && FReceiveStream && cli->ReceiveStream() == FReceiveStream.get())
        cli->SetReceiveStream(nullptr);
    FReceiveStream.reset();
}

void TWebFileInfo::HttpRequestDone(quint16 error)
{
    FRequestDone = true;
    THttpCli *cli = SharedClient();
    if (error != 0 && cli)
        FLastError = cli->ReasonPhrase();
    else
        FLastError.clear();
    qCDebug(lcUpdate) << "request done" << error << (cli ? cli->StatusCode() : 0) << FLastError;
    if (FWaitWindow)
        FWaitWindow->done(QDialog::Accepted);
    if (FProgressWindow)
        FProgressWindow->done(FProgressWindow->Cancelled() ? QDialog::Rejected : QDialog::Accepted);
}

bool TWebFileInfo::ReplyAccepted(THttpCli *cli)
{
    // A failure already named (by the exception hook, while the request still ran)
    // stands as it is.
    if (!FLastError.isEmpty())
        return false;
    if (cli->RequestDoneError() != 0) {
        FLastError = cli->ReasonPhrase();
        return false;
    }
    const int status = cli->StatusCode();
    if (status >= 200 && status <= 299)
        return true;
    FLastError = cli->ReasonPhrase().isEmpty() ? QStringLiteral("HTTP status %1").arg(status) : cli->ReasonPhrase();
    return false;
}

bool TWebFileInfo::DownloadFile(const QString &url, const QString &file, const QString &caption)
{
    return Download(url, file, caption, QString(), nullptr, false);
}

bool TWebFileInfo::Download(const QString &url, const QString &file, const QString &caption, const QString &sha256,
                            TUpdateSignature *signature, bool mayRun)
{
    FLastError.clear();
    THttpCli *cli = PrepareHttpCli();
    ThrowIfBusy(cli);
    auto stream = std::make_unique<TSideFile>(file);
    if (!stream->Create()) {
        // Reported like a failed download rather than as an error of the program.
        FLastError = QStringLiteral("Cannot create file %1 (%2)").arg(file, stream->errorString());
        return false;
    }
    TSideFile *sideFile = stream.get();
    // The bytes a signature covers are hashed on the side as they are written.
    const std::unique_ptr<TBackgroundHash> hash = signature ? std::make_unique<TBackgroundHash>() : nullptr;
    const QPointer<TWebFileInfo> self(this);
    cli->OnDocData = [self, hashing = hash.get()](QObject *, const char *data, int length) {
        if (hashing)
            hashing->Add(data, length);
        if (self)
            self->ProgressStep();
    };
    // Where the bytes finally come from.
    const std::shared_ptr<QString> fetchedFrom = TrackFinalAddress(cli, url);
    qCDebug(lcUpdate) << "downloading" << url << "to" << file;
    try {
        // A download may take long (the user can cancel it), but it is never larger
        // than MaxDownloadSize.
        StartRequest(cli, url, std::move(stream), FMaxDownloadSize, 0);
    } catch (...) {
        cli->OnDocData = nullptr;
        cli->OnLocationChange = nullptr;
        throw;
    }
    FProgressWindow = new TWebDlProgress(cli, UIFont());
    FProgressWindow->lblDownloading->setText(caption);
    RunModal(FProgressWindow);

    bool result = ReplyAccepted(cli);
    cli->OnDocData = nullptr;
    cli->OnLocationChange = nullptr;
    FUpdateHost = PageLinks::Host(*fetchedFrom);
    // The exception hook may have released the stream already.
    if (result && FReceiveStream.get() == sideFile)
        result = KeepDownload(*sideFile, cli->ReceivedCount(), sha256, signature, hash.get(), mayRun);
    // A side file that was not put in place goes with the stream.
    ReleaseReceiveStream();
    delete FProgressWindow;
    return result;
}

bool TWebFileInfo::KeepDownload(TSideFile &file, qint64 received, const QString &sha256, TUpdateSignature *signature,
                                TBackgroundHash *hash, bool mayRun)
{
    if (!file.Sync()) {
        FLastError = QStringLiteral("Cannot write the received data: ") + file.errorString();
        return false;
    }
    if (file.size() != received) {
        FLastError =
            QStringLiteral("Cannot write the received data: %1 of %2 bytes written").arg(file.size()).arg(received);
        return false;
    }
    // The file came over plain HTTP: when the page publishes its checksum, a file that
    // does not match never takes the target's place.
    if (!sha256.isEmpty() && file.Sha256().compare(sha256.trimmed(), Qt::CaseInsensitive) != 0) {
        FLastError = QStringLiteral("The downloaded file does not match the published SHA-256 checksum "
                                    "and was not saved");
        return false;
    }
    // The maker's signature is checked on the side file: a file it does not vouch for
    // never takes the target's place. Its hash was made from the very bytes written to
    // it, all of which the size check above found there.
    if (signature) {
        const QByteArray digest = hash ? hash->Finish() : QByteArray();
        const bool whole = hash && hash->Bytes() == file.size();
        if (!(whole ? signature->CheckHash(digest) : signature->CheckFile(file))) {
            FLastError = signature->Reason();
            return false;
        }
    }
    if (!file.PutInPlace(mayRun)) {
        FLastError = QStringLiteral("Cannot replace %1 (%2)").arg(file.Target(), file.errorString());
        return false;
    }
    return true;
}

void TWebFileInfo::ProgressStep()
{
    THttpCli *cli = SharedClient();
    if (!cli)
        return;
    const qint64 received = cli->ReceivedCount();
    const qint64 length = cli->ContentLength();
    if ((FOptions & wfioDisplayUI) && FProgressWindow)
        FProgressWindow->UpdateProgress(received, length);
    if (OnDownloadProgress)
        OnDownloadProgress(this, received, length);
}

bool TWebFileInfo::DownloadUpdate(const QString &path)
{
    if (!FActive && !GetInfo())
        return false;
    if (path.endsWith(QLatin1Char('/'))) {
        if (!UpdateFiles::UsableFileName(FUpdateFileName)) {
            FLastError = UpdateFiles::UnusableNameError(FInfo.DownloadURL);
            return false;
        }
        FTargetFile = path + FUpdateFileName;
    } else {
        FTargetFile = path;
    }
    if (const QString refusal = UnprotectedRefusal(FInfo.DownloadURL, !FInfo.UpdateSha256.isEmpty());
        !refusal.isEmpty()) {
        FLastError = refusal;
        return false;
    }
    FUpdateKey = TMinisignKey();
    FUpdateHost.clear();
    TUpdateSignature signature;
    if (!FetchSignature(signature))
        return false;
    if (!Download(FInfo.DownloadURL, FTargetFile, QStringLiteral("Downloading Update"), FInfo.UpdateSha256, &signature,
                  true))
        return false;
    FUpdateKey = signature.Key();
    return true;
}

QString TWebFileInfo::UpdateSignatureURL() const
{
    return FInfo.UpdateSignatureURL.isEmpty() ? FInfo.DownloadURL + QStringLiteral(".minisig")
                                              : FInfo.UpdateSignatureURL;
}

bool TWebFileInfo::FetchSignature(TUpdateSignature &signature)
{
    // The signature proves itself, so it may come over plain http; it is small and
    // read under the wait window with the page's limits.
    if (const QString refusal = PageLinks::Refusal(UpdateSignatureURL(), FPageSecure, true); !refusal.isEmpty()) {
        FLastError = refusal;
        return false;
    }
    THttpCli *cli = PrepareHttpCli();
    StartRequest(cli, UpdateSignatureURL(), std::make_unique<QBuffer>(), TMinisignSignature::MaxFileSize,
                 FWaitDeadline);
    ShowWaitWindow(QStringLiteral("Retrieving Signature..."));
    const bool accepted = ReplyAccepted(cli);
    const bool answered = cli->RequestDoneError() == 0;
    const int status = cli->StatusCode();
    const QByteArray bytes = TakeReceivedBytes();
    FreeWaitWindow();
    if (!accepted) {
        if (answered && (status == 404 || status == 410))
            FLastError = TUpdateSignature::NotPublished;
        return false;
    }
    const TReleaseExpectation expected{FSignedProduct, TUpdateSignature::SignedFileName(FPageURL, FInfo.DownloadURL),
                                       FInfo.ProductVersion, FCurrentVersion, QDateTime::currentDateTimeUtc().date()};
    signature = TUpdateSignature::Check(bytes, FTrustedKeys, expected);
    if (!signature.Accepted()) {
        FLastError = signature.Reason();
        return false;
    }
    return true;
}

QString TWebFileInfo::UnprotectedRefusal(const QString &url, bool checksumPublished) const
{
    // What a verified https page names over plain http could be swapped on the way,
    // unless the page vouches for it with a checksum; url is already resolved.
    return PageLinks::Refusal(url, FPageSecure, checksumPublished);
}

bool TWebFileInfo::ExecuteUpdate()
{
    if (!GetInfo()) {
        const QString text =
            FLastError.isEmpty()
                ? QStringLiteral("Could not retrieve version information from the Internet.\rError unknown.")
                : QStringLiteral("Could not retrieve version information from the Internet.\rError: \"") + FLastError +
                      QStringLiteral(".\"");
        Box(text, QStringLiteral("Connection Error"), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (!IsNewerVersion()) {
        Box(QStringLiteral("There is no update available."), QStringLiteral("No Update Found"),
            MB_OK | MB_ICONINFORMATION);
        return false;
    }
    if (FOptions & wfioDisplayReadMe)
        ShowReadMe(true);
    const QString offer =
        QStringLiteral("Current version is %1.\rVersion %2 is available.").arg(FCurrentVersion, FInfo.ProductVersion) +
        QStringLiteral("\r") + QStringLiteral("Download the update?");
    if (!Ask(offer, QStringLiteral("Update Available")))
        return false;

    QString name;
    {
        // The dialog adds the extension itself, before it asks about replacing a file.
        TUpdateSaveDialog dialog(FUpdateFileName);
        if (dialog.exec() != QDialog::Accepted)
            return false;
        name = dialog.FileName();
    }
    if (name.isEmpty())
        return false;

    if (!DownloadUpdate(name)) {
        const QString text = FLastError.isEmpty()
                                 ? QStringLiteral("Error occurred while downloading update.\rError unknown.")
                                 : QStringLiteral("Error occurred while downloading update.\rError: \"") + FLastError +
                                       QStringLiteral(".\"");
        Box(text, QStringLiteral("Download Error"), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (!(FOptions & wfioRunUpdate))
        return true;

    const bool exitDuringUpdate = FOptions.testFlag(wfioExitDuringUpdate);
    Application *app = Application::Instance();
    // The question names what will run, where it came from and who vouched for it.
    QString install = QStringLiteral(
                          "Do you want to install the update now?\rFile: %1\rFrom: %2\rSigned by: %3, key %4")
                          .arg(QFileInfo(FTargetFile).fileName(), FUpdateHost, FUpdateKey.Name(),
                               FUpdateKey.KeyIdText());
    if (exitDuringUpdate)
        install += QStringLiteral("\rThis will close %1.").arg(AppTitle());
    if (!Ask(install, QStringLiteral("Install Update")))
        return true;

    // The file that runs must be the file that was checked.
    if (const QString refusal = UpdateFiles::StartRefusal(FTargetFile); !refusal.isEmpty()) {
        Box(refusal, QStringLiteral("Update Not Started"), MB_OK | MB_ICONEXCLAMATION);
        return true;
    }
    if (Shell::Execute(QApplication::activeWindow(), QStringLiteral("open"), FTargetFile, FInfo.RunParams, QString(),
                       Shell::SW_SHOWNORMAL) > 32) {
        if (exitDuringUpdate) {
            if (app)
                app->Terminate();
            else
                QCoreApplication::quit();
        }
        return true;
    }
    Box(QStringLiteral("Can not start program."), QStringLiteral("Error"), MB_OK | MB_ICONEXCLAMATION);
    return true;
}

void TWebFileInfo::InstallExceptionHook()
{
    Application *app = Application::Instance();
    if (!app || ExceptionHookInPlace())
        return;
    FSavedHandler = app->OnException;
    app->OnException = TWfiExceptionHook{this};
    FHookInstalled = true;
}

bool TWebFileInfo::ExceptionHookInPlace() const
{
    const Application *app = Application::Instance();
    if (!app || !FHookInstalled)
        return false;
    const auto *hook = app->OnException.target<TWfiExceptionHook>();
    return hook && hook->Owner == this;
}

void TWebFileInfo::RestoreExceptionHandler()
{
    if (Application *app = Application::Instance(); app && ExceptionHookInPlace())
        app->OnException = FSavedHandler;
    FSavedHandler = nullptr;
    FHookInstalled = false;
}

void TWebFileInfo::AppException(QObject *sender, const Exception &e)
{
    const auto *http = dynamic_cast<const EHttpException *>(&e);
    if (!http) {
        if (FSavedHandler) {
            // A copy: the saved handler may itself change what is saved here.
            const auto saved = FSavedHandler;
            saved(sender, e);
        } else if (Application *app = Application::Instance()) {
            app->ShowException(e.Message());
        }
        return;
    }
    const QString message = http->Message();
    FLastError = message;
    // The windows are forgotten at once; a nested loop may still be running in them,
    // so they go when control is back in the outer loop.
    if (QPointer<TWfiWaitWindow> wait = FWaitWindow) {
        FWaitWindow = nullptr;
        wait->done(QDialog::Rejected);
        wait->deleteLater();
    }
    if (QPointer<TWebDlProgress> progress = FProgressWindow) {
        FProgressWindow = nullptr;
        progress->done(QDialog::Rejected);
        progress->deleteLater();
    }
    ReleaseReceiveStream();
    if (THttpCli *cli = SharedClient()) {
        cli->OnDocData = nullptr;
        cli->OnLocationChange = nullptr;
    }
    RestoreExceptionHandler();
    Box(QStringLiteral("Error retrieving update information.\rException: %1.").arg(message),
        QStringLiteral("Exception"), MB_OK | MB_ICONEXCLAMATION);
}
