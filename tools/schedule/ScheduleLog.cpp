#include "tools/schedule/ScheduleLog.h"

Q_LOGGING_CATEGORY(lcSchedule, "tallowmere.schedule", QtWarningMsg)
