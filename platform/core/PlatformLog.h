#pragma once

#include <QLoggingCategory>

// Where files are looked for and why writing them failed; enable with QT_LOGGING_RULES="tallowmere.platform.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)
