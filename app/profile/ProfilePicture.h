#pragma once

#include <QImage>
#include <QPicture>
#include <QSize>
#include <QString>

class TNpvProfile;

// The NPV profile as a finished picture: recorded for a report page, rendered into an
// image, or written to a PNG or SVG file.
namespace ProfilePicture {

// The size a saved picture has, in pixels.
constexpr QSize FileSize{800, 520};

// The profile drawn into a rectangle of this size at the origin.
QPicture Record(const TNpvProfile &profile, const QSize &size);
QImage Render(const TNpvProfile &profile, const QSize &size);

// Whether the name asks for a format Save writes: ".png" or ".svg", in any case.
bool IsPictureName(const QString &fileName);

// Writes the profile as PNG or SVG, by the name's ending. The file is written beside its
// final name and takes that name only once complete, so a failure leaves an existing
// file as it was. Raises Exception with the reason when it cannot.
void Save(const TNpvProfile &profile, const QString &fileName, const QSize &size = FileSize);

} // namespace ProfilePicture
