#include "app/AppLog.h"

Q_LOGGING_CATEGORY(lcApp, "tallowmere.app", QtWarningMsg)
