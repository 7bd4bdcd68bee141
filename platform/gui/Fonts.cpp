#include "platform/gui/Fonts.h"

#include <QFontMetricsF>
#include <QHash>
#include <cmath>

namespace Fonts {

QString Family(const QString &designedFamily)
{
    if (designedFamily.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0 ||
        designedFamily.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Sans");
    return designedFamily;
}

QFont Make(const QString &family, int height, bool bold)
{
    QFont font(Family(family));
    font.setBold(bold);
    if (height < 0) {
        font.setPixelSize(-height);
        return font;
    }
    // Cell height over em height is a property of the family; measure it once.
    static QHash<QString, qreal> cellRatio;
    auto it = cellRatio.find(font.family());
    if (it == cellRatio.end()) {
        QFont probe(font.family());
        probe.setPixelSize(1000);
        const QFontMetricsF metrics(probe);
        it = cellRatio.insert(font.family(), (metrics.ascent() + metrics.descent()) / 1000.0);
    }
    font.setPixelSize(std::max(1, int(std::lround(height / it.value()))));
    return font;
}

} // namespace Fonts
