#pragma once

#include "report/QRTypes.h"

#include <QString>

class QFont;
class TQRBand;
class TQRLabel;
class TQRShape;

// Shorthands for report forms built in code: a print control added to a band with its
// settings in one call.
namespace QRFormParts {

// Bounds are set last, so a right-aligned auto-sized label keeps its right edge there.
TQRLabel *AddLabel(TQRBand *band, const QString &caption, int left, int top, int width, int height,
                   const QFont *font = nullptr, TAlignment alignment = taLeftJustify, bool autoSize = true);

// A horizontal rule across the given width.
TQRShape *AddHorizontalLine(TQRBand *band, int left, int top, int width);

} // namespace QRFormParts
