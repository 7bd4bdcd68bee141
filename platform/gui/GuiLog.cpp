#include "platform/gui/GuiLog.h"

Q_LOGGING_CATEGORY(lcGui, "tallowmere.gui", QtWarningMsg)
