#pragma once

#include <QLoggingCategory>

// The report folder's one logging category, "tallowmere.report", quiet unless enabled.
Q_DECLARE_LOGGING_CATEGORY(lcReport)
