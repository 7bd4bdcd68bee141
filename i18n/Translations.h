#pragma once

#include <QLocale>
#include <QString>

// The texts of every program come in the user's language when it has a translation and in
// English otherwise. Installed once the application object exists and before the first
// window or message.
namespace Translations {

// Installs the program's translation for the first of the locale's UI languages that has
// one, else the English plural forms of the source texts, and Qt's own texts (dialogs,
// message box buttons) in the same language. Replaces what an earlier call installed.
// Answers the language installed ("de", "en").
QString Install(const QLocale &locale = QLocale::system());

} // namespace Translations
