#pragma once

#include "update/WebDlProgress.h"
#include "update/WfiWindows.h"
#include "update/core/InfoPage.h"
#include "update/core/MinisignKey.h"
#include "update/core/MinisignSignature.h"
#include "update/core/WfiTags.h"

#include <QDate>
#include <QFlags>
#include <QFont>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

class Exception;
class QDialog;
class QIODevice;
class THttpCli;
class TSideFile;
class TBackgroundHash;
class TUpdateSignature;

enum TWfiOption {
    wfioAlwaysOverwrite = 0x1,
    wfioDisplayUI = 0x2,
    wfioDisplayReadMe = 0x4,
    wfioRunUpdate = 0x8,
    wfioExitDuringUpdate = 0x10,
};
Q_DECLARE_FLAGS(TWfiOptions, TWfiOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TWfiOptions)

using TDownloadProgressEvent = std::function<void(QObject *Sender, qint64 BytesReceived, qint64 FileSize)>;

// Asks the maker's web server whether a newer version is published, and fetches,
// checks and starts it. The HTTP client works asynchronously, but every operation here
// is synchronous for its caller: it starts a request and shows a small modal window
// until the request's completion closes it.
//
// All components share one HTTP client, created by the first request; only one
// request runs at a time.
class TWebFileInfo : public QObject {
    Q_OBJECT
public:
    explicit TWebFileInfo(QObject *owner = nullptr);
    ~TWebFileInfo() override;

    // True once the information page was read; GetInfo then answers from the cache.
    // Only false can be written.
    bool Active() const { return FActive; }
    void SetActive(bool value);

    const QString &CurrentVersion() const { return FCurrentVersion; }
    void SetCurrentVersion(const QString &value) { FCurrentVersion = value; }
    TWfiDateFormat DateFormat() const { return FDateFormat; }
    void SetDateFormat(TWfiDateFormat value) { FDateFormat = value; }
    // Accepts only "http://" addresses longer than six characters; a new address makes
    // the next GetInfo fetch again.
    const QString &HomeURL() const { return FHomeURL; }
    void SetHomeURL(const QString &value);
    TWfiTags &InfoTags() { return FInfoTags; }
    const TWfiTags &InfoTags() const { return FInfoTags; }
    void SetInfoTags(const TWfiTags &value) { FInfoTags = value; }
    const QString &LastError() const { return FLastError; }
    // wfioDisplayUI is always part of the options.
    TWfiOptions Options() const { return FOptions; }
    void SetOptions(TWfiOptions value);
    const QString &ProxyHost() const { return FProxyHost; }
    // Trusted certificates for https pages and files (a PEM file); empty for the
    // system's store.
    const QString &CAFile() const { return FCAFile; }
    void SetCAFile(const QString &path) { FCAFile = path; }
    void SetProxyHost(const QString &value) { FProxyHost = value; }
    int ProxyPort() const { return FProxyPort; }
    void SetProxyPort(int value) { FProxyPort = value; }
    TWfiVersionFormat VersionFormat() const { return FVersionFormat; }
    void SetVersionFormat(TWfiVersionFormat value) { FVersionFormat = value; }
    // Seconds a request may go without news from the server before it fails; this is
    // what closes the wait window when a server goes silent.
    int HttpTimeout() const { return FHttpTimeout; }
    void SetHttpTimeout(int seconds) { FHttpTimeout = seconds; }
    // Seconds a request made under the wait window (the page, the read-me) may take in
    // all, 0 for no limit: the wait window has no button, so a server that trickles a
    // byte now and then must not hold it open.
    int WaitDeadline() const { return FWaitDeadline; }
    void SetWaitDeadline(int seconds) { FWaitDeadline = seconds; }
    // The most bytes the information page and the read-me text may have; both are read
    // into memory. 0 for no limit.
    qint64 PageSizeLimit() const { return FPageSizeLimit; }
    void SetPageSizeLimit(qint64 bytes) { FPageSizeLimit = bytes; }
    qint64 ReadMeSizeLimit() const { return FReadMeSizeLimit; }
    void SetReadMeSizeLimit(qint64 bytes) { FReadMeSizeLimit = bytes; }
    // The most bytes a downloaded file (the update, the external read-me) may have; a
    // larger one fails with "Reply larger than N bytes". Not positive: the default.
    qint64 MaxDownloadSize() const { return FMaxDownloadSize; }
    void SetMaxDownloadSize(qint64 bytes) { FMaxDownloadSize = bytes > 0 ? bytes : DefaultMaxDownloadSize; }

