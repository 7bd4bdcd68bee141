#include "controls/ExplorerButtonImages.h"

namespace {

struct ShadingThresholds {
    int Hi, Mid, Lo;
};

ShadingThresholds Thresholds(TExplorerButtonShadingType type)
{
    switch (type) {
    case stLight: return {205, 127, 68};
    case stDark: return {335, 274, 175};
    case stMedium: break;
    }
    return {553, 231, 57};
}

} // namespace

namespace ExplorerButtonImages {

const QImage &DownPattern(const QColor &face, const QColor &highlight)
{
    static QImage pattern;
    static QRgb patternFace = 0, patternHighlight = 0;
    if (pattern.isNull() || patternFace != face.rgb() || patternHighlight != highlight.rgb()) {
        pattern = QImage(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                pattern.setPixel(x, y, (x % 2 == y % 2) ? highlight.rgb() : face.rgb());
        patternFace = face.rgb();
        patternHighlight = highlight.rgb();
    }
    return pattern;
}

// Pixels that are already fully transparent count as background too, so that
// images with an alpha channel draw as expected.
QImage Transparent(const QImage &image)
{
    if (image.isNull())
        return image;
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = result.pixel(0, 0);
    for (int y = 0; y < result.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            if (line[x] == key || qAlpha(line[x]) == 0)
                line[x] = 0;
    }
    return result;
}

QImage Silhouette(const QImage &image, const QColor &color)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = result.pixel(0, 0);
    const QRgb ink = color.rgba();
    for (int y = 0; y < result.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x)
            line[x] = (line[x] == key || qAlpha(line[x]) == 0) ? 0 : ink;
    }
    return result;
}

QImage Mono(const QImage &bitmap, TExplorerButtonShadingType shadingType, const QColor &highlight, const QColor &shadow)
{
    if (bitmap.isNull())
        return QImage();
    QImage result = bitmap.convertToFormat(QImage::Format_RGB32);
    const QRgb background = result.pixel(0, 0);
    const ShadingThresholds t = Thresholds(shadingType);
    for (int y = 0; y < result.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if (line[x] == background)
                continue;
            const int s = qRed(line[x]) + qGreen(line[x]) + qBlue(line[x]);
            if (s > t.Hi)
                line[x] = qRgb(255, 255, 255);
            else if (s > t.Mid)
                line[x] = highlight.rgb();
            else if (s > t.Lo)
                line[x] = shadow.rgb();
            else
                line[x] = qRgb(0, 0, 0);
        }
    }
    return result;
}

} // namespace ExplorerButtonImages
