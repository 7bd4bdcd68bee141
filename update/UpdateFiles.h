#pragma once

#include <QString>

// Where the update service puts the files it fetches, and what it makes of their names.
namespace UpdateFiles {

// The part of an address after its last "/" (the whole address when it has none).
QString FileNameOfUrl(const QString &url);

// Whether a name taken from an address names a file in a folder: not empty, not the
// folder itself or its parent.
bool UsableFileName(const QString &name);
QString UnusableNameError(const QString &url);

// A folder of the program's own inside the temporary folder (ending in "/"), made once
// per run, for read-me files the platform's viewer opens.
QString ReadMeFolder();

// Gives a downloaded script or ELF program the execute permission a Linux desktop
// needs to start it.
void MakeStartable(const QString &path);

} // namespace UpdateFiles
