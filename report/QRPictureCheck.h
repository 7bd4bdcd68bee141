#pragma once

#include <QByteArray>
#include <QString>

// Decides whether the bytes of a recorded page picture may be handed to Qt's picture
// player. The player trusts its input: it reserves memory for any element count it
// reads, loops over path and region counts without looking at the data left, recurses
// into nested pictures, indexes tables with the composition mode it reads, and reads
// each command's fields by type, ignoring the length the command announces. So every
// byte is walked here first, the way the player will read it, against what the engine
// records: a known command set, every count bounded by the bytes that follow, every
// command exactly as long as it says, values finite and within sizes a page can use.
class TQRPictureCheck {
public:
    // The picture format the engine records its pages in (that of the data streams of
    // Qt 6.0 to 6.5), fixed so that a page file does not change with the Qt version.
    static constexpr int FormatVersion = 20;

    // Largest picture a page may hold.
    static constexpr int MaxPictureSize = 64 * 1024 * 1024;

    // Empty when the picture is safe to play; otherwise a short reason, in English,
    // for the log.
    static QString Check(const QByteArray &picture);
};
