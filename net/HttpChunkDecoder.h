#pragma once

#include <QString>
#include <QtGlobal>

// Takes a chunked reply body apart as it arrives, in pieces of any size. The caller
// hands over what it received; each Step consumes framing bytes or yields a run of
// content that points into the caller's bytes, so nothing is copied. Every piece of
// framing it keeps is bounded: a size line of MaxSizeLine bytes, trailer lines of
// MaxTrailer bytes in all, and chunk sizes below MaxChunkSize.
class THttpChunkDecoder {
public:
    enum TState { SizeLine, Data, DataEnd, Trailer, Finished, Malformed };

    static constexpr int MaxSizeLine = 1024;
    static constexpr int MaxTrailer = 65536;
    // Fifteen hex digits: far beyond any real chunk, and no sum of them overflows.
    static constexpr qint64 MaxChunkSize = (qint64(1) << 60) - 1;

    struct TStep {
        qsizetype Consumed = 0;
        const char *Content = nullptr;
        qsizetype ContentLength = 0;
    };

    void Reset();
    // Consumes from data: either framing (ContentLength 0) or content. Call again while
    // bytes remain and the state is neither Finished nor Malformed.
    TStep Step(const char *data, qsizetype length);

    TState State() const { return FState; }
    // Why the body was refused, for a Malformed state.
    const QString &Error() const { return FError; }

private:
    qsizetype StepSizeLine(const char *data, qsizetype length);
    qsizetype StepDataEnd(const char *data, qsizetype length);
    qsizetype StepTrailer(const char *data, qsizetype length);
    void EndSizeLine();
    void Refuse(const QString &reason);

    TState FState = SizeLine;
    qint64 FRemaining = 0;
    int FLineLength = 0;
    int FTrailerBytes = 0;
    qint64 FSize = 0;
    int FSizeDigits = 0;
    // The size has ended (a blank or ";" followed); the rest of the line is extensions.
    bool FSizeDone = false;
    bool FSawCR = false;
    QString FError;
};
