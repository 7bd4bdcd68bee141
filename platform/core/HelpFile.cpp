#include "platform/core/HelpFile.h"
#include "platform/core/PlatformLog.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <utility>

// "uber" or "Zinsfuss" typed in the search field find "Überblick" and "Zinsfuß".
QString HelpFile::IndexForm(const QString &text)
{
    QString bare = text.normalized(QString::NormalizationForm_KD);
    bare.removeIf([](QChar c) { return c.isMark(); });
    return std::move(bare).toCaseFolded().replace(QChar(0x00DF), QLatin1String("ss"));
}

bool HelpFile::Load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        FTopics.clear();
        FErrorText =
            QCoreApplication::translate("HelpFile", "Cannot open the help file %1: %2").arg(path, file.errorString());
        qCWarning(lcPlatform).noquote() << FErrorText;
        return false;
    }
    if (!Parse(QString::fromUtf8(file.readAll()))) {
        FErrorText = QCoreApplication::translate("HelpFile", "The help file %1 holds no topics.").arg(path);
        qCWarning(lcPlatform).noquote() << FErrorText;
        return false;
    }
    FErrorText.clear();
    return true;
}

bool HelpFile::Parse(const QString &text)
{
    FTopics.clear();
    const QStringList lines = text.split(QLatin1Char('\n'));
    Topic *current = nullptr;
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.startsWith(QLatin1String("@@")))
            continue;
        if (line.startsWith(QLatin1String("@topic "))) {
            const QString rest = line.mid(7).trimmed();
            const int space = rest.indexOf(QLatin1Char(' '));
            Topic topic;
            topic.Id = space < 0 ? rest : rest.left(space);
            topic.Title = space < 0 ? rest : rest.mid(space + 1).trimmed();
            if (topic.Id.isEmpty() || Find(topic.Id)) {
                current = nullptr; // a nameless or repeated topic is skipped whole
                continue;
            }
            FTopics.append(topic);
            current = &FTopics.last();
        } else if (current && line.startsWith(QLatin1String("@keywords "))) {
            for (const QString &keyword : line.mid(10).split(QLatin1Char(';'))) {
                if (!keyword.trimmed().isEmpty())
                    current->Keywords << keyword.trimmed();
            }
        } else if (current && line.startsWith(QLatin1String("@context "))) {
            bool ok = false;
            const int context = line.mid(9).trimmed().toInt(&ok);
            if (ok && context > 0 && !FindContext(context))
                current->Context = context;
        } else if (current) {
            current->Html += line + QLatin1Char('\n');
        }
    }
    return !FTopics.isEmpty();
}

const HelpFile::Topic *HelpFile::Find(const QString &id) const
{
    for (const Topic &topic : FTopics) {
        if (topic.Id == id)
            return &topic;
    }
    return nullptr;
}

const HelpFile::Topic *HelpFile::FindContext(int context) const
{
    if (context <= 0)
        return nullptr;
    for (const Topic &topic : FTopics) {
        if (topic.Context == context)
            return &topic;
    }
    return nullptr;
}

QList<std::pair<QString, HelpFile::IndexEntry>> HelpFile::KeyedIndex() const
{
    // Each keyword's index form is made once, not at every comparison of the sort.
    QList<std::pair<QString, IndexEntry>> keyed;
    for (const Topic &topic : FTopics) {
        for (const QString &keyword : topic.Keywords)
            keyed.append({IndexForm(keyword), {keyword, topic.Id}});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    return keyed;
}

QList<HelpFile::IndexEntry> HelpFile::Index() const
{
    QList<std::pair<QString, IndexEntry>> keyed = KeyedIndex();
    QList<IndexEntry> entries;
    entries.reserve(keyed.size());
    for (auto &entry : keyed)
        entries.append(std::move(entry.second));
    return entries;
}

QList<HelpFile::IndexEntry> HelpFile::Search(const QString &prefix) const
{
    QList<IndexEntry> matches;
    const QString wanted = IndexForm(prefix.trimmed());
    for (const auto &[form, entry] : KeyedIndex()) {
        if (form.startsWith(wanted))
            matches.append(entry);
    }
    return matches;
}
