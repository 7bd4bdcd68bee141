#pragma once

#include <QLoggingCategory>

// Errors reported to the user, help and shell requests, print jobs; enable with QT_LOGGING_RULES="tallowmere.gui.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcGui)
