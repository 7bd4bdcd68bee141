#pragma once

#include "update/core/MinisignKey.h"

#include <QList>
#include <QString>

class TWebFileInfo;

// Where the update check looks, and how the main window's TWebFileInfo is set up.
//
// The settings file may carry an optional section
//   [Update]
//   HomeURL=https://updates.example.net/tallowmere.htm
//   ProxyHost=proxy.example.net
//   ProxyPort=3128
//   CAFile=/etc/ssl/certs/our-ca.pem
//   PublicKey=RWQ... RWS...
//   MaxDownloadSize=2147483648
// read at start-up; each key that is missing keeps the built-in value. A HomeURL that is
// neither an "http://" nor an "https://" address is ignored (the built-in page stays), a
// ProxyPort that is not a port number gives 80, and CAFile replaces the system's trust
// store for https (nothing turns the check of the server's certificate off). PublicKey
// replaces the maker's built-in keys with one or more minisign public keys separated by
// blanks (for a private update server); a value that does not parse makes every check
// fail with KeysError rather than leave the program without keys. MaxDownloadSize bounds
// a downloaded file in bytes; a value that is missing, not a number or not positive
// gives 2147483648.
namespace UpdateSettings {

inline const QString Section = QStringLiteral("Update");
inline const QString DefaultHomeURL = QStringLiteral("https://www.corvane.example/tallowmere.htm");
inline constexpr int DefaultProxyPort = 80;
// What the update's signature must name as its product.
inline const QString SignedProduct = QStringLiteral("Tallowmere");
// Who the built-in keys and the key from the settings file stand for.
inline const QString MakerKeyName = QStringLiteral("Corvane Software");
inline const QString SettingsKeyName = QStringLiteral("the key in tlm.ini");
inline const QString KeysError = QStringLiteral("The PublicKey value in tlm.ini is not a minisign public key");

// The maker's keys built into the program: the active one and the backup.
QList<TMinisignKey> BuiltInKeys();

// The designed configuration: the program's version, the program's entry names, the
// maker's keys, the options
// (display UI and read-me, run the update, exit during it), Arial -11 for the windows,
// and the built-in information page; then the "Update" section of settingsFile.
void ConfigureWebFileInfo(TWebFileInfo &webFileInfo, const QString &settingsFile);

// The same with the program's own settings file (ProgramPaths::SettingsFile of the
// program's folder and "tlm.ini").
void ConfigureWebFileInfo(TWebFileInfo &webFileInfo);

// Only the "Update" section: HomeURL, ProxyHost, ProxyPort, CAFile, PublicKey and
// MaxDownloadSize.
void ReadUpdateSection(TWebFileInfo &webFileInfo, const QString &settingsFile);

} // namespace UpdateSettings
