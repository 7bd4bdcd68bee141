#include "platform/core/ProfileFile.h"
#include "platform/core/PlatformLog.h"

#include "platform/core/Exceptions.h"

#include <QByteArrayView>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QVarLengthArray>

namespace {

// The lookups below run over every line for every key read (the saved values read
// fifteen keys at start), so they look at the lines in place instead of making
// trimmed copies.
bool isSectionLine(QByteArrayView trimmed)
{
    return trimmed.startsWith('[');
}

// The name inside the brackets; a line without its closing bracket names what follows
// the opening one.
QByteArrayView sectionName(QByteArrayView trimmed)
{
    qsizetype close = trimmed.indexOf(']');
    if (close < 0)
        close = trimmed.size();
    return trimmed.sliced(1, close - 1).trimmed();
}

bool sameName(QByteArrayView a, QByteArrayView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A name as the file spells it, in UTF-8. Names are short and almost always ASCII, so
// they are made on the stack: a batch of reads (the snapshot a save compares against)
// would otherwise spend more on making names than on finding them.
using NameBytes = QVarLengthArray<char, 64>;
NameBytes utf8Name(QStringView name)
{
    NameBytes bytes(name.size());
    char *out = bytes.data();
    for (const QChar c : name) {
        if (c.unicode() >= 0x80) {
            const QByteArray encoded = name.toUtf8();
            return NameBytes(encoded.cbegin(), encoded.cend());
        }
        *out++ = char(c.unicode());
    }
    return bytes;
}

} // namespace

ProfileFile::ProfileFile(QString path) : FPath(std::move(path)) {}

bool ProfileFile::Load(Lines &lines) const
{
    QFile file(FPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    if (data.contains("\r\n"))
        lines.Eol = "\r\n";
    lines.EndsWithEol = data.isEmpty() || data.endsWith('\n');
    lines.Text = data.split('\n');
    if (lines.EndsWithEol)
        lines.Text.removeLast();
    for (QByteArray &line : lines.Text) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return true;
}

int ProfileFile::FindSection(const Lines &lines, QByteArrayView section)
{
    for (int i = 0; i < lines.Text.size(); ++i) {
        const QByteArrayView trimmed = QByteArrayView(lines.Text[i]).trimmed();
        if (isSectionLine(trimmed) && sameName(sectionName(trimmed), section))
            return i;
    }
    return -1;
}

int ProfileFile::SectionEnd(const Lines &lines, int sectionLine)
{
    int i = sectionLine + 1;
    while (i < lines.Text.size() && !isSectionLine(QByteArrayView(lines.Text[i]).trimmed()))
        ++i;
    return i;
}

int ProfileFile::FindKey(const Lines &lines, int sectionLine, QByteArrayView key)
{
    const int end = SectionEnd(lines, sectionLine);
    for (int i = sectionLine + 1; i < end; ++i) {
        const QByteArrayView line(lines.Text[i]);
        const qsizetype eq = line.indexOf('=');
        if (eq >= 0 && sameName(line.first(eq).trimmed(), key))
            return i;
    }
    return -1;
}

QString ProfileFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    Lines loaded;
    if (!FUpdating && !Load(loaded))
        return defaultValue;
    const Lines &lines = FUpdating ? FPending : loaded;
    const int sectionLine = FindSection(lines, utf8Name(section));
    if (sectionLine < 0)
        return defaultValue;
    const int keyLine = FindKey(lines, sectionLine, utf8Name(key));
    if (keyLine < 0)
        return defaultValue;
    const QByteArrayView line(lines.Text[keyLine]);
    return QString::fromUtf8(line.sliced(line.indexOf('=') + 1).trimmed()).left(MaxValueLength);
}

void ProfileFile::SetValue(Lines &lines, const QByteArray &section, const QByteArray &key, const QByteArray &value)
{
    const QByteArray newLine = key + '=' + value;
    const int sectionLine = FindSection(lines, section);
    if (sectionLine < 0) {
        lines.Text.append('[' + section + ']');
        lines.Text.append(newLine);
    } else if (const int keyLine = FindKey(lines, sectionLine, key); keyLine >= 0) {
        // The key keeps the spelling the file gave it.
        QByteArray &line = lines.Text[keyLine];
        line = line.left(line.indexOf('=')).trimmed() + '=' + value;
    } else {
        // New keys follow the section's last non-blank line.
        int insertAt = SectionEnd(lines, sectionLine);
        while (insertAt > sectionLine + 1 && lines.Text[insertAt - 1].trimmed().isEmpty())
            --insertAt;
        lines.Text.insert(insertAt, newLine);
    }
}

bool ProfileFile::Commit(const Lines &lines)
{
    QByteArray data;
    for (const QByteArray &line : lines.Text)
        data.append(line).append(lines.Eol);

    QDir().mkpath(QFileInfo(FPath).absolutePath());
    QSaveFile file(FPath);
    // A file that is writable in a folder that is not cannot be replaced; writing it in
    // place is better than losing the save.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcPlatform) << "cannot write" << FPath << ":" << file.errorString();
        return false;
    }
    if (file.write(data) != data.size()) {
        qCWarning(lcPlatform) << "cannot write" << FPath << ":" << file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        qCWarning(lcPlatform) << "cannot replace" << FPath << ":" << file.errorString();
        return false;
    }
    return true;
}

bool ProfileFile::WriteValue(const QString &section, const QString &key, const QString &value)
{
    if (FUpdating) {
        SetValue(FPending, section.toUtf8(), key.toUtf8(), value.toUtf8());
        return true; // the outcome is known when the update ends
    }
    Lines lines;
    if (QFileInfo::exists(FPath) && !Load(lines))
        return false;
    SetValue(lines, section.toUtf8(), key.toUtf8(), value.toUtf8());
    return Commit(lines);
}

void ProfileFile::BeginUpdate()
{
    FPending = Lines();
    FPendingOk = !QFileInfo::exists(FPath) || Load(FPending);
    FUpdating = true;
}

void ProfileFile::EndUpdate()
{
    FUpdating = false;
    const bool ok = FPendingOk && Commit(FPending);
    FPending = Lines();
    if (!ok)
        throw Exception(QCoreApplication::translate("ProfileFile", "Unable to write to %1").arg(FPath));
}

void ProfileFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    if (!WriteValue(section, key, value))
        throw Exception(QCoreApplication::translate("ProfileFile", "Unable to write to %1").arg(FPath));
}
