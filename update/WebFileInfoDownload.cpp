#include "update/WebFileInfo.h"

#include "net/HttpProt.h"
#include "platform/gui/Application.h"
#include "platform/gui/MessageBox.h"
#include "platform/gui/Shell.h"
#include "update/SideFile.h"
#include "update/UpdateFiles.h"
#include "update/UpdateLog.h"
#include "update/UpdateSaveDialog.h"
#include "update/WebDlProgress.h"
#include "update/WfiShared.h"
#include "update/core/BackgroundHash.h"
#include "update/core/PageLinks.h"
#include "update/core/UpdateSignature.h"

#include <QCoreApplication>
#include <QBuffer>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>

// The download and the start: the update's signature, the update itself through a side
// file with its progress window, and the questions around them.

using namespace Wfi;

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
        FLastError =
            QCoreApplication::translate("TWebFileInfo", "Cannot create file %1 (%2)").arg(file, stream->errorString());
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
        FLastError =
            QCoreApplication::translate("TWebFileInfo", "Cannot write the received data: %1").arg(file.errorString());
        return false;
    }
    if (file.size() != received) {
        FLastError = QCoreApplication::translate("TWebFileInfo",
                                                 "Cannot write the received data: %1 of %2 bytes written")
                         .arg(file.size())
                         .arg(received);
        return false;
    }
    // The file came over plain HTTP: when the page publishes its checksum, a file that
    // does not match never takes the target's place.
    if (!sha256.isEmpty() && file.Sha256().compare(sha256.trimmed(), Qt::CaseInsensitive) != 0) {
        FLastError = QCoreApplication::translate("TWebFileInfo",
                                                 "The downloaded file does not match the published SHA-256 checksum "
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
        FLastError = QCoreApplication::translate("TWebFileInfo", "Cannot replace %1 (%2)")
                         .arg(file.Target(), file.errorString());
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
    if (!Download(FInfo.DownloadURL, FTargetFile, QCoreApplication::translate("TWebFileInfo", "Downloading Update"),
                  FInfo.UpdateSha256, &signature, true))
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
    ShowWaitWindow(QCoreApplication::translate("TWebFileInfo", "Retrieving Signature..."));
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

bool TWebFileInfo::ExecuteUpdate()
{
    if (!GetInfo()) {
        const QString text = FLastError.isEmpty()
                                 ? QCoreApplication::translate(
                                       "TWebFileInfo",
                                       "Could not retrieve version information from the Internet.\rError unknown.")
                                 : QCoreApplication::translate(
                                       "TWebFileInfo",
                                       "Could not retrieve version information from the Internet.\rError: \"%1.\"")
                                       .arg(FLastError);
        Box(text, QCoreApplication::translate("TWebFileInfo", "Connection Error"), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (!IsNewerVersion()) {
        Box(QCoreApplication::translate("TWebFileInfo", "There is no update available."),
            QCoreApplication::translate("TWebFileInfo", "No Update Found"), MB_OK | MB_ICONINFORMATION);
        return false;
    }
    if (FOptions & wfioDisplayReadMe)
        ShowReadMe(true);
    const QString offer = QCoreApplication::translate("TWebFileInfo",
                                                      "Current version is %1.\rVersion %2 is available.")
                              .arg(FCurrentVersion, FInfo.ProductVersion) +
                          QStringLiteral("\r") + QCoreApplication::translate("TWebFileInfo", "Download the update?");
    if (!Ask(offer, QCoreApplication::translate("TWebFileInfo", "Update Available")))
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
                                 ? QCoreApplication::translate(
                                       "TWebFileInfo", "Error occurred while downloading update.\rError unknown.")
                                 : QCoreApplication::translate(
                                       "TWebFileInfo", "Error occurred while downloading update.\rError: \"%1.\"")
                                       .arg(FLastError);
        Box(text, QCoreApplication::translate("TWebFileInfo", "Download Error"), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    if (FOptions & wfioRunUpdate)
        StartUpdate();
    return true;
}

void TWebFileInfo::StartUpdate()
{
    const bool exitDuringUpdate = FOptions.testFlag(wfioExitDuringUpdate);
    Application *app = Application::Instance();
    // The question names what will run, where it came from and who vouched for it.
    QString install = QCoreApplication::translate(
                          "TWebFileInfo",
                          "Do you want to install the update now?\rFile: %1\rFrom: %2\rSigned by: %3, key %4")
                          .arg(QFileInfo(FTargetFile).fileName(), FUpdateHost, FUpdateKey.Name(),
                               FUpdateKey.KeyIdText());
    if (exitDuringUpdate)
        install += QCoreApplication::translate("TWebFileInfo", "\rThis will close %1.").arg(AppTitle());
    if (!Ask(install, QCoreApplication::translate("TWebFileInfo", "Install Update")))
        return;

    // The file that runs must be the file that was checked.
    if (const QString refusal = UpdateFiles::StartRefusal(FTargetFile); !refusal.isEmpty()) {
        Box(refusal, QCoreApplication::translate("TWebFileInfo", "Update Not Started"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (Shell::Execute(QApplication::activeWindow(), QStringLiteral("open"), FTargetFile, FInfo.RunParams, QString(),
                       Shell::SW_SHOWNORMAL) > 32) {
        if (exitDuringUpdate) {
            if (app)
                app->Terminate();
            else
                QCoreApplication::quit();
        }
        return;
    }
    Box(QCoreApplication::translate("TWebFileInfo", "Can not start program."),
        QCoreApplication::translate("TWebFileInfo", "Error"), MB_OK | MB_ICONEXCLAMATION);
}
