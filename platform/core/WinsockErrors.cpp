#include "platform/core/Winsock.h"

#include <QCoreApplication>
#include <cerrno>

namespace Winsock {

QString ErrorText(int code)
{
    switch (code) {
    case 0: return QCoreApplication::translate("Winsock", "No Error");
    case WSAEINTR: return QCoreApplication::translate("Winsock", "Interrupted system call");
    case WSAEBADF: return QCoreApplication::translate("Winsock", "Bad file number");
    case WSAEACCES: return QCoreApplication::translate("Winsock", "Permission denied");
    case WSAEFAULT: return QCoreApplication::translate("Winsock", "Bad address");
    case WSAEINVAL: return QCoreApplication::translate("Winsock", "Invalid argument");
    case WSAEMFILE: return QCoreApplication::translate("Winsock", "Too many open files");
    case WSAEWOULDBLOCK: return QCoreApplication::translate("Winsock", "Operation would block");
    case WSAEINPROGRESS: return QCoreApplication::translate("Winsock", "Operation now in progress");
    case WSAEALREADY: return QCoreApplication::translate("Winsock", "Operation already in progress");
    case WSAENOTSOCK: return QCoreApplication::translate("Winsock", "Socket operation on non-socket");
    case WSAEDESTADDRREQ: return QCoreApplication::translate("Winsock", "Destination address required");
    case WSAEMSGSIZE: return QCoreApplication::translate("Winsock", "Message too long");
    case WSAEPROTOTYPE: return QCoreApplication::translate("Winsock", "Protocol wrong type for socket");
    case WSAENOPROTOOPT: return QCoreApplication::translate("Winsock", "Protocol not available");
    case WSAEPROTONOSUPPORT: return QCoreApplication::translate("Winsock", "Protocol not supported");
    case WSAESOCKTNOSUPPORT: return QCoreApplication::translate("Winsock", "Socket type not supported");
    case WSAEOPNOTSUPP: return QCoreApplication::translate("Winsock", "Operation not supported on socket");
    case WSAEPFNOSUPPORT: return QCoreApplication::translate("Winsock", "Protocol family not supported");
    case WSAEAFNOSUPPORT:
        return QCoreApplication::translate("Winsock", "Address family not supported by protocol family");
    case WSAEADDRINUSE: return QCoreApplication::translate("Winsock", "Address already in use");
    case WSAEADDRNOTAVAIL: return QCoreApplication::translate("Winsock", "Address not available");
    case WSAENETDOWN: return QCoreApplication::translate("Winsock", "Network is down");
    case WSAENETUNREACH: return QCoreApplication::translate("Winsock", "Network is unreachable");
    case WSAENETRESET: return QCoreApplication::translate("Winsock", "Network dropped connection on reset");
    case WSAECONNABORTED: return QCoreApplication::translate("Winsock", "Connection aborted");
    case WSAECONNRESET: return QCoreApplication::translate("Winsock", "Connection reset by peer");
    case WSAENOBUFS: return QCoreApplication::translate("Winsock", "No buffer space available");
    case WSAEISCONN: return QCoreApplication::translate("Winsock", "Socket is already connected");
    case WSAENOTCONN: return QCoreApplication::translate("Winsock", "Socket is not connected");
    case WSAESHUTDOWN: return QCoreApplication::translate("Winsock", "Can't send after socket shutdown");
    case WSAETOOMANYREFS: return QCoreApplication::translate("Winsock", "Too many references: can't splice");
    case WSAETIMEDOUT: return QCoreApplication::translate("Winsock", "Connection timed out");
    case WSAECONNREFUSED: return QCoreApplication::translate("Winsock", "Connection refused");
    case WSAELOOP: return QCoreApplication::translate("Winsock", "Too many levels of symbolic links");
    case WSAENAMETOOLONG: return QCoreApplication::translate("Winsock", "File name too long");
    case WSAEHOSTDOWN: return QCoreApplication::translate("Winsock", "Host is down");
    case WSAEHOSTUNREACH: return QCoreApplication::translate("Winsock", "No route to host");
    case WSAENOTEMPTY: return QCoreApplication::translate("Winsock", "Directory not empty");
    case WSAEPROCLIM: return QCoreApplication::translate("Winsock", "Too many processes");
    case WSAEUSERS: return QCoreApplication::translate("Winsock", "Too many users");
    case WSAEDQUOT: return QCoreApplication::translate("Winsock", "Disc quota exceeded");
    case WSAESTALE: return QCoreApplication::translate("Winsock", "Stale NFS file handle");
    case WSAEREMOTE: return QCoreApplication::translate("Winsock", "Too many levels of remote in path");
    case WSASYSNOTREADY: return QCoreApplication::translate("Winsock", "Network sub-system is unusable");
    case WSAVERNOTSUPPORTED:
        return QCoreApplication::translate("Winsock", "WinSock DLL cannot support this application");
    case WSANOTINITIALISED: return QCoreApplication::translate("Winsock", "WinSock not initialized");
    case WSAHOST_NOT_FOUND: return QCoreApplication::translate("Winsock", "Host not found");
    case WSATRY_AGAIN: return QCoreApplication::translate("Winsock", "Non-authoritative host not found");
    case WSANO_RECOVERY: return QCoreApplication::translate("Winsock", "Non-recoverable error");
    case WSANO_DATA: return QCoreApplication::translate("Winsock", "No Data");
    default: return QCoreApplication::translate("Winsock", "Not a WinSock error");
    }
}

int ErrorFromErrno(int error)
{
    switch (error) {
    case 0: return 0;
    case EINTR: return WSAEINTR;
    case EBADF: return WSAENOTSOCK;
    case EACCES:
    case EPERM: return WSAEACCES;
    case EFAULT: return WSAEFAULT;
    case EINVAL: return WSAEINVAL;
    case EMFILE:
    case ENFILE: return WSAEMFILE;
#if EAGAIN != EWOULDBLOCK
    case EWOULDBLOCK:
#endif
    case EAGAIN:
    case EINPROGRESS: return WSAEWOULDBLOCK;
    case EALREADY: return WSAEALREADY;
    case ENOTSOCK: return WSAENOTSOCK;
    case EDESTADDRREQ: return WSAEDESTADDRREQ;
    case EMSGSIZE: return WSAEMSGSIZE;
    case EPROTOTYPE: return WSAEPROTOTYPE;
    case ENOPROTOOPT: return WSAENOPROTOOPT;
    case EPROTONOSUPPORT: return WSAEPROTONOSUPPORT;
    case ESOCKTNOSUPPORT: return WSAESOCKTNOSUPPORT;
    case EOPNOTSUPP: return WSAEOPNOTSUPP;
    case EPFNOSUPPORT: return WSAEPFNOSUPPORT;
    case EAFNOSUPPORT: return WSAEAFNOSUPPORT;
    case EADDRINUSE: return WSAEADDRINUSE;
    case EADDRNOTAVAIL: return WSAEADDRNOTAVAIL;
    case ENETDOWN: return WSAENETDOWN;
    case ENETUNREACH: return WSAENETUNREACH;
    case ENETRESET: return WSAENETRESET;
    case ECONNABORTED: return WSAECONNABORTED;
    case ECONNRESET:
    case EPIPE: return WSAECONNRESET;
    case ENOBUFS:
    case ENOMEM: return WSAENOBUFS;
    case EISCONN: return WSAEISCONN;
    case ENOTCONN: return WSAENOTCONN;
    case ESHUTDOWN: return WSAESHUTDOWN;
    case ETOOMANYREFS: return WSAETOOMANYREFS;
    case ETIMEDOUT: return WSAETIMEDOUT;
    case ECONNREFUSED: return WSAECONNREFUSED;
    case ELOOP: return WSAELOOP;
    case ENAMETOOLONG: return WSAENAMETOOLONG;
    case EHOSTDOWN: return WSAEHOSTDOWN;
    case EHOSTUNREACH: return WSAEHOSTUNREACH;
    case ENOTEMPTY: return WSAENOTEMPTY;
    case EUSERS: return WSAEUSERS;
    case EDQUOT: return WSAEDQUOT;
    case ESTALE: return WSAESTALE;
    case EREMOTE: return WSAEREMOTE;
    default: return WSAEINVAL;
    }
}

} // namespace Winsock
