#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// A help file: topics of HTML text, each with an id, a title and index keywords.
//
//   @topic <id> <title>
//   @keywords <keyword>; <keyword>; ...
//   @context <number>
//   <HTML body lines up to the next @topic>
//
// The context number is what a window asks for when the user presses F1 in it; a topic
// without one is reached by its id only, and a number taken by an earlier topic is ignored.
//
// Lines before the first topic and lines starting with "@@" are comments. Links between
// topics are written href="#<id>". The first topic is the contents page.
class HelpFile {
public:
    struct Topic {
        QString Id;
        QString Title;
        QStringList Keywords;
        int Context = 0; // 0: none
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
    // The topic with this context number; nullptr when none has it.
    const Topic *FindContext(int context) const;
    const Topic *Contents() const { return FTopics.isEmpty() ? nullptr : &FTopics.first(); }

    // Every keyword with its topic, sorted without regard to case or accents (ß as ss).
    QList<IndexEntry> Index() const;
    // Index entries whose keyword starts with prefix, compared as the index sorts them
    // ("uber" finds "Überblick"); all for an empty one.
    QList<IndexEntry> Search(const QString &prefix) const;
    // The form in which keywords are sorted and matched: without case and accents, with ß
    // spelt ss, the way a German index files its words (Ä with A, "Straße" as "Strasse").
    static QString IndexForm(const QString &text);

    const QString &ErrorText() const { return FErrorText; }

private:
    // The index with each entry's index form, in index order.
    QList<std::pair<QString, IndexEntry>> KeyedIndex() const;

    QList<Topic> FTopics;
    QString FErrorText;
};
