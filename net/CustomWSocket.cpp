#include "net/CustomWSocket.h"

#include "net/BestEffort.h"
#include "net/NetLog.h"
#include "net/WSocketResolve.h"
#include "platform/core/Exceptions.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <arpa/inet.h>
#include <atomic>
#include <sys/socket.h>

using namespace Winsock;

namespace {

std::atomic<int> GLiveCount{0};

constexpr quint16 AllConnectionEvents = FD_READ | FD_WRITE | FD_CONNECT | FD_CLOSE;

} // namespace

TCustomWSocket::TCustomWSocket(QObject *owner) : QObject(owner)
{
    FWindow = std::make_unique<TMessageWindow>([this](TMessage &msg) { WindowProcGuard(msg); });
    FBufSize = TBuffer::DefaultSize;
    ResetDefaults();
    ++GLiveCount;
}

TCustomWSocket::~TCustomWSocket()
{
    FDestroying = true;
    BestEffort([&] { CancelDnsLookup(); });
    if (FState != wsClosed) {
        BestEffort([&] { Close(); });
    }
    // A handle that never reached a state (a failed Listen, say) is not left open.
    if (FHSocket != INVALID_SOCKET)
        CloseSocket(FHSocket);
    if (--GLiveCount == 0)
        WSocketUnloadWinsock();
    DeleteBufferedData();
    FWindow.reset();
}

void TCustomWSocket::WindowProcGuard(TMessage &msg)
{
    QPointer<TCustomWSocket> self(this);
    try {
        WndProc(msg);
    } catch (const std::exception &e) {
        if (self)
            HandleBackgroundException(e);
    } catch (...) {
        if (self)
            HandleBackgroundException(Exception(QCoreApplication::translate("TCustomWSocket", "Unknown exception")));
    }
}

void TCustomWSocket::WndProc(TMessage &msg)
{
    switch (msg.Msg) {
    case WM_SOCKET_EVENT: HandleSocketEvent(msg); break;
    case WM_NAME_LOOKUP_DONE: HandleLookupDone(msg, false); break;
    case WM_ADDR_LOOKUP_DONE: HandleLookupDone(msg, true); break;
    default: break;
    }
}

void TCustomWSocket::HandleBackgroundException(const std::exception &e)
{
    QPointer<TCustomWSocket> self(this);
    bool canClose = true;
    if (OnBgException) {
        BestEffort([&] { OnBgException(this, e, canClose); });
    }
    if (!self || !canClose)
        return;
    BestEffort([&] { Abort(); });
}

void TCustomWSocket::ResetDefaults()
{
    FSin = sockaddr_in{};
    FSin.sin_family = AF_INET;
    FAddrFormat = AF_INET;
    FPortAssigned = false;
    FAddrAssigned = false;
    FAddrResolved = false;
    FPortResolved = false;
    FProtoResolved = false;
    FLocalPortResolved = false;
    FProtoAssigned = true;
    FProto = IPPROTO_TCP;
    FProtoStr = QStringLiteral("tcp");
    FType = SOCK_STREAM;
    FLocalPortStr = QStringLiteral("0");
    FLingerOnOff = wsLingerOn;
    FLingerTimeout = 0;
    FHSocket = INVALID_SOCKET;
    FState = wsClosed;
    bAllSent = true;
    FWriteBlocked = false;
    FWritePosted = false;
    FPaused = false;
    FReadCount = 0;
    FCloseInvoked = false;
    FFlushTimeout = 60;
}

void TCustomWSocket::SetAddr(const QString &value)
{
    if (value == FAddrStr && FAddrAssigned)
        return;
    if (FState != wsClosed) {
        RaiseSocketException(QStringLiteral("Cannot change Addr if not closed"));
        return;
    }
    FAddrStr = value.trimmed();
    FAddrAssigned = !FAddrStr.isEmpty();
    FAddrResolved = false;
}

void TCustomWSocket::SetPort(const QString &value)
{
    if (value == FPortStr && FPortAssigned)
        return;
    if (FState != wsClosed) {
        RaiseSocketException(QStringLiteral("Cannot change Port if not closed"));
        return;
    }
    FPortStr = value.trimmed();
    FPortAssigned = !FPortStr.isEmpty();
    FPortResolved = false;
}

void TCustomWSocket::SetProto(const QString &value)
{
    if (value == FProtoStr && FProtoAssigned)
        return;
    if (FState != wsClosed) {
        RaiseSocketException(QStringLiteral("Cannot change Proto if not closed"));
        return;
    }
    FProtoStr = value.trimmed();
    FProtoAssigned = !FProtoStr.isEmpty();
    FProtoResolved = false;
}

