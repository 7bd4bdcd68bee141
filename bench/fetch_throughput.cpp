// Download throughput of tallowmere-fetch next to curl, both in the same run against the
// same nginx on 127.0.0.1: a 1 GiB file (sparse, so the disk is not what is measured)
// fetched several times by each tool in turn, body to /dev/null. Prints the median of
// each in MB/s and their ratio.
//
//   bench_fetch_throughput [runs] [MiB]     (defaults: 5 runs, 1024 MiB)
#include "BenchSupport.h"
#include "support/ExternalServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const auto [runs, size] = RunsAndSize(argc, argv, 1024);
    const QString fetch = FetchBesideThisProgram();
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    if (!QFile::exists(fetch) || curl.isEmpty() || TExternalServer::FindBinary(TExternalServer::Nginx).isEmpty()) {
        std::fprintf(stderr, "needs tallowmere-fetch beside this program, curl and nginx\n");
        return 1;
    }
    TExternalServer nginx(TExternalServer::Nginx);
    nginx.AddServerConfig(QStringLiteral("    sendfile on;\n"));
    if (!StartWithSparseFile(nginx, QStringLiteral("big.bin"), size))
        return 1;
    const QString url = QStringLiteral("http://127.0.0.1:%1/big.bin").arg(nginx.Port());

    std::vector<double> ours;
    std::vector<double> theirs;
    for (int i = 0; i < runs; ++i) {
        const double a = TimeCommand(fetch, {QStringLiteral("-q"), url});
        const double b = TimeCommand(curl,
                                     {QStringLiteral("--http1.0"), QStringLiteral("-sS"), QStringLiteral("--fail"),
                                      QStringLiteral("-o"), QStringLiteral("/dev/null"), url});
        if (a < 0 || b < 0) {
            std::fprintf(stderr, "a download failed (%s)\n", a < 0 ? "tallowmere-fetch" : "curl");
            return 1;
        }
        ours.push_back(a);
        theirs.push_back(b);
    }
    const double mb = double(size) / 1e6;
    const double oursRate = mb / Median(ours);
    const double theirsRate = mb / Median(theirs);
    std::printf("fetch_throughput: %lld MiB over http://127.0.0.1, median of %d runs\n", (long long)(size >> 20), runs);
    std::printf("  tallowmere-fetch  %8.1f MB/s\n", oursRate);
    std::printf("  curl --http1.0    %8.1f MB/s\n", theirsRate);
    std::printf("  ratio             %8.2fx\n", oursRate / theirsRate);
    return 0;
}
