// Arbitrary text as a help file. Parsing never fails harder than "no topic"; what it
// builds holds together: every topic is found under its own id, the first is the
// contents page, the index is sorted in its index form and every entry points at a topic,
// and a search returns only the entries whose index form starts with what was typed.
#include "fuzz_flags.h"
#include "platform/core/HelpFile.h"

#include <cstddef>
#include <cstdint>

// The parse is line by line and every check runs over all topics, so a run costs
// with the square of its size; 2 KiB holds topics, keywords and contexts enough to
// reach every branch, where the 11 KiB of the shipped help file as the size limit
// made the fuzzer spend its time on long inputs.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    AddDefaultFlags(argc, argv, {"-max_len=2048"});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    HelpFile help;
    const bool parsed = help.Parse(text);
    if (parsed != !help.Topics().isEmpty())
        __builtin_trap();
    if (!parsed) {
        if (help.Contents())
            __builtin_trap();
        return 0;
    }
    if (help.Contents() != &help.Topics().first())
        __builtin_trap();
    for (const HelpFile::Topic &topic : help.Topics()) {
        if (topic.Id.isEmpty() || help.Find(topic.Id) != &topic)
            __builtin_trap();
    }

    const QList<HelpFile::IndexEntry> index = help.Index();
    QStringList forms; // each entry's index form, made once for the checks below
    forms.reserve(index.size());
    for (qsizetype i = 0; i < index.size(); ++i) {
        if (!help.Find(index[i].TopicId) || index[i].Keyword.trimmed().isEmpty())
            __builtin_trap();
        forms << HelpFile::IndexForm(index[i].Keyword);
        if (i > 0 && forms[i - 1] > forms[i])
            __builtin_trap();
    }

    // Prefixes a reader would type: the start of the first keyword, and a piece of the
    // input itself.
    QStringList prefixes{QString(), text.left(3)};
    if (!index.isEmpty())
        prefixes << index.first().Keyword.left(2);
    for (const QString &prefix : prefixes) {
        const QList<HelpFile::IndexEntry> found = help.Search(prefix);
        const QString wanted = HelpFile::IndexForm(prefix.trimmed());
        qsizetype expected = 0;
        for (const QString &form : forms)
            expected += form.startsWith(wanted) ? 1 : 0;
        if (found.size() != expected)
            __builtin_trap();
    }
    return 0;
}
