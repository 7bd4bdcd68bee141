#include "net/CustomWSocket.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QPointer>
#include <sys/socket.h>
#include <thread>

using namespace Winsock;

int TCustomWSocket::RcvdCount()
{
    quint32 pending = 0;
    if (!PendingBytes(FHSocket, &pending)) {
        SocketError(QStringLiteral("ioctlSocket"));
        return -1;
    }
    return int(pending);
}

int TCustomWSocket::DoRecv(void *buffer, int length, int flags)
{
    return Recv(FHSocket, buffer, length, flags);
}

int TCustomWSocket::DoRecvFrom(void *buffer, int length, int flags, sockaddr_in *from, int *fromLength)
{
    const int n = RecvFrom(FHSocket, buffer, length, flags, from);
    if (n >= 0 && fromLength)
        *fromLength = int(sizeof(sockaddr_in));
    return n;
}

int TCustomWSocket::Receive(void *buffer, int length)
{
    ++FRecvCalls;
    const int n = DoRecv(buffer, length, 0);
    if (n < 0)
        FLastError = GetLastError();
    else
        FReadCount += n;
    return n;
}

QByteArray TCustomWSocket::ReceiveText()
{
    ++FRecvCalls;
    const int count = RcvdCount();
    if (count <= 0)
        return QByteArray();
    QByteArray text(count, Qt::Uninitialized);
    const int n = DoRecv(text.data(), count, 0);
    if (n < 0)
        return QByteArray();
    text.truncate(n);
    return text;
}

int TCustomWSocket::ReceiveFrom(sockaddr_in *from, int &fromLength, void *buffer, int length)
{
    ++FRecvCalls;
    const int n = DoRecvFrom(buffer, length, 0, from, &fromLength);
    if (n < 0)
        FLastError = GetLastError();
    else
        FReadCount += n;
    return n;
}

void TCustomWSocket::DeleteBufferedData()
{
    FBufList.clear();
    bAllSent = true;
}

void TCustomWSocket::PutDataInSendBuffer(const char *data, int length)
{
    while (length > 0) {
        if (FBufList.empty() || FBufList.back()->WrCount() >= FBufList.back()->BufSize()) {
            // A large send on a stream takes blocks of up to LargeBlockSize: one
            // allocation per 1514 bytes would cost a bulk transfer more than the copy.
            // Datagrams keep the standard block, which bounds what one datagram carries.
            const int size = FType == SOCK_STREAM ? qBound(FBufSize, length, LargeBlockSize) : FBufSize;
            FBufList.push_back(std::make_unique<TBuffer>(size));
        }
        const int written = FBufList.back()->Write(data, length);
        data += written;
        length -= written;
    }
}

int TCustomWSocket::Send(const void *data, int length)
{
    if (FState != wsConnected) {
        Winsock::SetLastError(WSAENOTCONN);
        SocketError(QStringLiteral("Send"));
        return -1;
    }
    // An empty send queues nothing; it must not leave the queue marked as holding data,
    // or Flush would wait for bytes that never come.
    if (length <= 0)
        return 0;
    bAllSent = false;
    PutDataInSendBuffer(static_cast<const char *>(data), length);
    // After a send that would have blocked, the platform's write event is on its way
    // and the queue drains then; trying again before it only fails again.
    if (FWriteBlocked)
        return length;
    QPointer<TCustomWSocket> self(this);
    TryToSend();
    if (!self)
        return length;
    // Data-sent is news from the message loop, never from inside Send. One waiting
    // write message covers every Send made before it is handled.
    if (bAllSent && FHSocket != INVALID_SOCKET && !FWritePosted)
        FWritePosted = PostSelectMessage(FHSocket, FD_WRITE, 0);
    return length;
}

int TCustomWSocket::SendText(const QByteArray &text)
{
    return Send(text.constData(), int(text.size()));
}

int TCustomWSocket::SendTo(const sockaddr_in &dest, int /*destLength*/, const void *data, int length)
{
    return Winsock::SendTo(FHSocket, data, length, FSendFlags, dest);
}

