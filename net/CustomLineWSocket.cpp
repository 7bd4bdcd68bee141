#include "net/CustomLineWSocket.h"

#include <QPointer>
#include <cstring>

using namespace Winsock;

TCustomLineWSocket::TCustomLineWSocket(QObject *owner) : TCustomSslWSocket(owner) {}

void TCustomLineWSocket::SetLineMode(bool value)
{
    if (value == FLineMode)
        return;
    const bool held = !FRcvdBuf.isEmpty() || FLineLength > 0;
    FLineMode = value;
    // What is held is searched afresh under the new mode; a half-read line stays in
    // front of the rest.
    FLineLength = 0;
    FScanFrom = 0;
    if (held)
        PostToSelf(WM_LINE_PENDING, quintptr(FHSocket), 0);
}

int TCustomLineWSocket::RcvdCount()
{
    if (FLineMode)
        return FLineLength;
    if (!FRcvdBuf.isEmpty())
        return int(FRcvdBuf.size());
    return TCustomSslWSocket::RcvdCount();
}

void TCustomLineWSocket::WndProc(TMessage &msg)
{
    if (msg.Msg == WM_LINE_PENDING) {
        HandleLinePending();
        return;
    }
    TCustomSslWSocket::WndProc(msg);
}

void TCustomLineWSocket::HandleLinePending()
{
    if (FRcvdBuf.isEmpty() && FHSocket == INVALID_SOCKET)
        return;
    QPointer<TCustomLineWSocket> self(this);
    // Offered again for as long as the handlers keep taking bytes.
    for (;;) {
        const qsizetype before = FRcvdBuf.size();
        const int lineBefore = FLineLength;
        TriggerDataAvailable(0);
        if (!self)
            return;
        if (FRcvdBuf.isEmpty() || (FRcvdBuf.size() == before && FLineLength == lineBefore))
            return;
    }
}

int TCustomLineWSocket::DoRecv(void *buffer, int length, int flags)
{
    if (FLineMode && FLineLength > 0) {
        const int count = qBound(0, length, FLineLength);
        std::memcpy(buffer, FRcvdBuf.constData(), size_t(count));
        FRcvdBuf.remove(0, count);
        FScanFrom = qMax(0, FScanFrom - count);
        FLineLength -= count;
        // A line read outside a handler (after a handler left it) lets the rest move on.
        if (FLineLength == 0 && !FOffering)
            PostToSelf(WM_LINE_PENDING, quintptr(FHSocket), 0);
        return count;
    }
    if (!FLineMode && !FRcvdBuf.isEmpty()) {
        const int count = qBound(0, length, int(FRcvdBuf.size()));
        std::memcpy(buffer, FRcvdBuf.constData(), size_t(count));
        FRcvdBuf.remove(0, count);
        FScanFrom = 0;
        return count;
    }
    return TCustomSslWSocket::DoRecv(buffer, length, flags);
}

bool TCustomLineWSocket::TriggerDataAvailable(quint16 error)
{
    if (!FLineMode || FLineEnd.isEmpty() || SocksNegotiating() || SslNegotiating())
        return TCustomSslWSocket::TriggerDataAvailable(error);
    QPointer<TCustomLineWSocket> self(this);
    // A line the handler left unread is offered first; while it stays unread nothing
    // more is taken from the platform, so the buffer cannot grow behind it.
    if (FLineLength > 0 && !OfferLine())
        return true;
    if (!self)
        return true;
    ReadPending();
    if (!self)
        return true;
    ScanLines();
    return true;
}

bool TCustomLineWSocket::ReadPending()
{
    if (FHSocket == INVALID_SOCKET)
        return false;
    const int pending = TCustomSslWSocket::RcvdCount();
    if (pending <= 0)
        return false;
    const int old = int(FRcvdBuf.size());
    FRcvdBuf.resize(old + pending);
    ++FRecvCalls;
    const int n = TCustomSslWSocket::DoRecv(FRcvdBuf.data() + old, pending, 0);
    if (n <= 0) {
        FRcvdBuf.resize(old);
        if (n < 0)
            FLastError = GetLastError();
        return false;
    }
    FRcvdBuf.resize(old + n);
    int held = old;
    int count = n;
    // The echo may fail and close the socket, whose handler may free it.
    QPointer<TCustomLineWSocket> self(this);
    if (FLineEdit)
        EditLine(held, count);
    else if (FLineEcho)
        Send(FRcvdBuf.constData() + old, n);
    if (!self)
        return false;
    FScanFrom = qMin(FScanFrom, qMax(0, held - int(FLineEnd.size())));
    return true;
}

