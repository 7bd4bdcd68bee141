#include "platform/core/Winsock.h"

#include "platform/core/Messages.h"

#include <QHash>
#include <QMutex>
#include <QPointer>
#include <QSocketNotifier>

#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <memory>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

namespace Winsock {

namespace {

// What the socket is doing decides what readiness means: writable while connecting is
// the connect's outcome, readable while listening is a connection waiting to be
// accepted, readable while connected is data or the end of the stream.
enum class TMode { Fresh, Connecting, Connected, Listening, Datagram, Failed };

struct TRecord {
    TSocket Fd = INVALID_SOCKET;
    quint64 Serial = 0;
    TMode Mode = TMode::Fresh;
    QPointer<TMessageWindow> Window;
    quint32 Msg = 0;
    quint16 Events = 0;
    // Winsock reports read and accept once and waits for the next recv or accept before
    // reporting again; write once and again only after a send that could not go whole.
    bool ReadArmed = true;
    bool WriteArmed = true;
    bool CloseReported = false;
    bool SendShut = false;
    std::unique_ptr<QSocketNotifier> ReadNotifier;
    std::unique_ptr<QSocketNotifier> WriteNotifier;
};

using TRecordPtr = std::shared_ptr<TRecord>;

// Process-wide and never freed: a worker thread or a late clean-up may still reach them
// while static objects are being destroyed at exit.
QMutex &RegistryMutex()
{
    static auto *mutex = new QMutex;
    return *mutex;
}

QHash<TSocket, TRecordPtr> &Registry()
{
    static auto *registry = new QHash<TSocket, TRecordPtr>;
    return *registry;
}

std::atomic<int> GStartCount{0};
std::atomic<quint64> GNextSerial{0};
thread_local int GLastError = 0;

TRecordPtr Find(TSocket s)
{
    QMutexLocker lock(&RegistryMutex());
    return Registry().value(s);
}

int Fail(int code)
{
    GLastError = code;
    return SOCKET_ERROR;
}

int FailErrno()
{
    return Fail(ErrorFromErrno(errno));
}

void Post(const TRecordPtr &rec, quint16 event, quint16 error, bool evenUnselected = false)
{
    if (!rec->Window || (!evenUnselected && !(rec->Events & event)))
        return;
    const TSocket fd = rec->Fd;
    const quint64 serial = rec->Serial;
    TMessageWindow *window = rec->Window.data();
    TMessageWindow::PostMessage(window, rec->Msg, quintptr(fd), MakeLong(event, error), [fd, serial, window] {
        TRecordPtr current = Find(fd);
        return current && current->Serial == serial && current->Window.data() == window;
    });
}

void UpdateNotifiers(const TRecordPtr &rec)
{
    const bool selected = rec->Window && rec->Events != 0;
    bool wantRead = false;
    bool wantWrite = false;
    if (selected) {
        switch (rec->Mode) {
        case TMode::Connecting: wantWrite = true; break;
        case TMode::Connected:
        case TMode::Datagram:
            wantRead = rec->ReadArmed && !rec->CloseReported && (rec->Events & (FD_READ | FD_CLOSE));
            wantWrite = rec->WriteArmed && (rec->Events & FD_WRITE);
            break;
        case TMode::Listening: wantRead = rec->ReadArmed && (rec->Events & FD_ACCEPT); break;
        case TMode::Fresh:
        case TMode::Failed: break;
        }
    }
    if (rec->ReadNotifier)
        rec->ReadNotifier->setEnabled(wantRead);
    if (rec->WriteNotifier)
        rec->WriteNotifier->setEnabled(wantWrite);
}

void OnReadReady(TSocket fd, quint64 serial)
{
    TRecordPtr rec = Find(fd);
    if (!rec || rec->Serial != serial)
        return;
    switch (rec->Mode) {
    case TMode::Listening:
        rec->ReadArmed = false;
        UpdateNotifiers(rec);
        Post(rec, FD_ACCEPT, 0);
        return;
    case TMode::Datagram:
        rec->ReadArmed = false;
        UpdateNotifiers(rec);
        Post(rec, FD_READ, 0);
        return;
    case TMode::Connected: {
        // A peek tells data from the end of the stream without taking anything.
        char probe;
        const ssize_t n = ::recv(fd, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
        if (n > 0) {
            rec->ReadArmed = false;
            UpdateNotifiers(rec);
            Post(rec, FD_READ, 0);
        } else if (n == 0) {
            rec->CloseReported = true;
            UpdateNotifiers(rec);
            Post(rec, FD_CLOSE, 0);
        } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            const int code = ErrorFromErrno(errno);
            rec->CloseReported = true;
            UpdateNotifiers(rec);
            Post(rec, FD_CLOSE, quint16(code));
        }
        return;
    }
    default: UpdateNotifiers(rec); return;
    }
}

void OnWriteReady(TSocket fd, quint64 serial)
{
    TRecordPtr rec = Find(fd);
    if (!rec || rec->Serial != serial)
        return;
    if (rec->Mode == TMode::Connecting) {
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
            error = errno;
        if (error == 0) {
            rec->Mode = TMode::Connected;
            rec->WriteArmed = false;
            rec->ReadArmed = true;
            UpdateNotifiers(rec);
            Post(rec, FD_CONNECT, 0);
            Post(rec, FD_WRITE, 0);
        } else {
            rec->Mode = TMode::Failed;
            UpdateNotifiers(rec);
            Post(rec, FD_CONNECT, quint16(ErrorFromErrno(error)));
        }
        return;
    }
    rec->WriteArmed = false;
    UpdateNotifiers(rec);
    if (rec->Mode == TMode::Connected || rec->Mode == TMode::Datagram)
        Post(rec, FD_WRITE, 0);
}

TRecordPtr Register(TSocket fd, TMode mode)
{
    auto rec = std::make_shared<TRecord>();
    rec->Fd = fd;
    rec->Serial = ++GNextSerial;
    rec->Mode = mode;
    QMutexLocker lock(&RegistryMutex());
    Registry().insert(fd, rec);
    return rec;
}

// Outcomes of a connect that Winsock reports later through the connect event rather
// than from the call itself.
bool IsConnectOutcome(int error)
{
    return error == ECONNREFUSED || error == ENETUNREACH || error == EHOSTUNREACH || error == ETIMEDOUT;
}

// What a stream send returns, called straight after it so errno is still its own. A full
// buffer is WSAEWOULDBLOCK and a broken pipe after a shutdown WSAESHUTDOWN, as Winsock
// says them. Winsock takes the whole buffer or nothing; a POSIX socket may take part of
// it, and the caller then waits for a write event that must come: both arm it.
int SendOutcome(const TRecordPtr &rec, ssize_t sent, qint64 offered)
{
    if (sent < 0) {
        const int error = errno;
        if (error == EAGAIN || error == EWOULDBLOCK) {
            rec->WriteArmed = true;
            UpdateNotifiers(rec);
            return Fail(WSAEWOULDBLOCK);
        }
        if (error == EPIPE && rec->SendShut)
            return Fail(WSAESHUTDOWN);
        return Fail(ErrorFromErrno(error));
    }
    if (sent < offered) {
        rec->WriteArmed = true;
        UpdateNotifiers(rec);
    }
    return int(sent);
}

} // namespace

int Startup()
{
    ++GStartCount;
    return 0;
}

int Cleanup()
{
    if (GStartCount.load() <= 0)
        return Fail(WSANOTINITIALISED);
    if (--GStartCount == 0) {
        // Winsock closes whatever the program left open when it is cleaned up.
        QList<TRecordPtr> left;
        {
            QMutexLocker lock(&RegistryMutex());
            left = Registry().values();
            Registry().clear();
        }
        for (const TRecordPtr &rec : left) {
            rec->ReadNotifier.reset();
            rec->WriteNotifier.reset();
            ::close(rec->Fd);
        }
    }
    return 0;
}

bool IsStarted()
{
    return GStartCount.load() > 0;
}

int GetLastError()
{
    return GLastError;
}

void SetLastError(int code)
{
    GLastError = code;
}

TSocket Socket(int af, int type, int protocol)
{
    if (!IsStarted()) {
        Fail(WSANOTINITIALISED);
        return INVALID_SOCKET;
    }
    const int fd = ::socket(af, type | SOCK_NONBLOCK | SOCK_CLOEXEC, protocol);
    if (fd < 0) {
        FailErrno();
        return INVALID_SOCKET;
    }
    Register(fd, type == SOCK_DGRAM ? TMode::Datagram : TMode::Fresh);
    return fd;
}

int Bind(TSocket s, const sockaddr_in &address)
{
    if (!Find(s))
        return Fail(WSAENOTSOCK);
    if (::bind(s, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0)
        return FailErrno();
    return 0;
}

int Listen(TSocket s, int backlog)
{
    TRecordPtr rec = Find(s);
    if (!rec)
        return Fail(WSAENOTSOCK);
    if (::listen(s, backlog) != 0)
        return FailErrno();
    rec->Mode = TMode::Listening;
    rec->ReadArmed = true;
    UpdateNotifiers(rec);
    return 0;
}

TSocket Accept(TSocket s, sockaddr_in *address)
{
    TRecordPtr rec = Find(s);
    if (!rec) {
        Fail(WSAENOTSOCK);
        return INVALID_SOCKET;
    }
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    const int fd = ::accept4(s, reinterpret_cast<sockaddr *>(&peer), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
    const int error = errno;
    rec->ReadArmed = true;
    UpdateNotifiers(rec);
    if (fd < 0) {
        Fail(ErrorFromErrno(error));
        return INVALID_SOCKET;
    }
    if (address)
        *address = peer;
    Register(fd, TMode::Connected);
    return fd;
}

bool SocketPair(TSocket ends[2])
{
    if (!IsStarted()) {
        Fail(WSANOTINITIALISED);
        return false;
    }
    int fds[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) != 0) {
        FailErrno();
        return false;
    }
    for (int i = 0; i < 2; ++i) {
        Register(fds[i], TMode::Connected);
        ends[i] = fds[i];
    }
    return true;
}

int Connect(TSocket s, const sockaddr_in &address)
{
    TRecordPtr rec = Find(s);
    if (!rec)
        return Fail(WSAENOTSOCK);
    if (rec->Mode == TMode::Datagram) {
        if (::connect(s, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0)
            return FailErrno();
        return 0;
    }
    rec->Mode = TMode::Connecting;
    if (::connect(s, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0) {
        rec->Mode = TMode::Connected;
        rec->WriteArmed = false;
        UpdateNotifiers(rec);
        Post(rec, FD_CONNECT, 0);
        Post(rec, FD_WRITE, 0);
        return 0;
    }
    const int error = errno;
    if (error == EINPROGRESS) {
        UpdateNotifiers(rec);
        return Fail(WSAEWOULDBLOCK);
    }
    if (IsConnectOutcome(error) && rec->Window && (rec->Events & FD_CONNECT)) {
        rec->Mode = TMode::Failed;
        UpdateNotifiers(rec);
        Post(rec, FD_CONNECT, quint16(ErrorFromErrno(error)));
        return Fail(WSAEWOULDBLOCK);
    }
    rec->Mode = TMode::Fresh;
    UpdateNotifiers(rec);
    return Fail(ErrorFromErrno(error));
}

int Send(TSocket s, const void *buffer, int length, int flags)
{
    TRecordPtr rec = Find(s);
    if (!rec)
        return Fail(WSAENOTSOCK);
    if (length < 0)
        return Fail(WSAEINVAL);
    const ssize_t n = ::send(s, buffer, size_t(length), flags | MSG_NOSIGNAL);
    return SendOutcome(rec, n, length);
}

int SendGathered(TSocket s, const TSendPiece *pieces, int count, int flags)
{
    TRecordPtr rec = Find(s);
    if (!rec)
        return Fail(WSAENOTSOCK);
    constexpr int MaxPieces = 64;
    iovec vectors[MaxPieces];
    const int used = qBound(0, count, MaxPieces);
    qint64 offered = 0;
    for (int i = 0; i < used; ++i) {
        vectors[i].iov_base = const_cast<void *>(pieces[i].Data);
        vectors[i].iov_len = size_t(qMax(pieces[i].Length, 0));
        offered += vectors[i].iov_len;
    }
    msghdr message{};
    message.msg_iov = vectors;
    message.msg_iovlen = size_t(used);
    const ssize_t n = ::sendmsg(s, &message, flags | MSG_NOSIGNAL);
    return SendOutcome(rec, n, offered);
}

int SendTo(TSocket s, const void *buffer, int length, int flags, const sockaddr_in &to)
{
    if (!Find(s))
        return Fail(WSAENOTSOCK);
    const ssize_t n = ::sendto(s, buffer, size_t(qMax(length, 0)), flags | MSG_NOSIGNAL,
                               reinterpret_cast<const sockaddr *>(&to), sizeof to);
    if (n < 0)
        return FailErrno();
    return int(n);
}

int Recv(TSocket s, void *buffer, int length, int flags)
{
    TRecordPtr rec = Find(s);
    if (!rec)
        return Fail(WSAENOTSOCK);
    if (length < 0)
        return Fail(WSAEINVAL);
    ssize_t n;
    if (length == 0 && rec->Mode == TMode::Connected) {
        // A zero-length read says whether the stream is still open: 0 with no error at
        // its end, would-block while it stays open, with or without data waiting.
        char probe;
        n = ::recv(s, &probe, 1, MSG_PEEK | MSG_DONTWAIT);
        if (n > 0) {
            GLastError = WSAEWOULDBLOCK;
            return SOCKET_ERROR;
        }
        if (n == 0)
            GLastError = 0;
    } else {
        n = ::recv(s, buffer, size_t(length), flags);
    }
    const int error = errno;
    if (!rec->ReadArmed && !rec->CloseReported) {
        rec->ReadArmed = true;
        UpdateNotifiers(rec);
    }
    if (n < 0)
        return Fail(ErrorFromErrno(error));
    return int(n);
}

int RecvFrom(TSocket s, void *buffer, int length, int flags, sockaddr_in *from)
{
    TRecordPtr rec = Find(s);
    if (!rec)
        return Fail(WSAENOTSOCK);
    sockaddr_in peer{};
    socklen_t peerLength = sizeof peer;
    const ssize_t n = ::recvfrom(s, buffer, size_t(qMax(length, 0)), flags, reinterpret_cast<sockaddr *>(&peer),
                                 &peerLength);
    const int error = errno;
    if (!rec->ReadArmed) {
        rec->ReadArmed = true;
        UpdateNotifiers(rec);
    }
    if (n < 0)
        return Fail(ErrorFromErrno(error));
    if (from)
        *from = peer;
    return int(n);
}

int Shutdown(TSocket s, int how)
{
    TRecordPtr rec = Find(s);
    if (!rec)
        return Fail(WSAENOTSOCK);
    if (::shutdown(s, how) != 0)
        return FailErrno();
    if (how == SHUT_WR || how == SHUT_RDWR)
        rec->SendShut = true;
    return 0;
}

int CloseSocket(TSocket s)
{
    TRecordPtr rec;
    {
        QMutexLocker lock(&RegistryMutex());
        rec = Registry().take(s);
    }
    // Only handles made here are closed: a stray number must never close a descriptor
    // that belongs to someone else.
    if (!rec)
        return Fail(WSAENOTSOCK);
    rec->ReadNotifier.reset();
    rec->WriteNotifier.reset();
    if (::close(s) != 0 && errno != EINTR)
        return FailErrno();
    return 0;
}

int SetSockOpt(TSocket s, int level, int name, const void *value, int length)
{
    if (!Find(s))
        return Fail(WSAENOTSOCK);
    if (::setsockopt(s, level, name, value, socklen_t(length)) != 0)
        return FailErrno();
    return 0;
}

int GetSockName(TSocket s, sockaddr_in *address)
{
    if (!Find(s))
        return Fail(WSAENOTSOCK);
    socklen_t length = sizeof *address;
    if (::getsockname(s, reinterpret_cast<sockaddr *>(address), &length) != 0)
        return FailErrno();
    return 0;
}

int GetPeerName(TSocket s, sockaddr_in *address)
{
    if (!Find(s))
        return Fail(WSAENOTSOCK);
    socklen_t length = sizeof *address;
    if (::getpeername(s, reinterpret_cast<sockaddr *>(address), &length) != 0)
        return FailErrno();
    return 0;
}

bool PendingBytes(TSocket s, quint32 *count)
{
    if (!Find(s)) {
        Fail(WSAENOTSOCK);
        return false;
    }
    int pending = 0;
    if (::ioctl(s, FIONREAD, &pending) != 0) {
        FailErrno();
        return false;
    }
    *count = quint32(qMax(pending, 0));
    return true;
}

int AsyncSelect(TSocket s, TMessageWindow *window, quint32 msg, quint16 events)
{
    TRecordPtr rec = Find(s);
    if (!rec)
        return Fail(WSAENOTSOCK);
    if (events != 0 && !window)
        return Fail(WSAEINVAL);
    if (!rec->ReadNotifier) {
        rec->ReadNotifier = std::make_unique<QSocketNotifier>(s, QSocketNotifier::Read);
        rec->WriteNotifier = std::make_unique<QSocketNotifier>(s, QSocketNotifier::Write);
        rec->ReadNotifier->setEnabled(false);
        rec->WriteNotifier->setEnabled(false);
        const quint64 serial = rec->Serial;
        QObject::connect(rec->ReadNotifier.get(), &QSocketNotifier::activated, rec->ReadNotifier.get(),
                         [s, serial] { OnReadReady(s, serial); });
        QObject::connect(rec->WriteNotifier.get(), &QSocketNotifier::activated, rec->WriteNotifier.get(),
                         [s, serial] { OnWriteReady(s, serial); });
    }
    rec->Window = window;
    rec->Msg = msg;
    rec->Events = events;
    // A new selection reports again whatever is already true, as Winsock does.
    rec->ReadArmed = true;
    rec->WriteArmed = true;
    UpdateNotifiers(rec);
    return 0;
}

bool PostSelectMessage(TSocket s, quint16 event, quint16 error)
{
    TRecordPtr rec = Find(s);
    if (!rec || !rec->Window)
        return false;
    Post(rec, event, error, true);
    return true;
}

quint32 InetAddr(const QByteArray &text)
{
    in_addr address{};
    if (text.isEmpty() || ::inet_aton(text.constData(), &address) == 0)
        return INADDR_NONE_VALUE;
    return address.s_addr;
}

QByteArray InetNtoa(quint32 address)
{
    in_addr in{};
    in.s_addr = address;
    char text[INET_ADDRSTRLEN];
    if (!::inet_ntop(AF_INET, &in, text, sizeof text))
        return QByteArray();
    return QByteArray(text);
}

} // namespace Winsock
