#include "net/NetLog.h"

Q_LOGGING_CATEGORY(lcNet, "tallowmere.net", QtWarningMsg)