void TCustomLineWSocket::ScanLines()
{
    QPointer<TCustomLineWSocket> self(this);
    while (FLineMode && !FLineEnd.isEmpty()) {
        const qsizetype end = FRcvdBuf.indexOf(FLineEnd, FScanFrom);
        if (end >= 0) {
            FLineLength = int(end + FLineEnd.size());
            FLineReceivedFlag = true;
            if (!OfferLine())
                return;
            continue;
        }
        FScanFrom = qMax(0, int(FRcvdBuf.size() - FLineEnd.size() + 1));
        if (FLineLimit <= 0 || FRcvdBuf.size() <= FLineLimit)
            return;
        TriggerLineTooLong();
        if (!self)
            return;
        if (!FLineMode || FRcvdBuf.size() <= FLineLimit)
            continue;
        FLineLength = FLineLimit;
        FLineReceivedFlag = true;
        if (!OfferLine())
            return;
    }
}

bool TCustomLineWSocket::OfferLine()
{
    QPointer<TCustomLineWSocket> self(this);
    FOffering = true;
    while (FLineMode && FLineLength > 0) {
        const int before = FLineLength;
        // The line is plaintext already: it goes straight to the application.
        const bool handled = TCustomSocksWSocket::TriggerDataAvailable(0);
        if (!self)
            return false;
        if (!handled) {
            FRcvdBuf.remove(0, FLineLength);
            FScanFrom = 0;
            FLineLength = 0;
            break;
        }
        if (FLineLength == before) {
            FOffering = false;
            return false;
        }
    }
    FOffering = false;
    return FLineLength == 0;
}

void TCustomLineWSocket::TriggerSessionClosed(quint16 error)
{
    QPointer<TCustomLineWSocket> self(this);
    FLineReceivedFlag = true;
    if (!FRcvdBuf.isNull()) {
        if (FLineMode && !FRcvdBuf.isEmpty()) {
            FLineLength = int(FRcvdBuf.size());
            OfferLine();
            if (!self)
                return;
        }
        FRcvdBuf = QByteArray();
        FLineLength = 0;
        FScanFrom = 0;
    }
    TCustomSslWSocket::TriggerSessionClosed(error);
}

void TCustomLineWSocket::EditLine(int &held, int &count)
{
    const int start = held;
    const int end = start + count;
    bool special = false;
    for (int i = start; i < end && !special; ++i)
        special = FRcvdBuf.at(i) == '\b' || FRcvdBuf.at(i) == '\t';
    if (!special) {
        if (FLineEcho)
            Send(FRcvdBuf.constData() + start, count);
        return;
    }
    QByteArray text = FRcvdBuf.left(start);
    text.reserve(((end + 256) / 256) * 256);
    QByteArray echo;
    int lowest = start;
    for (int i = start; i < end; ++i) {
        const char c = FRcvdBuf.at(i);
        if (c == '\b') {
            if (!text.isEmpty()) {
                if (FLineEcho)
                    echo.append("\b \b", 3);
                text.chop(1);
            }
            lowest = qMin(lowest, int(text.size()));
        } else if (c == '\t') {
            const int blanks = 8 - int(text.size() % 8);
            text.append(blanks, ' ');
            if (FLineEcho)
                echo.append(blanks, ' ');
        } else {
            text.append(c);
            if (FLineEcho)
                echo.append(c);
        }
    }
    FRcvdBuf = text;
    held = lowest;
    count = int(text.size()) - lowest;
    if (!echo.isEmpty())
        Send(echo.constData(), int(echo.size()));
}
