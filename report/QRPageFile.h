#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The page file ("*.QRP"): a 372-byte little-endian header, then one record per page,
// each a page-picture record of our own (a magic value and its total size, then the
// recorded picture) followed by the file offset at which that record starts.
namespace QRPageFile {

constexpr int HeaderSize = 372;
constexpr int RecordHeaderSize = 8;
constexpr int OffsetSize = 4;
// "PAGE" as it reads in the file.
constexpr char RecordMagic[4] = {'P', 'A', 'G', 'E'};

// Page sides beyond this many screen pixels (several metres) are not a page.
constexpr int MaxPageSide = 30000;

struct Header {
    int PageHeight = 0;
    int PageWidth = 0;
    int PixelsPerInch = 0;
    int PageCount = 0;
    // Days since 30 December 1899, the fraction being the time of day.
    double Saved = 0;
    bool Portrait = true;
};

QByteArray EncodeHeader(const Header &header);
// Reads the fields of a header of HeaderSize bytes.
Header DecodeHeader(const QByteArray &bytes);

QByteArray EncodeRecordHeader(quint32 totalSize);
// The total size of the record that starts with these RecordHeaderSize bytes, or -1
// when they do not start a page record.
qint64 DecodeRecordHeader(const QByteArray &bytes);

QByteArray EncodeOffset(qint32 offset);
qint32 DecodeOffset(const QByteArray &bytes);

double DaysSince1899(const QDateTime &moment);

// round(side × 1.1) in whole numbers, halves to the even neighbour: the sheet around a
// loaded page.
int SheetSide(int pageSide);

} // namespace QRPageFile
