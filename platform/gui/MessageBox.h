#pragma once

#include <QString>
#include <functional>

class QMessageBox;
class QWidget;

// Flags and answers in the shape the program's callers use.
enum MessageBoxFlags : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_ICONSTOP = 0x10,
    MB_ICONERROR = MB_ICONSTOP,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONWARNING = MB_ICONEXCLAMATION,
    MB_ICONINFORMATION = 0x40,
};

enum MessageBoxResult : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

namespace MessageBox {

// Shows a modal message box and returns the answer (IDOK, IDCANCEL, IDYES, IDNO).
// Line breaks written as "\n\r", "\r\n" or a lone "\r" show as one line break; the
// exact text stays readable as the box's "rawText" property.
int Show(QWidget *parent, const QString &text, const QString &caption, unsigned flags);

// The message dialog: caption from the type ("Information", "Warning", ...), its icon,
// one OK button.
int MessageDlg(const QString &text, TMsgDlgType type);

// Text as shown on screen, with the line-break forms above turned into "\n".
QString DisplayText(const QString &text);

// Called with every box once it is on screen; tests read the box and press a button.
void SetOnShow(std::function<void(QMessageBox &)> onShow);

} // namespace MessageBox
