// The update download as the user sees it, next to tallowmere-fetch: a 100 MiB file from
// nginx on 127.0.0.1 fetched through TWebFileInfo::DownloadFile with its progress window
// shown, through DownloadUpdate (the same download after reading the update's minisign
// signature, with the file checked against it before it is put in place), and by
// tallowmere-fetch into a file, in turn in the same run. All write the file to the same
// folder and put it in place only when whole. Prints the median of each in MB/s, the
// cost of the signature check and the ratio to tallowmere-fetch.
//
//   bench_update_download [runs] [MiB]     (defaults: 5 runs, 100 MiB)
#include "platform/gui/Application.h"
#include "BenchSupport.h"
#include "support/ExternalServer.h"
#include "support/MinisignTool.h"
#include "update/UpdateSettings.h"
#include "update/WebFileInfo.h"
#include "update/core/MinisignKey.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Seconds one download took, or a negative number when it failed or came out short.
double TimeFetch(const QString &fetch, const QString &url, const QString &target, qint64 size)
{
    QFile::remove(target);
    const double seconds = TimeCommand(fetch, {QStringLiteral("-q"), QStringLiteral("-o"), target, url});
    return seconds >= 0 && QFileInfo(target).size() == size ? seconds : -1;
}

double TimeDownloadFile(TWebFileInfo &wfi, const QString &url, const QString &target, qint64 size)
{
    QFile::remove(target);
    QElapsedTimer clock;
    clock.start();
    if (!wfi.DownloadFile(url, target, QStringLiteral("Downloading Update"))) {
        std::fprintf(stderr, "DownloadFile: %s\n", qPrintable(wfi.LastError()));
        return -1;
    }
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    return QFileInfo(target).size() == size ? seconds : -1;
}

double TimeDownloadUpdate(TWebFileInfo &wfi, const QString &target, qint64 size)
{
    QFile::remove(target);
    QElapsedTimer clock;
    clock.start();
    if (!wfi.DownloadUpdate(target)) {
        std::fprintf(stderr, "DownloadUpdate: %s\n", qPrintable(wfi.LastError()));
        return -1;
    }
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    return QFileInfo(target).size() == size ? seconds : -1;
}

// The page and the signature beside the file, signed with a key made for this run.
bool PublishSigned(TExternalServer &nginx, TMinisignTool &signer, const QString &url)
{
    const QString root = nginx.DocumentRoot() + QLatin1Char('/');
    if (!signer.IsValid() || signer
                                 .SignFile(root + QStringLiteral("update.bin"),
                                           QStringLiteral("product=Tallowmere version=9.0 file=update.bin"))
                                 .isEmpty()) {
        std::fprintf(stderr, "minisign: %s\n", qPrintable(signer.Error()));
        return false;
    }
    QFile page(root + QStringLiteral("tallowmere.htm"));
    if (!page.open(QIODevice::WriteOnly))
        return false;
    page.write("<META HTTP-EQUIV=\"version\" CONTENT=\"9.0\">\n<META HTTP-EQUIV=\"url\" CONTENT=\"" + url.toUtf8() +
               "\">\n");
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    const auto [runs, size] = RunsAndSize(argc, argv, 100);
    const QString fetch = FetchBesideThisProgram();
    if (!QFile::exists(fetch) || TExternalServer::FindBinary(TExternalServer::Nginx).isEmpty()) {
        std::fprintf(stderr, "needs tallowmere-fetch beside this program and nginx\n");
        return 1;
    }
    TExternalServer nginx(TExternalServer::Nginx);
    nginx.AddServerConfig(QStringLiteral("    sendfile on;\n"));
    if (!StartWithSparseFile(nginx, QStringLiteral("update.bin"), size))
        return 1;
    const QString url = QStringLiteral("http://127.0.0.1:%1/update.bin").arg(nginx.Port());
    QTemporaryDir folder;
    const QString target = folder.filePath(QStringLiteral("update.bin"));

    TMinisignTool signer;
    if (!PublishSigned(nginx, signer, url))
        return 1;

    TWebFileInfo wfi;
    UpdateSettings::ConfigureWebFileInfo(wfi, folder.filePath(QStringLiteral("no-settings.ini")));
    wfi.SetHomeURL(QStringLiteral("http://127.0.0.1:%1/tallowmere.htm").arg(nginx.Port()));
    wfi.SetTrustedKeys(*TMinisignKey::ParseList(QString::fromLatin1(signer.PublicKey()), QStringLiteral("bench")));
    wfi.SetHttpTimeout(60);
    if (!wfi.GetInfo()) {
        std::fprintf(stderr, "GetInfo: %s\n", qPrintable(wfi.LastError()));
        return 1;
    }
    std::vector<double> ours;
    std::vector<double> signedRuns;
    std::vector<double> theirs;
    for (int i = 0; i < runs; ++i) {
        const double a = TimeDownloadFile(wfi, url, target, size);
        const double s = TimeDownloadUpdate(wfi, target, size);
        const double b = TimeFetch(fetch, url, target, size);
        if (a < 0 || s < 0 || b < 0) {
            std::fprintf(stderr, "a download failed (%s)\n",
                         a < 0 ? "DownloadFile" : (s < 0 ? "DownloadUpdate" : "tallowmere-fetch"));
            return 1;
        }
        ours.push_back(a);
        signedRuns.push_back(s);
        theirs.push_back(b);
    }
    const double mb = double(size) / 1e6;
    const double oursRate = mb / Median(ours);
    const double signedRate = mb / Median(signedRuns);
    const double theirsRate = mb / Median(theirs);
    std::printf("update_download: %lld MiB over http://127.0.0.1 to a file, median of %d runs\n",
                (long long)(size >> 20), runs);
    std::printf("  DownloadFile (progress window)  %8.1f MB/s\n", oursRate);
    std::printf("  DownloadUpdate (signed, checked)%8.1f MB/s\n", signedRate);
    std::printf("  signature check costs           %8.1f %%\n", (1.0 - signedRate / oursRate) * 100.0);
    std::printf("  tallowmere-fetch -o             %8.1f MB/s\n", theirsRate);
    std::printf("  ratio                           %8.2fx\n", oursRate / theirsRate);
    return 0;
}
