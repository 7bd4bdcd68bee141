#pragma once

#include <QLoggingCategory>

// The calculator's start-up and settings; enable with QT_LOGGING_RULES="tallowmere.app.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcApp)
