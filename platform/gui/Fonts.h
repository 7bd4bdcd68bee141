#pragma once

#include <QFont>
#include <QString>

// Fonts named and sized the way the windows were designed: "Arial" and the old window
// font "MS Sans Serif" resolve to Liberation Sans (metric-compatible with Arial). A
// negative height is the em height in pixels; a positive height is the character cell
// height (ascent plus descent), from which the em size is derived.
namespace Fonts {

QFont Make(const QString &family, int height, bool bold = false);

// The family that stands in for a designed family name on this system.
QString Family(const QString &designedFamily);

} // namespace Fonts
