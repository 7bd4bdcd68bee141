#include "update/WebFileInfo.h"

#include "net/HttpProt.h"
#include "platform/gui/MessageBox.h"
#include "platform/gui/Shell.h"
#include "update/UpdateFiles.h"
#include "update/core/ContentSniffer.h"
#include "update/core/InfoPage.h"

#include <QCoreApplication>
#include <QBuffer>
#include <QFile>
#include <QUrl>

#include <cstdio>

// The read-mes: the text shown in the read-me window, and the external document handed
// to the desktop's viewer.

std::unique_ptr<TWfiReadMeWindow> TWebFileInfo::CreateReadMeWindow()
{
    if (const QString refusal = UnprotectedRefusal(FInfo.ProductReadMe, false); !refusal.isEmpty()) {
        FLastError = refusal;
        return nullptr;
    }
    THttpCli *cli = PrepareHttpCli();
    StartRequest(cli, FInfo.ProductReadMe, std::make_unique<QBuffer>(), FReadMeSizeLimit, FWaitDeadline);
    ShowWaitWindow(QCoreApplication::translate("TWebFileInfo", "Retrieving ReadMe..."));

    std::unique_ptr<TWfiReadMeWindow> window;
    const QByteArray text = TakeReceivedBytes();
    if (ReplyAccepted(cli))
        window = std::make_unique<TWfiReadMeWindow>(InfoPage::SplitLines(text).join(QLatin1Char('\n')), UIFont());
    FreeWaitWindow();
    return window;
}

bool TWebFileInfo::ShowReadMe(bool ask)
{
    if (!(FActive || GetInfo()))
        return false;
    if (FInfo.ProductReadMe.isEmpty() && FInfo.ProductReadMeExt.isEmpty())
        return false;
    if (ask) {
        const QString text = QCoreApplication::translate("TWebFileInfo",
                                                         "Current version is %1.\rVersion %2 is available.")
                                 .arg(FCurrentVersion, FInfo.ProductVersion) +
                             QStringLiteral("\r") +
                             QCoreApplication::translate("TWebFileInfo", "Would you like to view the ReadMe file?");
        if (MessageBox::Show(nullptr, text, QCoreApplication::translate("TWebFileInfo", "Update Available"),
                             MB_YESNO | MB_ICONQUESTION) != IDYES)
            return false;
    }
    if (!FInfo.ProductReadMeExt.isEmpty()) {
        if (OpenExternalReadMe())
            return true;
        MessageBox::Show(nullptr, QCoreApplication::translate("TWebFileInfo", "Can not start program."),
                         QCoreApplication::translate("TWebFileInfo", "Error"), MB_OK | MB_ICONEXCLAMATION);
    }
    if (!FInfo.ProductReadMe.isEmpty()) {
        if (std::unique_ptr<TWfiReadMeWindow> window = CreateReadMeWindow())
            window->exec();
    }
    return true;
}

bool TWebFileInfo::OpenExternalReadMe()
{
    // The same rule as the read-me shown in the window: no checksum or signature vouches
    // for it, so from a page read over https it comes over https only.
    const QString &address = FInfo.ProductReadMeExt;
    if (const QString refusal = UnprotectedRefusal(address, false); !refusal.isEmpty()) {
        FLastError = refusal;
        return false;
    }
    // The last path segment as it stands in the address (still percent-encoded, so it
    // holds no "/"), without query or fragment.
    const QString name = UpdateFiles::FileNameOfUrl(QUrl(address).path(QUrl::FullyEncoded));
    if (!UpdateFiles::UsableFileName(name)) {
        FLastError = UpdateFiles::UnusableNameError(address);
        return false;
    }
    const QString folder = UpdateFiles::ReadMeFolder();
    const QString path = folder + name;
    // Saved as a document (mode 0600), whatever it holds: a viewer opens it, nothing
    // starts it.
    if (!DownloadFile(address, path, QCoreApplication::translate("TWebFileInfo", "Downloading ReadMe")))
        return false;
    QFile file(path);
    const QByteArray head = file.open(QIODevice::ReadOnly) ? file.read(ContentSniffer::HeadSize) : QByteArray();
    file.close();
    const ContentSniffer::TDocumentKind kind = ContentSniffer::Document(head);
    if (kind == ContentSniffer::dkNone) {
        QFile::remove(path);
        FLastError = QCoreApplication::translate("TWebFileInfo",
                                                 "The read-me %1 is not a text, HTML or PDF document; it is not opened")
                         .arg(address);
        return false;
    }
    // The desktop picks the viewer by the name: the name is made to say what the
    // content is.
    const QString document = folder + UpdateFiles::DocumentFileName(name, kind);
    if (document != path &&
        std::rename(QFile::encodeName(path).constData(), QFile::encodeName(document).constData()) != 0) {
        QFile::remove(path);
        FLastError = QCoreApplication::translate("TWebFileInfo", "Cannot rename %1 to %2").arg(path, document);
        return false;
    }
    if (Shell::Execute(nullptr, QStringLiteral("open"), document, QString(), QString(), Shell::SW_SHOWNORMAL) > 32)
        return true;
    FLastError = QCoreApplication::translate("TWebFileInfo", "No viewer opened %1").arg(document);
    return false;
}
