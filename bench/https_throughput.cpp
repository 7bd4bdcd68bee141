// Download throughput over https of tallowmere-fetch next to curl, both in the same run
// against the same nginx on 127.0.0.1 with a certificate of a test CA (both trust it
// through a CA file): a 1 GiB file (sparse, so the disk is not what is measured) fetched
// several times by each tool in turn, body to /dev/null; then one small request, many
// times each, for the cost of a connection with its TLS handshake (the whole command,
// process start included, for both). Prints medians, MB/s, milliseconds and ratios.
//
//   bench_https_throughput [runs] [MiB]     (defaults: 5 runs, 1024 MiB)
#include "BenchSupport.h"
#include "support/ExternalServer.h"
#include "support/TestCertificates.h"

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
    TTestCertificates certificates;
    QString error;
    if (!certificates.Make(&error)) {
        std::fprintf(stderr, "certificates: %s\n", qPrintable(error));
        return 1;
    }
    TExternalServer nginx(TExternalServer::Nginx);
    nginx.AddServerConfig(
        QStringLiteral("    sendfile on;\n    ssl on;\n    ssl_certificate %1;\n"
                       "    ssl_certificate_key %2;\n")
            .arg(certificates.CertFile(TTestCertificates::Good), certificates.KeyFile(TTestCertificates::Good)));
    nginx.AddFile(QStringLiteral("small.txt"), "small");
    if (!StartWithSparseFile(nginx, QStringLiteral("big.bin"), size))
        return 1;
    const QString base = QStringLiteral("https://localhost:%1").arg(nginx.Port());
    const QString ca = certificates.CAFile();
    const auto ours = [&](const QString &path) {
        return TimeCommand(fetch, {QStringLiteral("-q"), QStringLiteral("--cacert"), ca, base + path});
    };
    const auto theirs = [&](const QString &path) {
        return TimeCommand(curl, {QStringLiteral("--http1.0"), QStringLiteral("-sS"), QStringLiteral("--fail"),
                                  QStringLiteral("--cacert"), ca, QStringLiteral("-o"), QStringLiteral("/dev/null"),
                                  base + path});
    };

    std::vector<double> oursBig, theirsBig, oursSmall, theirsSmall;
    for (int i = 0; i < runs; ++i) {
        oursBig.push_back(ours(QStringLiteral("/big.bin")));
        theirsBig.push_back(theirs(QStringLiteral("/big.bin")));
    }
    for (int i = 0; i < 20; ++i) {
        oursSmall.push_back(ours(QStringLiteral("/small.txt")));
        theirsSmall.push_back(theirs(QStringLiteral("/small.txt")));
    }
    for (const auto *list : {&oursBig, &theirsBig, &oursSmall, &theirsSmall}) {
        if (std::any_of(list->begin(), list->end(), [](double t) { return t < 0; })) {
            std::fprintf(stderr, "a download failed\n");
            return 1;
        }
    }
    const double mb = double(size) / 1e6;
    const double oursRate = mb / Median(oursBig);
    const double theirsRate = mb / Median(theirsBig);
    std::printf("https_throughput: %lld MiB over https://localhost, median of %d runs\n", (long long)(size >> 20),
                runs);
    std::printf("  tallowmere-fetch  %8.1f MB/s\n", oursRate);
    std::printf("  curl --http1.0    %8.1f MB/s\n", theirsRate);
    std::printf("  ratio             %8.2fx\n", oursRate / theirsRate);
    std::printf("one small request with its handshake, whole command, median of 20:\n");
    std::printf("  tallowmere-fetch  %8.1f ms\n", Median(oursSmall) * 1000);
    std::printf("  curl --http1.0    %8.1f ms\n", Median(theirsSmall) * 1000);
    return 0;
}
