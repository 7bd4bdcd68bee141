#include "report/QRPageFile.h"

#include <QtEndian>
#include <cstring>

namespace QRPageFile {

namespace {

template <typename T>
void Put(QByteArray &bytes, int offset, T value)
{
    qToLittleEndian(value, bytes.data() + offset);
}

template <typename T>
T Get(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<T>(bytes.constData() + offset);
}

} // namespace

QByteArray EncodeHeader(const Header &header)
{
    QByteArray bytes(HeaderSize, '\0');
    Put<quint16>(bytes, 0, 1);
    Put<quint16>(bytes, 2, 100);
    Put<qint32>(bytes, 4, header.PageHeight);
    Put<qint32>(bytes, 8, header.PageWidth);
    Put<qint32>(bytes, 12, header.PixelsPerInch);
    Put<qint32>(bytes, 16, header.PageCount);
    Put<double>(bytes, 104, header.Saved);
    bytes[112] = header.Portrait ? 1 : 0;
    return bytes;
}

Header DecodeHeader(const QByteArray &bytes)
{
    Header header;
    if (bytes.size() < HeaderSize)
        return header;
    header.PageHeight = Get<qint32>(bytes, 4);
    header.PageWidth = Get<qint32>(bytes, 8);
    header.PixelsPerInch = Get<qint32>(bytes, 12);
    header.PageCount = Get<qint32>(bytes, 16);
    header.Saved = Get<double>(bytes, 104);
    header.Portrait = bytes.at(112) != 0;
    return header;
}

QByteArray EncodeRecordHeader(quint32 totalSize)
{
    QByteArray bytes(RecordMagic, sizeof RecordMagic);
    bytes.resize(RecordHeaderSize);
    Put<quint32>(bytes, 4, totalSize);
    return bytes;
}

qint64 DecodeRecordHeader(const QByteArray &bytes)
{
    if (bytes.size() < RecordHeaderSize || std::memcmp(bytes.constData(), RecordMagic, sizeof RecordMagic) != 0)
        return -1;
    return Get<quint32>(bytes, 4);
}

QByteArray EncodeOffset(qint32 offset)
{
    QByteArray bytes(OffsetSize, '\0');
    Put<qint32>(bytes, 0, offset);
    return bytes;
}

qint32 DecodeOffset(const QByteArray &bytes)
{
    return bytes.size() < OffsetSize ? -1 : Get<qint32>(bytes, 0);
}

double DaysSince1899(const QDateTime &moment)
{
    static const QDate Epoch(1899, 12, 30);
    return double(Epoch.daysTo(moment.date())) + moment.time().msecsSinceStartOfDay() / 86400000.0;
}

int SheetSide(int pageSide)
{
    const qint64 tenths = qint64(pageSide) * 11;
    const qint64 whole = tenths / 10;
    const qint64 rest = tenths % 10;
    if (rest > 5 || (rest == 5 && whole % 2 != 0))
        return int(whole + 1);
    return int(whole);
}

} // namespace QRPageFile
