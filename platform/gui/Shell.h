#pragma once

#include <QString>

class QWidget;

// The shell's "open" action in the shape its callers expect: a result above 32 means
// the target was handed on, 32 or less is one of the small error codes below.
namespace Shell {

enum TShowCommand { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3, SW_SHOW = 5 };

enum TShellError {
    ERROR_FILE_NOT_FOUND = 2,
    ERROR_PATH_NOT_FOUND = 3,
    SE_ERR_ACCESSDENIED = 5,
    ERROR_BAD_FORMAT = 11,
    SE_ERR_NOASSOC = 31,
};

// What Execute returns when the target was handed on.
constexpr int ShellSuccess = 42;

// operation "open" (or empty, the default action) of file:
// - an address with a scheme ("https:", "mailto:", ...) or starting with "www." or
//   "ftp." goes to QDesktopServices::openUrl (the user's browser or mail program);
// - a local program (a file with execute permission) is started directly with the
//   blank-separated parameters, in directory when one is given;
// - any other local file or folder goes to the desktop's default handler.
// A relative path is taken relative to directory, else to the current folder. Blanks
// around file are ignored. owner and showCmd are accepted for the callers' sake; the
// desktop decides how new windows appear. Other operations give SE_ERR_NOASSOC.
int Execute(QWidget *owner, const QString &operation, const QString &file, const QString &parameters = {},
            const QString &directory = {}, int showCmd = SW_SHOWNORMAL);

} // namespace Shell