    // The maker's keys: an update is kept and offered to run only when one of them
    // signed it (a minisign signature, read before the download starts). A keys error
    // (configured keys that are unusable) fails every check with its text; there is no
    // "no keys, accept anything".
    const QList<TMinisignKey> &TrustedKeys() const { return FTrustedKeys; }
    void SetTrustedKeys(const QList<TMinisignKey> &keys);
    const QString &TrustedKeysError() const { return FTrustedKeysError; }
    void SetTrustedKeysError(const QString &error);
    // The product name the signature's trusted comment must carry.
    const QString &SignedProduct() const { return FSignedProduct; }
    void SetSignedProduct(const QString &value) { FSignedProduct = value; }
    // After a successful DownloadUpdate: the key that signed the update, and the host
    // it was finally fetched from (after redirects).
    const TMinisignKey &UpdateKey() const { return FUpdateKey; }
    const QString &UpdateHost() const { return FUpdateHost; }
    // The address the update's signature is read from: the page's signature entry, or
    // the update's address with ".minisig" appended.
    QString UpdateSignatureURL() const;

    static constexpr int DefaultWaitDeadline = 60;
    static constexpr qint64 DefaultPageSizeLimit = qint64(1) << 20;
    static constexpr qint64 DefaultReadMeSizeLimit = qint64(4) << 20;
    static constexpr qint64 DefaultMaxDownloadSize = qint64(2147483648);

    // The font of the wait, read-me and progress windows. While UIOwnerFont is set it
    // follows the owning window's font; assigning one clears UIOwnerFont.
    QFont UIFont();
    void SetUIFont(const QFont &font);
    bool UIOwnerFont() const { return FUIOwnerFont; }
    void SetUIOwnerFont(bool value) { FUIOwnerFont = value; }

    // What the information page published. Every address among them (the update, its
    // signature, both read-mes, the redirect page) is already resolved against the
    // address the page finally came from (PageLinks).
    const QString &DownloadURL() const { return FInfo.DownloadURL; }
    const QString &ProductAuthor() const { return FInfo.ProductAuthor; }
    const QString &ProductAuthorEMail() const { return FInfo.ProductAuthorEMail; }
    QDate ProductDate() const { return FInfo.ProductDate; }
    const QString &ProductDateStr() const { return FInfo.ProductDateStr; }
    const QString &ProductName() const { return FInfo.ProductName; }
    const QString &ProductReadMe() const { return FInfo.ProductReadMe; }
    const QString &ProductReadMeExt() const { return FInfo.ProductReadMeExt; }
    const QString &ProductVersion() const { return FInfo.ProductVersion; }
    const QString &RedirectURL() const { return FInfo.RedirectURL; }
    const QString &RunParams() const { return FInfo.RunParams; }
    const QString &UpdateSha256() const { return FInfo.UpdateSha256; }

    // The part of DownloadURL after its last "/", and where the update was saved.
    const QString &UpdateFileName() const { return FUpdateFileName; }
    const QString &TargetFile() const { return FTargetFile; }

    // The windows open at the moment, if any.
    TWfiWaitWindow *WaitWindow() const { return FWaitWindow; }
    TWebDlProgress *ProgressWindow() const { return FProgressWindow; }

    // Fired for every chunk of a download with the bytes so far and the announced
    // length (-1 when none was announced).
    TDownloadProgressEvent OnDownloadProgress;

    bool GetInfo();
    bool IsNewerVersion() const;
    bool ShowReadMe(bool ask);
    bool DownloadUpdate(const QString &path);
    // Saves what url serves as file. The bytes go to a side file in the same folder,
    // which replaces file only when the transfer was complete and written whole; on any
    // failure or cancel an existing file stays as it was.
    bool DownloadFile(const QString &url, const QString &file, const QString &caption);
    bool ExecuteUpdate();

    void ParseInfoPage(const QStringList &lines);
    static QString ExtractContent(const QString &line);
    QDate ParseProductDate(const QString &text) const;

    // The client every component shares; null until the first request creates it.
    static THttpCli *HttpCli();

    // A page may send the check on to another page this many times.
    static constexpr int MaxRedirectPages = 10;

private:
    friend struct TWfiExceptionHook;
    friend class THttpEvents;

