#include "update/WebFileInfo.h"

#include "net/HttpProt.h"
#include "platform/core/Exceptions.h"
#include "platform/gui/Application.h"
#include "platform/gui/MessageBox.h"
#include "update/UpdateFiles.h"
#include "update/UpdateLog.h"
#include "update/WebDlProgress.h"
#include "update/WfiShared.h"
#include "update/WfiWindows.h"
#include "update/core/PageLinks.h"

#include <QCoreApplication>
#include <QBuffer>
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

QPointer<THttpEvents> &SharedEvents()
{
    static QPointer<THttpEvents> events;
    return events;
}

} // namespace

using namespace Wfi;

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
    if (!ReadyToCheck())
        return false;
    InstallExceptionHook();
    THttpCli *cli = PrepareHttpCli();
    const QString url = FInfo.RedirectURL.isEmpty() ? FHomeURL : FInfo.RedirectURL;
    qCDebug(lcUpdate) << "reading information page" << url;
    bool result = false;
    ThrowIfBusy(cli);
    const std::shared_ptr<QString> finalAddress = TrackFinalAddress(cli, url);
    try {
        StartRequest(cli, url, std::make_unique<QBuffer>(), FPageSizeLimit, FWaitDeadline);
        ShowWaitWindow(QCoreApplication::translate("TWebFileInfo", "Checking For Update..."));
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
            if (!RedirectAllowed()) {
                result = false;
            } else if (redirectPages >= MaxRedirectPages) {
                // A page that sends the check on to itself would otherwise recurse until
                // the stack runs out.
                FLastError = QCoreApplication::translate("TWebFileInfo", "Too many redirect pages (more than %1)")
                                 .arg(MaxRedirectPages);
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

bool TWebFileInfo::ReadyToCheck()
{
    if (!FTrustedKeysError.isEmpty()) {
        // Nothing is fetched that could not be checked.
        FLastError = FTrustedKeysError;
        return false;
    }
    if (FHomeURL.isEmpty()) {
        Box(QCoreApplication::translate("TWebFileInfo",
                                        "Can not retrieve version information\rbecause no home url was provided."),
            QCoreApplication::translate("TWebFileInfo", "Missing Home URL"), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (FInfoTags.NoneForCheck()) {
        Box(QCoreApplication::translate(
                "TWebFileInfo", "Can not retrieve version information\rbecause no tag information was provided."),
            QCoreApplication::translate("TWebFileInfo", "Missing Tag Information"), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

bool TWebFileInfo::RedirectAllowed()
{
    if (!PageLinks::IsWebAddress(FInfo.RedirectURL)) {
        FLastError = PageLinks::Refusal(FInfo.RedirectURL, FPageSecure, false);
        return false;
    }
    if (FPageSecure && !PageLinks::IsHttps(FInfo.RedirectURL)) {
        // A verified page does not hand the check on to one anybody could have
        // written.
        FLastError = QCoreApplication::translate("TWebFileInfo", "Redirect refused: https to http");
        return false;
    }
    return true;
}

bool TWebFileInfo::ReadInfoPage(const QByteArray &page)
{
    try {
        ParseInfoPage(InfoPage::SplitLines(page));
    } catch (const EConvertError &e) {
        FInfo.Clear();
        FLastError = QCoreApplication::translate("TWebFileInfo", "The date on the information page cannot be read (%1)")
                         .arg(e.Message());
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
    FLastError = cli->ReasonPhrase().isEmpty()
                     ? QCoreApplication::translate("TWebFileInfo", "HTTP status %1").arg(status)
                     : cli->ReasonPhrase();
    return false;
}

QString TWebFileInfo::UnprotectedRefusal(const QString &url, bool checksumPublished) const
{
    // What a verified https page names over plain http could be swapped on the way,
    // unless the page vouches for it with a checksum; url is already resolved.
    return PageLinks::Refusal(url, FPageSecure, checksumPublished);
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
    Box(QCoreApplication::translate("TWebFileInfo", "Error retrieving update information.\rException: %1.")
            .arg(message),
        QCoreApplication::translate("TWebFileInfo", "Exception"), MB_OK | MB_ICONEXCLAMATION);
}
