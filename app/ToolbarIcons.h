#pragma once

#include <QImage>

// The toolbar's pictures, drawn here as 16 x 16 images on a magenta key colour (the
// flat button treats the top-left pixel's colour as transparent). Lines are drawn
// without antialiasing so no edge pixel mixes with the key colour.
namespace ToolbarIcons {

enum Kind { Print, PrintSetup, Disclaimer, Reset, Update, Help, Exit };

QImage Make(Kind kind);

} // namespace ToolbarIcons
