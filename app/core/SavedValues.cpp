#include "app/core/SavedValues.h"

#include "platform/core/Formatting.h"
#include "platform/core/ProfileFile.h"

const QString &SavedValues::KeyName(int slot)
{
    // Made once: every load and save names all fifteen keys.
    static const std::array<QString, Count> names = [] {
        std::array<QString, Count> made;
        for (int i = 0; i < Count; ++i)
            made[size_t(i)] = i < FirstRate ? QStringLiteral("Year%1").arg(i + 1)
                                            : QStringLiteral("Rate%1").arg(i - FirstRate + 1);
        return made;
    }();
    return names.at(size_t(slot));
}

QString SavedValues::DefaultText(int slot)
{
    if (slot < FirstRate)
        return QStringLiteral("0");
    return QString::number(DefaultRates[size_t(slot - FirstRate)]);
}

void SavedValues::Load(const ProfileFile &file)
{
    for (int slot = 0; slot < Count; ++slot) {
        const QString text = file.ReadString(Section, KeyName(slot), DefaultText(slot));
        FSlots[slot] = ToReal48(StrToFloat(text));
    }
}

void SavedValues::Save(ProfileFile &file) const
{
    file.BeginUpdate();
    for (int slot = 0; slot < Count; ++slot)
        file.WriteString(Section, KeyName(slot), FloatToStr(Value(slot)));
    file.EndUpdate();
}
