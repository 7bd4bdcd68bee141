#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// A settings file of [sections] and key=value lines, read and written one key at a
// time. Section and key names match without regard to letter case; blanks around a
// value are not part of it; the first of duplicate sections or keys is the one used.
// A write changes only its own line and replaces the file atomically, so every other
// line survives exactly and a failed write leaves the old file whole.
class ProfileFile {
public:
    explicit ProfileFile(QString path);

    const QString &FileName() const { return FPath; }

    // The value, at most 1023 characters, or defaultValue when the file, the section
    // or the key is missing or unreadable.
    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;

    // Sets the key's value, creating the file, section or key as needed. Returns false
    // when the file cannot be written.
    bool WriteValue(const QString &section, const QString &key, const QString &value);

    // As WriteValue, raising Exception("Unable to write to <path>") on failure.
    void WriteString(const QString &section, const QString &key, const QString &value);

    // Between BeginUpdate and EndUpdate, writes collect in memory and EndUpdate replaces
    // the file once (raising as WriteString does on failure), so a save of many keys
    // costs one replacement and lands whole or not at all. Reads see the pending text.
    void BeginUpdate();
    void EndUpdate();

    static constexpr int MaxValueLength = 1023;

private:
    struct Lines {
        QList<QByteArray> Text; // without line ends
        QByteArray Eol = "\n";
        bool EndsWithEol = true;
    };

    bool Load(Lines &lines) const;
    bool Commit(const Lines &lines);
    static void SetValue(Lines &lines, const QByteArray &section, const QByteArray &key, const QByteArray &value);
    static int FindSection(const Lines &lines, QByteArrayView section);
    static int SectionEnd(const Lines &lines, int sectionLine);
    static int FindKey(const Lines &lines, int sectionLine, QByteArrayView key);

    QString FPath;
    bool FUpdating = false;
    bool FPendingOk = true;
    Lines FPending;
};
