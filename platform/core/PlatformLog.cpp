#include "platform/core/PlatformLog.h"

Q_LOGGING_CATEGORY(lcPlatform, "tallowmere.platform", QtWarningMsg)
