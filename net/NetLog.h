#pragma once

#include <QLoggingCategory>

// Traces of the socket and HTTP layers; enable with QT_LOGGING_RULES="tallowmere.net.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcNet)
