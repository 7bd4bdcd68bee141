#pragma once

#include <QColor>
#include <QImage>

enum TExplorerButtonShadingType { stLight, stMedium, stDark };

// The image work of the flat button. In every image the colour of the top-left pixel
// is the background.
namespace ExplorerButtonImages {

// The 50 % dither a down button is filled with: button face, with every pixel whose x
// and y have the same parity in the button highlight colour. 8 x 8, shared.
const QImage &DownPattern(const QColor &face, const QColor &highlight);

// The image with its background pixels made fully transparent.
QImage Transparent(const QImage &image);

// The image's non-background pixels in one colour, the rest transparent: one layer
// of the etched look of a disabled button.
QImage Silhouette(const QImage &image, const QColor &color);

// The mono version: background pixels stay; every other pixel becomes white,
// highlight, shadow or black by the sum of its red, green and blue against the
// thresholds of the shading type.
QImage Mono(const QImage &bitmap, TExplorerButtonShadingType shadingType, const QColor &highlight,
            const QColor &shadow);

} // namespace ExplorerButtonImages
