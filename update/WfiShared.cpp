#include "update/WfiShared.h"

#include "net/HttpProt.h"
#include "platform/core/Exceptions.h"
#include "platform/gui/Application.h"
#include "platform/gui/MessageBox.h"
#include "update/core/PageLinks.h"

#include <QCoreApplication>

namespace Wfi {

QPointer<THttpCli> &SharedClient()
{
    static QPointer<THttpCli> client;
    return client;
}

void Box(const QString &text, const QString &caption, unsigned flags)
{
    MessageBox::Show(nullptr, text, caption, flags);
}

bool Ask(const QString &text, const QString &caption)
{
    return MessageBox::Show(nullptr, text, caption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void ThrowIfBusy(const THttpCli *cli)
{
    if (cli->State() != THttpState::Idle)
        throw EHttpException(QCoreApplication::translate("TWebFileInfo", "HTTP component is busy"), ErrBusy);
}

std::shared_ptr<QString> TrackFinalAddress(THttpCli *cli, const QString &url)
{
    auto address = std::make_shared<QString>(url);
    cli->OnLocationChange = [address](QObject *sender) {
        const auto *client = static_cast<const THttpCli *>(sender);
        for (const QString &line : client->ReceivedHeader()) {
            if (line.startsWith(QLatin1String("location:"), Qt::CaseInsensitive)) {
                *address = PageLinks::Resolve(*address, line.mid(9));
                return;
            }
        }
    };
    return address;
}

QString AppTitle()
{
    const Application *app = Application::Instance();
    return app && !app->Title().isEmpty() ? app->Title() : QCoreApplication::applicationName();
}

} // namespace Wfi
