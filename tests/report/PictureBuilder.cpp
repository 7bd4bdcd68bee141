#include "PictureBuilder.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPicture>

QByteArray PictureBuilder::Params(const std::function<void(QDataStream &)> &write, int version)
{
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    s.setVersion(version);
    write(s);
    return bytes;
}

PictureBuilder &PictureBuilder::Add(quint8 command, const QByteArray &parameters)
{
    return AddAnnouncing(command, parameters.size(), parameters);
}

PictureBuilder &PictureBuilder::AddAnnouncing(quint8 command, qint64 length, const QByteArray &parameters)
{
    QByteArray record;
    QDataStream s(&record, QIODevice::WriteOnly);
    s << command;
    if (length < 255) {
        s << quint8(length);
    } else {
        s << quint8(255) << quint32(length);
    }
    record += parameters;
    FRecords.push_back(record);
    return *this;
}

QByteArray PictureBuilder::Bytes(bool end, qint64 records, bool checksum) const
{
    QByteArray body;
    for (const QByteArray &record : FRecords)
        body += record;
    if (end)
        body += QByteArray("\x1f\x00", 2);
    const qint64 count = records >= 0 ? records : qint64(FRecords.size()) + (end ? 1 : 0);

    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    s.writeRawData("QPIC", 4);
    s << quint16(0) << quint16(FVersion) << quint16(0);
    s << quint8(30) << quint8(4) << qint32(0) << qint32(0) << qint32(400) << qint32(400) << quint32(count);
    bytes += body;
    if (checksum) {
        const quint16 sum = qChecksum(QByteArrayView(bytes).sliced(6));
        bytes[4] = char(sum >> 8);
        bytes[5] = char(sum & 0xff);
    }
    return bytes;
}

bool PlayPicture(const QByteArray &picture)
{
    QPicture page;
    page.setData(picture.constData(), uint(picture.size()));
    QImage image(200, 200, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    return page.play(&painter);
}
