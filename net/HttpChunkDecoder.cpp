#include "net/HttpChunkDecoder.h"

#include <QCoreApplication>

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

void THttpChunkDecoder::Reset()
{
    *this = THttpChunkDecoder();
}

THttpChunkDecoder::TStep THttpChunkDecoder::Step(const char *data, qsizetype length)
{
    TStep step;
    if (length <= 0)
        return step;
    switch (FState) {
    case Data: {
        const qsizetype take = qsizetype(qMin<qint64>(FRemaining, length));
        FRemaining -= take;
        if (FRemaining == 0) {
            FState = DataEnd;
            FSawCR = false;
        }
        step.Consumed = take;
        step.Content = data;
        step.ContentLength = take;
        return step;
    }
    case SizeLine: step.Consumed = StepSizeLine(data, length); return step;
    case DataEnd: step.Consumed = StepDataEnd(data, length); return step;
    case Trailer: step.Consumed = StepTrailer(data, length); return step;
    case Finished:
    case Malformed: break;
    }
    return step;
}

qsizetype THttpChunkDecoder::StepSizeLine(const char *data, qsizetype length)
{
    qsizetype i = 0;
    while (i < length && FState == SizeLine) {
        const char c = data[i++];
        if (c == '\n') {
            EndSizeLine();
            break;
        }
        if (++FLineLength > MaxSizeLine) {
            Refuse(QCoreApplication::translate("THttpChunkDecoder", "chunk size line too long"));
            break;
        }
        if (FSawCR) {
            Refuse(QCoreApplication::translate("THttpChunkDecoder", "bad chunk size line"));
            break;
        }
        if (c == '\r') {
            FSawCR = true;
            continue;
        }
        if (FSizeDone)
            continue;
        const int digit = HexDigit(c);
        if (digit >= 0) {
            if (++FSizeDigits > 15) {
                Refuse(QCoreApplication::translate("THttpChunkDecoder", "chunk size too large"));
                break;
            }
            FSize = FSize * 16 + digit;
        } else if ((c == ';' || c == ' ' || c == '\t') && FSizeDigits > 0) {
            FSizeDone = true;
        } else {
            Refuse(QCoreApplication::translate("THttpChunkDecoder", "bad chunk size"));
            break;
        }
    }
    return i;
}

void THttpChunkDecoder::EndSizeLine()
{
    if (FSizeDigits == 0) {
        Refuse(QCoreApplication::translate("THttpChunkDecoder", "bad chunk size"));
        return;
    }
    FRemaining = FSize;
    FState = FSize == 0 ? Trailer : Data;
    FSize = 0;
    FSizeDigits = 0;
    FSizeDone = false;
    FLineLength = 0;
    FSawCR = false;
}

qsizetype THttpChunkDecoder::StepDataEnd(const char *data, qsizetype length)
{
    qsizetype i = 0;
    while (i < length && FState == DataEnd) {
        const char c = data[i++];
        if (c == '\r' && !FSawCR) {
            FSawCR = true;
        } else if (c == '\n') {
            FState = SizeLine;
            FSawCR = false;
        } else {
            Refuse(QCoreApplication::translate("THttpChunkDecoder", "no line end after chunk data"));
        }
    }
    return i;
}

qsizetype THttpChunkDecoder::StepTrailer(const char *data, qsizetype length)
{
    qsizetype i = 0;
    while (i < length && FState == Trailer) {
        const char c = data[i++];
        if (c == '\n') {
            if (FLineLength == 0)
                FState = Finished;
            FLineLength = 0;
            FSawCR = false;
            continue;
        }
        if (++FTrailerBytes > MaxTrailer) {
            Refuse(QCoreApplication::translate("THttpChunkDecoder", "chunk trailer too large"));
            break;
        }
        if (c == '\r' && !FSawCR) {
            FSawCR = true;
            continue;
        }
        if (c == '\0') {
            Refuse(QCoreApplication::translate("THttpChunkDecoder", "NUL byte in the chunk trailer"));
            break;
        }
        // A CR that was not followed by LF belongs to the line's text.
        FLineLength += FSawCR ? 2 : 1;
        FSawCR = false;
    }
    return i;
}

void THttpChunkDecoder::Refuse(const QString &reason)
{
    FState = Malformed;
    FError = reason;
}
