#pragma once

#include "update/core/ContentSniffer.h"

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

// The name a read-me document of that kind is kept under: name itself when its suffix
// already says what the content is, else name with the kind's suffix added, so that a
// viewer chosen by the name is the one for the content.
QString DocumentFileName(const QString &name, ContentSniffer::TDocumentKind kind);

// Why the downloaded update at path is not started, empty when it may be. A folder that
// other users may write to (group- or other-write) lets them swap the file between the
// check and the start, unless the folder is sticky and the file ours, so that nobody
// else can rename or remove it.
QString StartRefusal(const QString &path);

} // namespace UpdateFiles
