#include "update/core/ProgramVersion.h"

#include <QStringList>
#include <algorithm>

namespace ProgramVersion {

namespace {

// The segment's digits without leading zeros; "" stands for 0.
QString Digits(const QStringList &segments, qsizetype index)
{
    if (index >= segments.size())
        return {};
    const QString &segment = segments[index];
    if (segment.isEmpty() || !std::all_of(segment.begin(), segment.end(),
                                          [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }))
        return {};
    qsizetype first = 0;
    while (first < segment.size() && segment[first] == QLatin1Char('0'))
        ++first;
    return segment.mid(first);
}

} // namespace

QString PageStyle(const QString &projectVersion)
{
    QStringList segments = projectVersion.split(QLatin1Char('.'));
    if (segments.size() >= 3 && segments[2].size() < 2)
        segments[2] = segments[2].rightJustified(2, QLatin1Char('0'));
    return segments.join(QLatin1Char('.'));
}

QString Current()
{
    return PageStyle(QStringLiteral(TALLOWMERE_VERSION));
}

int Compare(const QString &a, const QString &b)
{
    const QStringList left = a.split(QLatin1Char('.'));
    const QStringList right = b.split(QLatin1Char('.'));
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        const QString x = Digits(left, i);
        const QString y = Digits(right, i);
        if (x.size() != y.size())
            return x.size() < y.size() ? -1 : 1;
        if (const int order = x.compare(y); order != 0)
            return order < 0 ? -1 : 1;
    }
    return 0;
}

} // namespace ProgramVersion
