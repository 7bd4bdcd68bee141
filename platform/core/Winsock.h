#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <netinet/in.h>

class TMessageWindow;

// Windows Sockets 1.1 as the socket component expects it, over non-blocking POSIX
// sockets. Calls fail with SOCKET_ERROR (or INVALID_SOCKET) and leave a Winsock error
// code for GetLastError: EWOULDBLOCK reads 10035, ECONNREFUSED 10061, a failed lookup
// 11001. AsyncSelect turns readiness into connect, read, write, accept and close
// messages posted to a notification window in the order Winsock posts them, and the
// asynchronous host lookups run on a worker thread and answer with a posted message.
// A socket belongs to the thread that selected it; only the lookups cross threads.
namespace Winsock {

using TSocket = int;
inline constexpr TSocket INVALID_SOCKET = -1;
inline constexpr int SOCKET_ERROR = -1;
inline constexpr quint32 INADDR_NONE_VALUE = 0xFFFFFFFFu;

enum : int {
    WSABASEERR = 10000,
    WSAEINTR = 10004,
    WSAEBADF = 10009,
    WSAEACCES = 10013,
    WSAEFAULT = 10014,
    WSAEINVAL = 10022,
    WSAEMFILE = 10024,
    WSAEWOULDBLOCK = 10035,
    WSAEINPROGRESS = 10036,
    WSAEALREADY = 10037,
    WSAENOTSOCK = 10038,
    WSAEDESTADDRREQ = 10039,
    WSAEMSGSIZE = 10040,
    WSAEPROTOTYPE = 10041,
    WSAENOPROTOOPT = 10042,
    WSAEPROTONOSUPPORT = 10043,
    WSAESOCKTNOSUPPORT = 10044,
    WSAEOPNOTSUPP = 10045,
    WSAEPFNOSUPPORT = 10046,
    WSAEAFNOSUPPORT = 10047,
    WSAEADDRINUSE = 10048,
    WSAEADDRNOTAVAIL = 10049,
    WSAENETDOWN = 10050,
    WSAENETUNREACH = 10051,
    WSAENETRESET = 10052,
    WSAECONNABORTED = 10053,
    WSAECONNRESET = 10054,
    WSAENOBUFS = 10055,
    WSAEISCONN = 10056,
    WSAENOTCONN = 10057,
    WSAESHUTDOWN = 10058,
    WSAETOOMANYREFS = 10059,
    WSAETIMEDOUT = 10060,
    WSAECONNREFUSED = 10061,
    WSAELOOP = 10062,
    WSAENAMETOOLONG = 10063,
    WSAEHOSTDOWN = 10064,
    WSAEHOSTUNREACH = 10065,
    WSAENOTEMPTY = 10066,
    WSAEPROCLIM = 10067,
    WSAEUSERS = 10068,
    WSAEDQUOT = 10069,
    WSAESTALE = 10070,
    WSAEREMOTE = 10071,
    WSASYSNOTREADY = 10091,
    WSAVERNOTSUPPORTED = 10092,
    WSANOTINITIALISED = 10093,
    WSAHOST_NOT_FOUND = 11001,
    WSATRY_AGAIN = 11002,
    WSANO_RECOVERY = 11003,
    WSANO_DATA = 11004,
};

// Event bits of a select message (low word of its second parameter).
enum : quint16 {
    FD_READ = 1,
    FD_WRITE = 2,
    FD_OOB = 4,
    FD_ACCEPT = 8,
    FD_CONNECT = 16,
    FD_CLOSE = 32,
};

// A host lookup's answer: the official name and every IPv4 address, in network order.
struct THostEntry {
    QByteArray Name;
    QList<quint32> Addresses;
};

// Start-up and clean-up are counted; sockets can be created and lookups started only
// while started (else WSANOTINITIALISED). The last clean-up closes what is left open.
int Startup();
int Cleanup();
bool IsStarted();

int GetLastError();
void SetLastError(int code);

// English text of a Winsock error code ("Not a WinSock error" for others).
QString ErrorText(int code);
// The Winsock code for a POSIX errno value.
int ErrorFromErrno(int error);

TSocket Socket(int af, int type, int protocol);
int Bind(TSocket s, const sockaddr_in &address);
int Listen(TSocket s, int backlog);
TSocket Accept(TSocket s, sockaddr_in *address);
int Connect(TSocket s, const sockaddr_in &address);
// A connected pair of local stream sockets, both already connected: one end for a
// socket object to adopt with Dup, the other for the code that talks to it. False on
// failure.
bool SocketPair(TSocket ends[2]);
int Send(TSocket s, const void *buffer, int length, int flags);
// Sends several buffers in one call, as one Send of their concatenation would.
struct TSendPiece {
    const void *Data;
    int Length;
};
int SendGathered(TSocket s, const TSendPiece *pieces, int count, int flags);
int SendTo(TSocket s, const void *buffer, int length, int flags, const sockaddr_in &to);
int Recv(TSocket s, void *buffer, int length, int flags);
int RecvFrom(TSocket s, void *buffer, int length, int flags, sockaddr_in *from);
int Shutdown(TSocket s, int how);
int CloseSocket(TSocket s);
int SetSockOpt(TSocket s, int level, int name, const void *value, int length);
int GetSockName(TSocket s, sockaddr_in *address);
int GetPeerName(TSocket s, sockaddr_in *address);
// Bytes waiting to be read (FIONREAD); false on failure.
bool PendingBytes(TSocket s, quint32 *count);

// Requests the given events as message msg with the handle as first parameter and
// MakeLong(event, error) as second. Events 0 cancels every notification.
int AsyncSelect(TSocket s, TMessageWindow *window, quint32 msg, quint16 events);
// Posts one select message for s to the window selected for it, as AsyncSelect would,
// so it is dropped like the others if the handle is closed before delivery.
bool PostSelectMessage(TSocket s, quint16 event, quint16 error);

// inet_addr: dotted text (also the short and octal/hex forms) to an address in network
// order, INADDR_NONE_VALUE when it does not convert.
quint32 InetAddr(const QByteArray &text);
QByteArray InetNtoa(quint32 address);

// Blocking lookups of the calling thread.
bool GetHostByName(const QByteArray &name, THostEntry *entry);
// Port in network order, or -1.
int GetServByName(const QByteArray &name, const QByteArray &protocol);
// Protocol number, or -1.
int GetProtoByName(const QByteArray &name);

// Starts a lookup on a worker thread; the answer is msg with the request handle as first
// parameter and the error in the high word of the second, and *entry is filled just
// before the message is delivered. Returns 0 on failure.
quintptr AsyncGetHostByName(TMessageWindow *window, quint32 msg, const QByteArray &name, THostEntry *entry);
quintptr AsyncGetHostByAddr(TMessageWindow *window, quint32 msg, quint32 address, THostEntry *entry);
// The answer of a cancelled request is never delivered. SOCKET_ERROR when the request
// is unknown or already answered.
int CancelAsyncRequest(quintptr handle);

} // namespace Winsock