int TCustomWSocket::RealSend(const char *data, int length)
{
    if (FType == SOCK_DGRAM)
        return Winsock::SendTo(FHSocket, data, length, FSendFlags, FSin);
    return Winsock::Send(FHSocket, data, length, FSendFlags);
}

void TCustomWSocket::TryToSend()
{
    if (FHSocket == INVALID_SOCKET || FBufList.empty())
        return;
    QPointer<TCustomWSocket> self(this);
    while (!FBufList.empty()) {
        int length = 0;
        FBufList.front()->Peek(length);
        if (length > 0) {
            int offered = 0;
            const int count = SendFromQueue(offered);
            if (count == SOCKET_ERROR) {
                const int code = GetLastError();
                if (code == WSAEINVAL || code == WSAENOTSOCK || code == WSAECONNRESET || code == WSAENOTCONN) {
                    FCloseInvoked = true;
                    Close();
                    if (!self)
                        return;
                    TriggerSessionClosed(quint16(code));
                    return;
                }
                if (code == WSAEWOULDBLOCK) {
                    FWriteBlocked = true;
                    return;
                }
                SocketError(QStringLiteral("TryToSend failed"));
                return;
            }
            if (count == 0)
                return;
            RemoveSent(count);
            if (count < offered) {
                FWriteBlocked = true;
                return;
            }
            continue;
        }
        if (FBufList.size() > 1) {
            FBufList.pop_front();
            continue;
        }
        bAllSent = true;
        return;
    }
}

int TCustomWSocket::SendFromQueue(int &offered)
{
    if (FBufList.size() == 1 || FType != SOCK_STREAM || FSendFlags != 0) {
        const char *data = FBufList.front()->Peek(offered);
        return RealSend(data, offered);
    }
    // A stream takes several blocks in one call; each is still sent from where Send
    // copied it, so the bytes are copied no more than once on their way out.
    constexpr int MaxPieces = 64;
    TSendPiece pieces[MaxPieces];
    int count = 0;
    offered = 0;
    for (const auto &block : FBufList) {
        if (count == MaxPieces)
            break;
        int unsent = 0;
        const char *data = block->Peek(unsent);
        if (unsent <= 0)
            continue;
        pieces[count++] = TSendPiece{data, unsent};
        offered += unsent;
    }
    return RealSendGathered(pieces, count);
}

int TCustomWSocket::RealSendGathered(const TSendPiece *pieces, int count)
{
    return SendGathered(FHSocket, pieces, count, FSendFlags);
}

void TCustomWSocket::RemoveSent(int count)
{
    // Blocks the platform took whole are freed, except the last, kept for reuse.
    while (count > 0 && !FBufList.empty()) {
        TBuffer &front = *FBufList.front();
        count -= front.Remove(count);
        if (front.WrCount() == 0 && FBufList.size() > 1)
            FBufList.pop_front();
    }
}

void TCustomWSocket::Flush()
{
    QPointer<TCustomWSocket> self(this);
    const QDeadlineTimer deadline = FFlushTimeout > 0 ? QDeadlineTimer(qint64(FFlushTimeout) * 1000)
                                                      : QDeadlineTimer(QDeadlineTimer::Forever);
    while (FHSocket != INVALID_SOCKET && !bAllSent) {
        TryToSend();
        if (!self || bAllSent || FHSocket == INVALID_SOCKET)
            return;
        if (deadline.hasExpired())
            return;
        PumpMessages();
        if (!self)
            return;
        std::this_thread::yield();
    }
}

void TCustomWSocket::WaitForClose()
{
    QPointer<TCustomWSocket> self(this);
    while (FHSocket != INVALID_SOCKET && FState != wsClosed) {
        PumpMessages();
        if (!self || FHSocket == INVALID_SOCKET)
            return;
        quint32 pending = 0;
        if (!PendingBytes(FHSocket, &pending))
            return;
        if (pending > 0) {
            TriggerDataAvailable(0);
            if (!self || FHSocket == INVALID_SOCKET)
                return;
        }
        char probe;
        if (DoRecv(&probe, 0, 0) < 1) {
            FLastError = GetLastError();
            if (FLastError != WSAEWOULDBLOCK)
                return;
        }
        PumpMessages();
        if (!self)
            return;
        std::this_thread::yield();
    }
}
