#include "support/OffscreenDefault.h"

#include <QByteArray>
#include <QtGlobal>

void DefaultToOffscreenPlatform()
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
}