void TCustomWSocket::SetLocalPort(const QString &value)
{
    if (FState != wsClosed) {
        RaiseSocketException(QStringLiteral("Cannot change LocalPort if not closed"));
        return;
    }
    FLocalPortStr = value;
    FLocalPortResolved = false;
}

TSocketSendFlags TCustomWSocket::SendFlags() const
{
    if (FSendFlags == 0)
        return wsSendNormal;
    if (FSendFlags == MSG_OOB)
        return wsSendUrgent;
    throw ESocketException(QStringLiteral("Invalid internal SendFlags"));
}

void TCustomWSocket::SetSendFlags(TSocketSendFlags value)
{
    switch (value) {
    case wsSendNormal: FSendFlags = 0; break;
    case wsSendUrgent: FSendFlags = MSG_OOB; break;
    default: RaiseSocketException(QStringLiteral("Invalid SendFlags")); break;
    }
}

void TCustomWSocket::ChangeState(TSocketState newState)
{
    const TSocketState oldState = FState;
    FState = newState;
    TriggerChangeState(oldState, newState);
}

void TCustomWSocket::ResolveForConnect(bool localPort)
{
    WSocketLoadWinsock();
    if (!FProtoResolved) {
        FProto = WSocketResolveProto(FProtoStr);
        FType = FProto == IPPROTO_UDP ? SOCK_DGRAM : SOCK_STREAM;
        FProtoResolved = true;
    }
    if (!FPortResolved) {
        FPortNum = WSocketResolvePort(FPortStr, FProtoStr);
        FSin.sin_port = htons(quint16(FPortNum));
        FPortResolved = true;
    }
    if (localPort && !FLocalPortResolved) {
        FLocalPortNum = WSocketResolvePort(FLocalPortStr, FProtoStr);
        FLocalPortResolved = true;
    }
    if (!FAddrResolved) {
        FSin.sin_addr.s_addr = WSocketResolveHost(FAddrStr);
        FAddrResolved = true;
    }
}

