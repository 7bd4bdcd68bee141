#pragma once

#include <QLoggingCategory>

// What the discounting schedule reads and shows; enable with QT_LOGGING_RULES="tallowmere.schedule.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcSchedule)
