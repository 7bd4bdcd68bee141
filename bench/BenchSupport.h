#pragma once

// What the benchmark programs that time whole commands share.

#include <QElapsedTimer>
#include <QProcess>
#include <QStringList>

#include <algorithm>
#include <vector>

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
