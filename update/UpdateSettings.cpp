#include "update/UpdateSettings.h"

#include "platform/core/ProfileFile.h"
#include "platform/core/ProgramPaths.h"
#include "platform/gui/Fonts.h"
#include "update/Update.h"
#include "update/WebFileInfo.h"
#include "update/core/InfoPage.h"

namespace UpdateSettings {

void ConfigureWebFileInfo(TWebFileInfo &webFileInfo, const QString &settingsFile)
{
    webFileInfo.SetCurrentVersion(TfrmUpdate::CurrentVersion);
    webFileInfo.SetInfoTags(TWfiTags::ProgramTags());
    webFileInfo.SetOptions(wfioDisplayUI | wfioDisplayReadMe | wfioRunUpdate | wfioExitDuringUpdate);
    webFileInfo.SetUIFont(Fonts::Make(QStringLiteral("Arial"), -11));
    webFileInfo.SetHomeURL(DefaultHomeURL);
    ReadUpdateSection(webFileInfo, settingsFile);
}

void ConfigureWebFileInfo(TWebFileInfo &webFileInfo)
{
    ConfigureWebFileInfo(webFileInfo,
                         ProgramPaths::SettingsFile(ProgramPaths::ProgramDir(), QStringLiteral("tlm.ini")));
}

void ReadUpdateSection(TWebFileInfo &webFileInfo, const QString &settingsFile)
{
    const ProfileFile file(settingsFile);
    webFileInfo.SetHomeURL(file.ReadString(Section, QStringLiteral("HomeURL"), QString()));
    webFileInfo.SetProxyHost(file.ReadString(Section, QStringLiteral("ProxyHost"), webFileInfo.ProxyHost()));
    webFileInfo.SetCAFile(file.ReadString(Section, QStringLiteral("CAFile"), webFileInfo.CAFile()));
    const QString portText = file.ReadString(Section, QStringLiteral("ProxyPort"), QString());
    if (portText.isEmpty())
        return;
    const int port = InfoPage::StrToIntDef(portText, -1);
    webFileInfo.SetProxyPort(port >= 1 && port <= 65535 ? port : DefaultProxyPort);
}

} // namespace UpdateSettings
