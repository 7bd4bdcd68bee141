#pragma once

#include <QString>
#include <QTemporaryFile>

// A download's bytes go to a file beside the one they will replace, so that the file
// the user has stays exactly as it was until the new one is known to be whole. The side
// file is removed when the object goes, unless it was put in place.
class TSideFile : public QTemporaryFile {
    Q_OBJECT
public:
    explicit TSideFile(const QString &target);

    // Creates the side file in the target's folder. Writes go straight to the system,
    // so a full disk or a file size limit fails the write that meets it.
    bool Create();

    // True when the bytes written so far are all on the disk; otherwise errorString()
    // gives the system's reason.
    bool Sync();

    // The SHA-256 of what was written, in lower-case hexadecimal.
    QString Sha256();

    // Renames the side file over the target: the old file is replaced in one step or
    // not at all. The result is the owner's alone: mode 0600, or 0700 when mayRun and
    // it is a script or an ELF program; nothing of the replaced file's mode (setuid,
    // setgid, group or other bits) carries over.
    bool PutInPlace(bool mayRun);

    const QString &Target() const { return FTarget; }

private:
    QString FTarget;
};
