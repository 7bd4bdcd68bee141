#pragma once

#include <QByteArray>
#include <QDataStream>
#include <functional>
#include <vector>

// Page pictures put together command by command, the way the picture format lays
// them out, for feeding the picture check and the page file loader with inputs the
// engine would never record.
class PictureBuilder {
public:
    explicit PictureBuilder(int version = 20) : FVersion(version) {}

    // Parameters written with a data stream of the picture's version.
    static QByteArray Params(const std::function<void(QDataStream &)> &write, int version = 20);

    // A command with its parameters and their true length.
    PictureBuilder &Add(quint8 command, const QByteArray &parameters = {});
    // A command that announces a length of its own.
    PictureBuilder &AddAnnouncing(quint8 command, qint64 length, const QByteArray &parameters);

    // The picture: header, the commands, and (unless told otherwise) the end command;
    // records is the count the header announces, -1 for the true one.
    QByteArray Bytes(bool end = true, qint64 records = -1, bool checksum = true) const;

private:
    int FVersion;
    std::vector<QByteArray> FRecords;
};

// Plays a picture onto a small image; false when Qt reports it unplayable.
bool PlayPicture(const QByteArray &picture);
