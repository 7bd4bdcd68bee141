#pragma once

#include <QPixmap>
#include <QString>

// The glyphs of the built-in preview's buttons, drawn here rather than stored:
// "QRBMPFITPAGE", "QRBMP100", "QRBMPWIDTH", "BMPFIRST", "BMPPREV", "BMPNEXT",
// "BMPLAST", "BMPPRINT", "BMPSAVE" and "BMPLOAD". An unknown name gives a null pixmap.
QPixmap QRGlyph(const QString &name);
