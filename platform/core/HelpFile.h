#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// A help file: topics of HTML text, each with an id, a title and index keywords.
//
//   @topic <id> <title>
//   @keywords <keyword>; <keyword>; ...
//   <HTML body lines up to the next @topic>
//
// Lines before the first topic and lines starting with "@@" are comments. Links between
// topics are written href="#<id>". The first topic is the contents page.
class HelpFile {
public:
    struct Topic {
        QString Id;
        QString Title;
        QStringList Keywords;
        QString Html;
    };
    struct IndexEntry {
        QString Keyword;
        QString TopicId;
    };

    // Reads the file; false (with ErrorText set) when it cannot be read or holds no topic.
    bool Load(const QString &path);
    // Parses help text; false when it holds no topic.
    bool Parse(const QString &text);

    const QList<Topic> &Topics() const { return FTopics; }
    const Topic *Find(const QString &id) const;
    const Topic *Contents() const { return FTopics.isEmpty() ? nullptr : &FTopics.first(); }

    // Every keyword with its topic, sorted without regard to case.
    QList<IndexEntry> Index() const;
    // Index entries whose keyword starts with prefix (case-insensitive); all for an empty one.
    QList<IndexEntry> Search(const QString &prefix) const;

    const QString &ErrorText() const { return FErrorText; }

private:
    QList<Topic> FTopics;
    QString FErrorText;
};
