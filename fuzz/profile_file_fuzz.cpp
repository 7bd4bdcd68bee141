// Arbitrary bytes as the settings file. Whatever the file holds: a value written is the
// value read back, a write leaves every other key's value as it was, and the
// calculator's fifteen saved values come back bit for bit after a save and a load. The
// first byte's top bit chooses the check, the first three bytes the names and the
// value; the rest is the file.
#include "app/core/SavedValues.h"
#include "platform/core/Exceptions.h"
#include "platform/core/ProfileFile.h"

#include <QByteArrayAlgorithms>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <vector>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

// Names the program uses, in other letter cases too, and names a file may share with
// them only in part.
const std::array<const char *, 8> Sections = {"LastValues", "LASTVALUES",  "lastvalues", "Update",
                                              "Last",       "LastValues2", "a b",        "x"};
const std::array<const char *, 16> Keys = {"Year1", "YEAR1",   "year10", "Year2",   "Rate1",     "rate5",
                                           "Rate",  "Year",    "Year11", "HomeURL", "ProxyPort", "k",
                                           "k k",   "Year1 1", "_",      "Rate5"};

QString Value(std::uint8_t choice)
{
    switch (choice % 6) {
    case 0: return QStringLiteral("12345.678");
    case 1: return QString();
    case 2: return QStringLiteral("two words");
    case 3: return QStringLiteral("a=b;[c]");
    case 4: return QString(1500, QLatin1Char('v')); // longer than a read returns
    default: return QStringLiteral("-1E38");
    }
}

// Every write replaces the file through QSaveFile, which syncs it to disk: on a disk
// that costs the fuzzer most of its speed, so the files live in memory when they can.
const QString &Dir()
{
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm/tallowmere-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/tallowmere-fuzz-XXXXXX"));
    static const QString path = dir.path();
    return path;
}

QString WriteFile(const char *name, const QByteArray &bytes)
{
    const QString path = Dir() + QLatin1Char('/') + QLatin1String(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort(); // the machine, not the code under test
    return path;
}

bool SameName(const char *a, const char *b)
{
    return qstricmp(a, b) == 0;
}

const QString Missing = QStringLiteral("\x01missing");

QString Read(const ProfileFile &file, const char *section, const char *key)
{
    return file.ReadString(QLatin1String(section), QLatin1String(key), Missing);
}

// The names once each without regard to letter case: a read under one spelling is a
// read under all of them, so the snapshots below look at each name once.
template <size_t N>
std::vector<const char *> OncePerName(const std::array<const char *, N> &names)
{
    std::vector<const char *> distinct;
    for (const char *name : names) {
        if (std::none_of(distinct.begin(), distinct.end(), [name](const char *d) { return SameName(d, name); }))
            distinct.push_back(name);
    }
    return distinct;
}

// Made once: the reads of a snapshot, twice a run, would otherwise spend more on making
// names than on reading.
struct SnapshotNames {
    std::vector<const char *> Sections = OncePerName(::Sections);
    std::vector<const char *> Keys = OncePerName(::Keys);
    QStringList SectionTexts = Texts(Sections);
    QStringList KeyTexts = Texts(Keys);

    static QStringList Texts(const std::vector<const char *> &names)
    {
        QStringList texts;
        for (const char *name : names)
            texts << QLatin1String(name);
        return texts;
    }
};

const SnapshotNames &Names()
{
    static const SnapshotNames names;
    return names;
}

// Every pair's value as the file holds it now, section by section. A batch reads from
// the text it loaded at its start, so the many reads cost one load; the batch is
// dropped, never ended.
using Snapshot = QList<QString>;
Snapshot ReadAll(const QString &path)
{
    ProfileFile file(path);
    file.BeginUpdate();
    Snapshot values;
    for (const QString &section : Names().SectionTexts)
        for (const QString &key : Names().KeyTexts)
            values << file.ReadString(section, key, Missing);
    return values;
}

void CheckSingleWrite(const QByteArray &content, const std::uint8_t *choice)
{
    const QString path = WriteFile("single.ini", content);
    const char *section = Sections[choice[0] % Sections.size()];
    const char *key = Keys[choice[1] % Keys.size()];
    const QString value = Value(choice[2]);
    const QString stored = value.left(ProfileFile::MaxValueLength);

    const Snapshot before = ReadAll(path);
    ProfileFile file(path);
    if (!file.WriteValue(QLatin1String(section), QLatin1String(key), value))
        std::abort();
    if (Read(file, section, key) != stored)
        __builtin_trap();
    const Snapshot after = ReadAll(path);
    qsizetype pair = 0;
    for (const char *snapshotSection : Names().Sections) {
        for (const char *snapshotKey : Names().Keys) {
            const bool written = SameName(snapshotSection, section) && SameName(snapshotKey, key);
            if (written ? after[pair] != stored : after[pair] != before[pair])
                __builtin_trap();
            ++pair;
        }
    }
}

// The values are read through a batch too: the reads see the text the batch loaded,
// the same parse of the same file that fifteen loads from disk would make, at the
// cost of one.
void CheckSavedValues(const QByteArray &content)
{
    const QString path = WriteFile("saved.ini", content);
    QString update;
    SavedValues loaded;
    {
        ProfileFile file(path);
        file.BeginUpdate();
        update = Read(file, "Update", "HomeURL");
        try {
            loaded.Load(file);
        } catch (const EConvertError &) {
        } catch (const EMathError &) {
        }
    }
    ProfileFile file(path);
    try {
        loaded.Save(file);
    } catch (const Exception &) {
        std::abort();
    }
    file.BeginUpdate();
    SavedValues again;
    again.Load(file); // what the program wrote it must read, so no catch here
    for (int slot = 0; slot < SavedValues::Count; ++slot) {
        if (!(again.Slot(slot) == loaded.Slot(slot)))
            __builtin_trap();
    }
    if (Read(file, "Update", "HomeURL") != update)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 3)
        return 0;
    const QByteArray content(reinterpret_cast<const char *>(data + 3), qsizetype(size - 3));
    // One check a run: each costs several replacements of a file, and the fuzzer
    // explores more when it learns from twice the runs.
    if (data[0] & 0x80)
        CheckSavedValues(content);
    else
        CheckSingleWrite(content, data);
    return 0;
}