void TCustomWSocket::Connect()
{
    if (FHSocket != INVALID_SOCKET && FState != wsClosed) {
        RaiseSocketException(QStringLiteral("Connect: Socket already in use"));
        return;
    }
    if (!FPortAssigned) {
        RaiseSocketException(QStringLiteral("Connect: No Port Specified"));
        return;
    }
    if (!FAddrAssigned) {
        RaiseSocketException(QStringLiteral("Connect: No IP Address Specified"));
        return;
    }
    if (!FProtoAssigned) {
        RaiseSocketException(QStringLiteral("Connect: No Protocol Specified"));
        return;
    }
    ResolveForConnect(true);

    DeleteBufferedData();
    FHSocket = Socket(AF_INET, FType, FProto);
    if (FHSocket == INVALID_SOCKET) {
        SocketError(QStringLiteral("Connect (socket)"));
        return;
    }
    ChangeState(wsOpened);

    if (FType == SOCK_DGRAM) {
        BindSocket();
        if (FSin.sin_addr.s_addr == INADDR_NONE_VALUE) {
            const int on = 1;
            if (SetSockOpt(FHSocket, SOL_SOCKET, SO_BROADCAST, &on, sizeof on) == SOCKET_ERROR) {
                SocketError(QStringLiteral("setsockopt(SO_BROADCAST)"));
                return;
            }
        }
    } else {
        if (FLocalPortNum != 0)
            BindSocket();
        SetLingerOption();
        const int on = 1;
        if (SetSockOpt(FHSocket, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on) == SOCKET_ERROR) {
            SocketError(QStringLiteral("setsockopt(SO_KEEPALIVE)"));
            return;
        }
        if (SetSockOpt(FHSocket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == SOCKET_ERROR) {
            SocketError(QStringLiteral("setsockopt(SO_REUSEADDR)"));
            return;
        }
    }

    if (AsyncSelect(FHSocket, FWindow.get(), WM_SOCKET_EVENT, AllConnectionEvents | FD_ACCEPT) != 0) {
        SocketError(QStringLiteral("WSAAsyncSelect"));
        return;
    }

    if (FType == SOCK_DGRAM) {
        ChangeState(wsConnected);
        TriggerSessionConnected(0);
        return;
    }
    if (Winsock::Connect(FHSocket, FSin) == 0 || GetLastError() == WSAEWOULDBLOCK) {
        ChangeState(wsConnecting);
        return;
    }
    FLastError = GetLastError();
    SocketError(QStringLiteral("Connect"));
}

void TCustomWSocket::BindSocket()
{
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = htons(quint16(FLocalPortNum));
    if (Bind(FHSocket, local) != 0) {
        RaiseSocketException(QStringLiteral("winsock.bind failed, error #%1").arg(GetLastError()));
        return;
    }
    sockaddr_in bound{};
    if (Winsock::GetSockName(FHSocket, &bound) != 0) {
        RaiseSocketException(QStringLiteral("winsock.getsockname failed, error #%1").arg(GetLastError()));
        return;
    }
    FLocalPortNum = ntohs(bound.sin_port);
    FLocalPortStr = QString::number(FLocalPortNum);
}

void TCustomWSocket::SetLingerOption()
{
    if (FLingerOnOff == wsLingerNoSet)
        return;
    if (FHSocket == INVALID_SOCKET) {
        RaiseSocketException(QStringLiteral("Cannot set linger option at this time"));
        return;
    }
    linger value{};
    value.l_onoff = FLingerOnOff == wsLingerOn ? 1 : 0;
    value.l_linger = quint16(FLingerTimeout);
    if (SetSockOpt(FHSocket, SOL_SOCKET, SO_LINGER, &value, sizeof value) == SOCKET_ERROR)
        SocketError(QStringLiteral("setsockopt(SO_LINGER)"));
}

void TCustomWSocket::Listen()
{
    if (!FPortAssigned) {
        Winsock::SetLastError(WSAEINVAL);
        SocketError(QStringLiteral("listen: port not assigned"));
        return;
    }
    if (!FProtoAssigned) {
        Winsock::SetLastError(WSAEINVAL);
        SocketError(QStringLiteral("listen: protocol not assigned"));
        return;
    }
    if (!FAddrAssigned) {
        Winsock::SetLastError(WSAEINVAL);
        SocketError(QStringLiteral("listen: address not assigned"));
        return;
    }
    ResolveForConnect(false);

    DeleteBufferedData();
    FHSocket = Socket(AF_INET, FType, FProto);
    if (FHSocket == INVALID_SOCKET) {
        SocketError(QStringLiteral("socket"));
        return;
    }
    ChangeState(wsOpened);
    if (Bind(FHSocket, FSin) != 0) {
        // The handle is closed whether or not the report raises, so a failed Listen
        // leaves nothing open behind it.
        try {
            SocketError(QStringLiteral("Bind"));
        } catch (...) {
            Close();
            throw;
        }
        Close();
        return;
    }
    ChangeState(wsBound);

    if (FType == SOCK_DGRAM) {
        ChangeState(wsListening);
        ChangeState(wsConnected);
        TriggerSessionConnected(0);
    } else {
        if (Winsock::Listen(FHSocket, 5) != 0) {
            SocketError(QStringLiteral("Listen"));
            return;
        }
        ChangeState(wsListening);
    }
    if (AsyncSelect(FHSocket, FWindow.get(), WM_SOCKET_EVENT, FD_READ | FD_WRITE | FD_ACCEPT | FD_CLOSE) != 0)
        SocketError(QStringLiteral("WSAASyncSelect"));
}

TSocket TCustomWSocket::Accept()
{
    if (FState != wsListening) {
        Winsock::SetLastError(WSAEINVAL);
        SocketError(QStringLiteral("not a listening socket"));
        return INVALID_SOCKET;
    }
    FASocket = Winsock::Accept(FHSocket, &FSin);
    if (FASocket == INVALID_SOCKET) {
        SocketError(QStringLiteral("Accept"));
        return INVALID_SOCKET;
    }
    return FASocket;
}

void TCustomWSocket::Dup(TSocket newHSocket)
{
    if (newHSocket == 0 || newHSocket == INVALID_SOCKET) {
        Winsock::SetLastError(WSAEINVAL);
        SocketError(QStringLiteral("Dup"));
        return;
    }
    if (FState != wsClosed && FHSocket != INVALID_SOCKET) {
        if (CloseSocket(FHSocket) != 0) {
            SocketError(QStringLiteral("Dup (closesocket)"));
            return;
        }
        FHSocket = INVALID_SOCKET;
        ChangeState(wsClosed);
    }
    WSocketLoadWinsock();
    FHSocket = newHSocket;
    FWriteBlocked = false;
    FWritePosted = false;
    SetLingerOption();
    if (AsyncSelect(FHSocket, FWindow.get(), WM_SOCKET_EVENT, AllConnectionEvents) != 0) {
        SocketError(QStringLiteral("WSAAsyncSelect"));
        return;
    }
    ChangeState(wsConnected);
}

void TCustomWSocket::Close()
{
    CloseSocketHandle(true, 0);
}

void TCustomWSocket::Abort()
{
    CancelDnsLookup();
    DeleteBufferedData();
    if (FState == wsConnected && FProto == IPPROTO_TCP) {
        FLingerOnOff = wsLingerOff;
        SetLingerOption();
    }
    CloseSocketHandle(false, 0);
}

void TCustomWSocket::CloseSocketHandle(bool shut, quint16 error)
{
    if (FHSocket == INVALID_SOCKET) {
        if (FState != wsClosed) {
            ChangeState(wsClosed);
            BestEffort([&] { ResetDefaults(); });
        }
        return;
    }
    if (FState == wsClosed)
        return;
    if (shut)
        Shutdown(SHUT_WR);
    // POSIX never asks for the close to be retried, but a platform that does gets a
    // bounded number of tries with messages running in between.
    for (int tries = 0;; ++tries) {
        if (CloseSocket(FHSocket) == 0)
            break;
        const int code = GetLastError();
        if (code == WSAEWOULDBLOCK && tries < 1000) {
            PumpMessages();
            continue;
        }
        if (code == WSANOTINITIALISED)
            break;
        FLastError = code;
        SocketError(QStringLiteral("Disconnect (closesocket)"));
        return;
    }
    QPointer<TCustomWSocket> self(this);
    FHSocket = INVALID_SOCKET;
    ChangeState(wsClosed);
    if (!self)
        return;
    if (!FDestroying && !FCloseInvoked) {
        FCloseInvoked = true;
        TriggerSessionClosed(error);
        if (!self)
            return;
    }
    BestEffort([&] { ResetDefaults(); });
}

void TCustomWSocket::HandleSocketEvent(TMessage &msg)
{
    const TSocket handle = TSocket(msg.WParam);
    if (handle != FHSocket || FPaused)
        return;
    const quint16 events = LoWord(msg.LParam);
    const quint16 error = HiWord(msg.LParam);
    qCDebug(lcNet) << "socket" << handle << "events" << events << "error" << error;
    QPointer<TCustomWSocket> self(this);
    // One message may carry several bits; each step checks the object is still there
    // and still talking about the same handle before the next.
    auto stillOurs = [&] { return self && FHSocket == handle; };

    if (events & FD_CONNECT) {
        ChangeState(wsConnected);
        if (!self)
            return;
        TriggerSessionConnected(error);
        if (!self)
            return;
        if (error != 0 && FState != wsClosed)
            Close();
        if (!stillOurs())
            return;
    }
    if (events & FD_READ) {
        ReceiveLoop(error);
        if (!stillOurs())
            return;
    }
    if (events & FD_WRITE) {
        FWriteBlocked = false;
        FWritePosted = false;
        TryToSend();
        if (!stillOurs())
            return;
        if (bAllSent) {
            TriggerDataSent(error);
            if (!stillOurs())
                return;
        }
    }
    if (events & FD_ACCEPT) {
        TriggerSessionAvailable(error);
        if (!stillOurs())
            return;
    }
    if (events & FD_CLOSE) {
        if (FState == wsConnecting)
            return;
        ReceiveLoop(0);
        if (!self)
            return;
        if (!FCloseInvoked) {
            FCloseInvoked = true;
            TriggerSessionClosed(error);
            if (!self)
                return;
        }
        if (FState != wsClosed)
            Close();
    }
}

void TCustomWSocket::ReceiveLoop(quint16 error)
{
    QPointer<TCustomWSocket> self(this);
    for (;;) {
        FLastError = 0;
        const quint64 callsBefore = FRecvCalls;
        const bool handled = TriggerDataAvailable(error);
        if (!self)
            return;
        if (!handled) {
            char junk[1024];
            if (DoRecv(junk, sizeof junk, 0) < 0) {
                FLastError = GetLastError();
                if (FLastError == WSAEWOULDBLOCK) {
                    FLastError = 0;
                    break;
                }
            }
        }
        if (FLastError != 0 || FHSocket == INVALID_SOCKET)
            break;
        quint32 pending = 0;
        if (!PendingBytes(FHSocket, &pending)) {
            FLastError = GetLastError();
            break;
        }
        if (pending == 0)
            break;
        // A handler that took nothing would see the same bytes again at once and turn
        // this loop for ever. The bytes stay with the platform instead: Winsock reports
        // them again after the application's next receive, or at the close.
        if (handled && FRecvCalls == callsBefore)
            break;
    }
}

QString TCustomWSocket::GetPeerAddr()
{
    if (FState != wsConnected)
        return QStringLiteral("error");
    sockaddr_in peer{};
    if (Winsock::GetPeerName(FHSocket, &peer) != 0) {
        SocketError(QStringLiteral("GetPeerName"));
        return QStringLiteral("error");
    }
    return QString::fromLatin1(InetNtoa(peer.sin_addr.s_addr));
}

int TCustomWSocket::GetPeerName(sockaddr_in &name, int /*nameLength*/)
{
    if (FState != wsConnected)
        return -1;
    return Winsock::GetPeerName(FHSocket, &name);
}

QString TCustomWSocket::GetLocalPortText()
{
    if (FState != wsBound && FState != wsConnected && FState != wsListening)
        return QStringLiteral("error");
    sockaddr_in local{};
    if (Winsock::GetSockName(FHSocket, &local) != 0)
        return QStringLiteral("error");
    return QString::number(ntohs(local.sin_port));
}

int TCustomWSocket::GetSockName(sockaddr_in &name, int &nameLength)
{
    const int result = Winsock::GetSockName(FHSocket, &name);
    if (result == 0)
        nameLength = int(sizeof name);
    return result;
}

void TCustomWSocket::Shutdown(int how)
{
    if (FHSocket != INVALID_SOCKET)
        Winsock::Shutdown(FHSocket, how);
}

void TCustomWSocket::Pause()
{
    FPaused = true;
    if (FHSocket != INVALID_SOCKET)
        AsyncSelect(FHSocket, FWindow.get(), 0, 0);
}

void TCustomWSocket::Resume()
{
    FPaused = false;
    if (FHSocket == INVALID_SOCKET)
        return;
    // A listening socket keeps its accept news after a pause as well.
    const quint16 events = FState == wsListening ? quint16(AllConnectionEvents | FD_ACCEPT) : AllConnectionEvents;
    AsyncSelect(FHSocket, FWindow.get(), WM_SOCKET_EVENT, events);
}

void TCustomWSocket::PumpMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    // A socket with its own loop notices the end of its thread or of the program.
    if (FMultiThreaded && (QThread::currentThread()->isInterruptionRequested() || QCoreApplication::closingDown()))
        FTerminated = true;
}

