#pragma once

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
// read at start-up; each key that is missing keeps the built-in value. A HomeURL that is
// neither an "http://" nor an "https://" address is ignored (the built-in page stays), a
// ProxyPort that is not a port number gives 80, and CAFile replaces the system's trust
// store for https (nothing turns the check of the server's certificate off).
namespace UpdateSettings {

inline const QString Section = QStringLiteral("Update");
inline const QString DefaultHomeURL = QStringLiteral("https://www.corvane.example/tallowmere.htm");
inline constexpr int DefaultProxyPort = 80;

// The designed configuration: version 1.1.00, the program's entry names, the options
// (display UI and read-me, run the update, exit during it), Arial -11 for the windows,
// and the built-in information page; then the "Update" section of settingsFile.
void ConfigureWebFileInfo(TWebFileInfo &webFileInfo, const QString &settingsFile);

// The same with the program's own settings file (ProgramPaths::SettingsFile of the
// program's folder and "tlm.ini").
void ConfigureWebFileInfo(TWebFileInfo &webFileInfo);

// Only the "Update" section: HomeURL, ProxyHost and ProxyPort.
void ReadUpdateSection(TWebFileInfo &webFileInfo, const QString &settingsFile);

} // namespace UpdateSettings
