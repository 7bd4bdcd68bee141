#include "support/PdfReading.h"

#include <QProcess>
#include <QRegularExpression>

QString PdfText(const QString &file, bool layout)
{
    QProcess process;
    QStringList args;
    if (layout)
        args << QStringLiteral("-layout");
    args << file << QStringLiteral("-");
    process.start(QStringLiteral("pdftotext"), args);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

int PdfPageCount(const QString &file)
{
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {file});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return -1;
    const QString info = QString::fromUtf8(process.readAllStandardOutput());
    const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

std::vector<PdfWord> PdfWords(const QString &file)
{
    std::vector<PdfWord> words;
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, QStringLiteral("-")});
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return words;
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    const QRegularExpression pattern(QStringLiteral(
        "<page |<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    int page = 0;
    for (const QRegularExpressionMatch &m : pattern.globalMatch(html)) {
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            ++page;
            continue;
        }
        QString text = m.captured(5);
        text.replace(QLatin1String("&amp;"), QLatin1String("&"))
            .replace(QLatin1String("&lt;"), QLatin1String("<"))
            .replace(QLatin1String("&gt;"), QLatin1String(">"))
            .replace(QLatin1String("&quot;"), QLatin1String("\""));
        words.push_back({text, page, m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                         m.captured(4).toDouble()});
    }
    return words;
}

const PdfWord *FindWord(const std::vector<PdfWord> &words, const QString &text)
{
    for (const PdfWord &word : words) {
        if (word.Text == text)
            return &word;
    }
    return nullptr;
}