bool TCustomWSocket::PostToSelf(quint32 msg, quintptr wParam, qintptr lParam)
{
    return TMessageWindow::PostMessage(FWindow.get(), msg, wParam, lParam);
}

void TCustomWSocket::SocketError(const QString &function)
{
    const int code = GetLastError();
    const QString line =
        QCoreApplication::translate("TCustomWSocket", "Error %1 in function %2").arg(code).arg(function) +
        QStringLiteral("\r\n") + SocketErrorDesc(code);
    if (code == WSAECONNRESET || code == WSAENOTCONN) {
        if (FHSocket != INVALID_SOCKET)
            CloseSocket(FHSocket);
        FHSocket = INVALID_SOCKET;
        FState = wsClosed;
    }
    FLastError = code;
    RaiseSocketException(line);
}

void TCustomWSocket::RaiseSocketException(const QString &message)
{
    qCDebug(lcNet) << "socket error:" << message;
    if (OnError) {
        TriggerError();
        return;
    }
    throw ESocketException(message);
}

bool TCustomWSocket::TriggerDataAvailable(quint16 error)
{
    return Fire(OnDataAvailable, error);
}

void TCustomWSocket::TriggerSessionAvailable(quint16 error)
{
    Fire(OnSessionAvailable, error);
}

void TCustomWSocket::TriggerSessionConnected(quint16 error)
{
    Fire(OnSessionConnected, error);
}

void TCustomWSocket::TriggerSessionClosed(quint16 error)
{
    Fire(OnSessionClosed, error);
}

void TCustomWSocket::TriggerDataSent(quint16 error)
{
    Fire(OnDataSent, error);
}

void TCustomWSocket::TriggerChangeState(TSocketState oldState, TSocketState newState)
{
    Fire(OnChangeState, oldState, newState);
}

void TCustomWSocket::TriggerDnsLookupDone(quint16 error)
{
    Fire(OnDnsLookupDone, error);
}

void TCustomWSocket::TriggerError()
{
    Fire(OnError);
}

void TCustomWSocket::TriggerLineTooLong()
{
    Fire(OnLineTooLong);
}