    bool FetchInfo(int redirectPages);
    // False, with a box or LastError saying why, when nothing could be checked: no
    // usable keys, no home address or no tags to read.
    bool ReadyToCheck();
    // The page's RedirectURL may hand the check on only to a web address, and from a
    // page read over https only to another one; false with LastError saying why not.
    bool RedirectAllowed();
    bool ReadInfoPage(const QByteArray &page);
    // mayRun: the file may become a program (mode 0700 when it is one), else it stays
    // a document (0600).
    bool Download(const QString &url, const QString &file, const QString &caption, const QString &sha256,
                  TUpdateSignature *signature, bool mayRun);
    bool KeepDownload(TSideFile &file, qint64 received, const QString &sha256, TUpdateSignature *signature,
                      TBackgroundHash *hash, bool mayRun);
    // Reads and checks the update's signature under the wait window; false with
    // LastError saying why.
    bool FetchSignature(TUpdateSignature &signature);
    // Asks to install the saved update and starts it when the folder allows it,
    // closing the program when wfioExitDuringUpdate says so.
    void StartUpdate();
    std::unique_ptr<TWfiReadMeWindow> CreateReadMeWindow();
    // Downloads the external read-me and hands it to the desktop's viewer when it is a
    // document; false with LastError saying why not.
    bool OpenExternalReadMe();
    THttpCli *PrepareHttpCli();
    // maxBody and deadline as the client takes them, 0 for none.
    void StartRequest(THttpCli *cli, const QString &url, std::unique_ptr<QIODevice> stream, qint64 maxBody,
                      int deadline);
    void ShowWaitWindow(const QString &message);
    void RunModal(QDialog *window);
    void FreeWaitWindow();
    QByteArray TakeReceivedBytes();
    void ReleaseReceiveStream();
    void ProgressStep();
    void HttpRequestDone(quint16 error);
    // True when the client finished the request without an error and the server
    // answered 200-299; otherwise LastError says why.
    bool ReplyAccepted(THttpCli *cli);
    // Why a file the page names (its resolved address) is not fetched: no http or https
    // address, or a plain http address on a page read over https without a checksum;
    // empty when it may be fetched.
    QString UnprotectedRefusal(const QString &url, bool checksumPublished) const;
    void InstallExceptionHook();
    bool ExceptionHookInPlace() const;
    void RestoreExceptionHandler();
    void AppException(QObject *sender, const Exception &e);

    bool FActive = false;
    QString FCurrentVersion;
    TWfiDateFormat FDateFormat = wfidDFSDate;
    QString FHomeURL;
    QString FCAFile;
    // The information page last read came over https (so it was verified).
    bool FPageSecure = false;
    // The address the information page last read finally came from, after the
    // server's redirects: the base of every address the page names.
    QString FPageURL;
    QList<TMinisignKey> FTrustedKeys;
    QString FTrustedKeysError;
    QString FSignedProduct;
    TMinisignKey FUpdateKey;
    QString FUpdateHost;
    TWfiTags FInfoTags;
    QString FLastError;
    TWfiOptions FOptions = wfioDisplayUI | wfioDisplayReadMe | wfioRunUpdate | wfioExitDuringUpdate;
    TWfiProductInfo FInfo;
    QString FProxyHost;
    int FProxyPort = 80;
    QFont FUIFont;
    bool FUIOwnerFont = true;
    TWfiVersionFormat FVersionFormat = wfivBuildNumber;
    int FHttpTimeout = 60;
    int FWaitDeadline = DefaultWaitDeadline;
    qint64 FPageSizeLimit = DefaultPageSizeLimit;
    qint64 FReadMeSizeLimit = DefaultReadMeSizeLimit;
    qint64 FMaxDownloadSize = DefaultMaxDownloadSize;
    std::function<void(QObject *, const Exception &)> FSavedHandler;
    bool FHookInstalled = false;
    QString FUpdateFileName;
    QString FTargetFile;
    QPointer<TWebDlProgress> FProgressWindow;
    QPointer<TWfiWaitWindow> FWaitWindow;
    // The stream the running request writes into (a buffer for pages, a file for
    // downloads), and whether that request has completed yet.
    std::unique_ptr<QIODevice> FReceiveStream;
    bool FRequestDone = true;
};
