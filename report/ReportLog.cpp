#include "report/ReportLog.h"

Q_LOGGING_CATEGORY(lcReport, "tallowmere.report", QtWarningMsg)
