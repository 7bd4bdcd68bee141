#include "app/profile/ProfilePicture.h"

#include "app/profile/NpvProfile.h"
#include "platform/core/Exceptions.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

namespace ProfilePicture {

namespace {

bool HasSuffix(const QString &fileName, const char *suffix)
{
    return fileName.endsWith(QLatin1String(suffix), Qt::CaseInsensitive);
}

QByteArray SvgBytes(const TNpvProfile &profile, const QSize &size)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(QCoreApplication::translate("ProfilePicture", "NPV Profile"));
    svg.setDescription(profile.Description());
    QPainter painter(&svg);
    profile.Paint(painter, QRectF(QPointF(0, 0), size));
    painter.end();
    return buffer.data();
}

QByteArray PngBytes(const TNpvProfile &profile, const QSize &size)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    Render(profile, size).save(&buffer, "PNG");
    return buffer.data();
}

} // namespace

QPicture Record(const TNpvProfile &profile, const QSize &size)
{
    QPicture picture;
    QPainter painter(&picture);
    profile.Paint(painter, QRectF(QPointF(0, 0), size));
    painter.end();
    picture.setBoundingRect(QRect(QPoint(0, 0), size));
    return picture;
}

QImage Render(const TNpvProfile &profile, const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    profile.Paint(painter, QRectF(QPointF(0, 0), size));
    return image;
}

bool IsPictureName(const QString &fileName)
{
    return HasSuffix(fileName, ".png") || HasSuffix(fileName, ".svg");
}

void Save(const TNpvProfile &profile, const QString &fileName, const QSize &size)
{
    const QString shown = QDir::toNativeSeparators(fileName);
    if (!IsPictureName(fileName))
        throw Exception(QCoreApplication::translate("ProfilePicture", "%1: the picture's name must end in .png or .svg")
                            .arg(shown));
    // Drawn completely before the file is touched.
    const QByteArray bytes = HasSuffix(fileName, ".svg") ? SvgBytes(profile, size) : PngBytes(profile, size);
    if (bytes.isEmpty())
        throw Exception(QCoreApplication::translate("ProfilePicture", "cannot draw %1").arg(shown));
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw Exception(
            QCoreApplication::translate("ProfilePicture", "cannot write %1: %2").arg(shown, file.errorString()));
}

} // namespace ProfilePicture
