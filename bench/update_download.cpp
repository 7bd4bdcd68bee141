// The update download as the user sees it, next to tallowmere-fetch: a 100 MiB file from
// nginx on 127.0.0.1 fetched through TWebFileInfo::DownloadFile with its progress window
// shown, and by tallowmere-fetch into a file, in turn in the same run. Both write the
// file to the same folder and put it in place only when whole. Prints the median of
// each in MB/s and their ratio.
//
//   bench_update_download [runs] [MiB]     (defaults: 5 runs, 100 MiB)
#include "platform/gui/Application.h"
#include "BenchSupport.h"
#include "support/ExternalServer.h"
#include "update/WebFileInfo.h"

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

    TWebFileInfo wfi;
    wfi.SetHttpTimeout(60);
    std::vector<double> ours;
    std::vector<double> theirs;
    for (int i = 0; i < runs; ++i) {
        const double a = TimeDownloadFile(wfi, url, target, size);
        const double b = TimeFetch(fetch, url, target, size);
        if (a < 0 || b < 0) {
            std::fprintf(stderr, "a download failed (%s)\n", a < 0 ? "DownloadFile" : "tallowmere-fetch");
            return 1;
        }
        ours.push_back(a);
        theirs.push_back(b);
    }
    const double mb = double(size) / 1e6;
    const double oursRate = mb / Median(ours);
    const double theirsRate = mb / Median(theirs);
    std::printf("update_download: %lld MiB over http://127.0.0.1 to a file, median of %d runs\n",
                (long long)(size >> 20), runs);
    std::printf("  DownloadFile (progress window)  %8.1f MB/s\n", oursRate);
    std::printf("  tallowmere-fetch -o             %8.1f MB/s\n", theirsRate);
    std::printf("  ratio                           %8.2fx\n", oursRate / theirsRate);
    return 0;
}
