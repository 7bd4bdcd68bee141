#pragma once

#include "app/core/Npv.h"
#include "platform/core/Real48.h"

#include <QString>
#include <array>

class ProfileFile;

// The fifteen remembered inputs: cash flows of years 1 to 10, then the five rates in
// percent, each held as Real48.
class SavedValues {
public:
    static constexpr int Count = Npv::YearCount + Npv::RateCount;
    static constexpr int FirstRate = Npv::YearCount;
    // The rates in percent the window starts with, a missing key reads as and Reset
    // returns to.
    // As long as the list given, which the check below the class holds to the count.
    static constexpr auto DefaultRates = std::to_array<double>({4, 5, 6, 7, 8});
    static inline const QString Section = QStringLiteral("LastValues");

    // "Year1".."Year10", "Rate1".."Rate5" for slots 0..14.
    static const QString &KeyName(int slot);
    // "0" for the years, "4".."8" for the rates.
    static QString DefaultText(int slot);

    const Real48 &Slot(int slot) const { return FSlots.at(slot); }
    long double Value(int slot) const { return FromReal48(FSlots.at(slot)); }
    void SetSlot(int slot, const Real48 &value) { FSlots.at(slot) = value; }
    void Clear() { FSlots.fill(Real48{}); }

    // Reads the keys in slot order. A value that is not a number raises EConvertError,
    // one beyond the Real48 range EOverflow; either ends the load at that key, keeping
    // the slots before it.
    void Load(const ProfileFile &file);

    // Writes every slot as text (15 significant digits, general format) in slot order,
    // replacing the file once; a failed write raises "Unable to write to <path>" and
    // leaves the file as it was.
    void Save(ProfileFile &file) const;

private:
    std::array<Real48, Count> FSlots{};
};

static_assert(SavedValues::DefaultRates.size() == Npv::RateCount,
              "Npv::RateCount changed: give SavedValues::DefaultRates one default per rate and update the "
              "rate keys' documentation");
