#include "update/UpdateSettings.h"

#include "platform/core/ProfileFile.h"
#include "platform/core/ProgramPaths.h"
#include "platform/gui/Fonts.h"
#include "update/Update.h"
#include "update/WebFileInfo.h"
#include "update/core/InfoPage.h"

#include <QFile>

// The library is static: its resources are registered by hand before the first use.
static void InitKeyResources()
{
    Q_INIT_RESOURCE(update_keys);
}

namespace UpdateSettings {

QList<TMinisignKey> BuiltInKeys()
{
    InitKeyResources();
    QList<TMinisignKey> keys;
    for (const QString &name : {QStringLiteral("corvane-active.pub"), QStringLiteral("corvane-backup.pub")}) {
        QFile file(QStringLiteral(":/update/keys/") + name);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        if (const std::optional<TMinisignKey> key = TMinisignKey::ParsePublicKeyFile(file.readAll(), MakerKeyName))
            keys.append(*key);
    }
    return keys;
}

void ConfigureWebFileInfo(TWebFileInfo &webFileInfo, const QString &settingsFile)
{
    webFileInfo.SetCurrentVersion(TfrmUpdate::CurrentVersion);
    webFileInfo.SetInfoTags(TWfiTags::ProgramTags());
    webFileInfo.SetOptions(wfioDisplayUI | wfioDisplayReadMe | wfioRunUpdate | wfioExitDuringUpdate);
    webFileInfo.SetUIFont(Fonts::Make(QStringLiteral("Arial"), -11));
    webFileInfo.SetHomeURL(DefaultHomeURL);
    webFileInfo.SetSignedProduct(SignedProduct);
    webFileInfo.SetTrustedKeys(BuiltInKeys());
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
    if (const QString keys = file.ReadString(Section, QStringLiteral("PublicKey"), QString()); !keys.isEmpty()) {
        if (const std::optional<QList<TMinisignKey>> parsed = TMinisignKey::ParseList(keys, SettingsKeyName))
            webFileInfo.SetTrustedKeys(*parsed);
        else
            webFileInfo.SetTrustedKeysError(KeysError);
    }
    // Missing, not a number or not positive: the default.
    const QString maxDownload = file.ReadString(Section, QStringLiteral("MaxDownloadSize"), QString()).trimmed();
    webFileInfo.SetMaxDownloadSize(maxDownload.toLongLong());
    const QString portText = file.ReadString(Section, QStringLiteral("ProxyPort"), QString());
    if (portText.isEmpty())
        return;
    const int port = InfoPage::StrToIntDef(portText, -1);
    webFileInfo.SetProxyPort(port >= 1 && port <= 65535 ? port : DefaultProxyPort);
}

} // namespace UpdateSettings
