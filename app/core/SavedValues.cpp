#include "app/core/SavedValues.h"

#include "platform/core/Formatting.h"
#include "platform/core/ProfileFile.h"

QString SavedValues::KeyName(int slot)
{
    if (slot < FirstRate)
        return QStringLiteral("Year%1").arg(slot + 1);
    return QStringLiteral("Rate%1").arg(slot - FirstRate + 1);
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
