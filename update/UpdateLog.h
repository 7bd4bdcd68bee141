#pragma once

#include <QLoggingCategory>

// Traces of the update service; enable with QT_LOGGING_RULES="tallowmere.update.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcUpdate)
