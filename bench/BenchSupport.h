#pragma once

// What the benchmark programs that time whole commands share.

#include "support/ExternalServer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

// The command line every download benchmark takes: [runs] [MiB].
struct TBenchSize {
    int Runs;
    qint64 Bytes;
};

inline TBenchSize RunsAndSize(int argc, char **argv, int defaultMebibytes)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const qint64 mebibytes = argc > 2 ? std::max(1, std::atoi(argv[2])) : defaultMebibytes;
    return {runs, mebibytes << 20};
}

// tallowmere-fetch, which the build puts beside the benchmarks.
inline QString FetchBesideThisProgram()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/tallowmere-fetch");
}

// Starts nginx with a sparse file of the given size in its document root (sparse, so
// reading the disk is not what is measured); says why on stderr when it cannot.
inline bool StartWithSparseFile(TExternalServer &nginx, const QString &name, qint64 size)
{
    QString error;
    if (!nginx.Start(&error)) {
        std::fprintf(stderr, "nginx: %s\n", qPrintable(error));
        return false;
    }
    QFile file(nginx.DocumentRoot() + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(size)) {
        std::fprintf(stderr, "cannot make the test file\n");
        return false;
    }
    return true;
}

// Seconds one run of a command took, its output thrown away, or a negative number when
// it failed.
inline double TimeCommand(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments);
    if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return -1;
    return double(clock.nsecsElapsed()) / 1e9;
}

inline double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
