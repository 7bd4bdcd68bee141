#pragma once

#include "net/Buffer.h"
#include "net/WSocketTypes.h"
#include "platform/core/Messages.h"
#include "platform/core/Winsock.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <deque>
#include <memory>

// The event-driven, non-blocking TCP/UDP socket. Every operation returns at once; the
// platform's news (connected, data, room to send, a connection to accept, closed, a
// lookup answered) arrives as messages to the socket's own notification window and is
// passed on to the On... handlers, always from the thread that created the socket.
// Outgoing data waits in a queue of blocks and drains as the platform takes it.
//
// Failures go through RaiseSocketException: with OnError assigned the handler is told
// and the operation carries on from there; without it ESocketException propagates.
// An exception escaping a handler during message dispatch goes to
// HandleBackgroundException, which by default aborts the connection.
class TCustomWSocket : public QObject {
public:
    explicit TCustomWSocket(QObject *owner = nullptr);
    ~TCustomWSocket() override;

    const QString &Addr() const { return FAddrStr; }
    void SetAddr(const QString &value);
    const QString &Port() const { return FPortStr; }
    virtual void SetPort(const QString &value);
    const QString &Proto() const { return FProtoStr; }
    virtual void SetProto(const QString &value);
    const QString &LocalPort() const { return FLocalPortStr; }
    void SetLocalPort(const QString &value);

    const QString &DnsResult() const { return FDnsResult; }
    const QStringList &DnsResultList() const { return FDnsResultList; }
    TSocketState State() const { return FState; }
    int ReadCount() const { return FReadCount; }
    // Bytes ready to be received.
    virtual int RcvdCount();
    int LastError() const { return FLastError; }
    // Part of the socket's published interface; nothing in this program sets it (every
    // socket lives on the thread that made it).
    bool MultiThreaded() const { return FMultiThreaded; }
    void SetMultiThreaded(bool value) { FMultiThreaded = value; }
    // Seconds Flush keeps trying before it gives up and leaves the rest queued. Part of the
    // published interface: this program keeps the default.
    int FlushTimeout() const { return FFlushTimeout; }
    void SetFlushTimeout(int seconds) { FFlushTimeout = seconds; }
    TSocketSendFlags SendFlags() const;
    void SetSendFlags(TSocketSendFlags value);
    TSocketLingerOnOff LingerOnOff() const { return FLingerOnOff; }
    void SetLingerOnOff(TSocketLingerOnOff value) { FLingerOnOff = value; }
    // Part of the published interface: this program keeps the default of 0.
    int LingerTimeout() const { return FLingerTimeout; }
    void SetLingerTimeout(int seconds) { FLingerTimeout = seconds; }
    Winsock::TSocket HSocket() const { return FHSocket; }
    bool AllSent() const { return bAllSent; }
    bool Terminated() const { return FTerminated; }
    bool Paused() const { return FPaused; }

    virtual void Connect();
    virtual void Close();
    virtual void Abort();
    virtual void Flush();
    virtual void WaitForClose();
    virtual void Listen();
    virtual Winsock::TSocket Accept();

    int Receive(void *buffer, int length);
    QByteArray ReceiveText();
    int ReceiveFrom(sockaddr_in *from, int &fromLength, void *buffer, int length);
    int Send(const void *data, int length);
    int SendTo(const sockaddr_in &dest, int destLength, const void *data, int length);
    int SendText(const QByteArray &text);
    // Sends whatever the queue holds as far as the platform takes it.
    void TryToSend();

    virtual void DnsLookup(const QString &hostName);
    virtual void ReverseDnsLookup(const QString &hostAddr);
    virtual void CancelDnsLookup();

    virtual QString GetPeerAddr();
    virtual int GetPeerName(sockaddr_in &name, int nameLength);
    virtual QString GetLocalPortText();
    virtual int GetSockName(sockaddr_in &name, int &nameLength);
    virtual void Dup(Winsock::TSocket newHSocket);
    virtual void Shutdown(int how);
    virtual void Pause();
    virtual void Resume();
    // Runs the messages waiting for this thread; handlers may run inside.
    virtual void PumpMessages();

    TSessionAvailable OnSessionAvailable;
    TSessionConnected OnSessionConnected;
    TSessionClosed OnSessionClosed;
    TChangeState OnChangeState;
    TDataAvailable OnDataAvailable;
    TDataSent OnDataSent;
    TNotifyEvent OnLineTooLong;
    TDnsLookupDone OnDnsLookupDone;
    TNotifyEvent OnError;
    TBgExceptionEvent OnBgException;

protected:
    virtual void WndProc(TMessage &msg);
    virtual void ResetDefaults();
    virtual void CloseSocketHandle(bool shut, quint16 error);
    virtual void BindSocket();
    virtual int RealSend(const char *data, int length);
    // Sends several queued blocks of a stream in one call, as RealSend would send their
    // concatenation; a layer that changes the bytes on their way out overrides both.
    virtual int RealSendGathered(const Winsock::TSendPiece *pieces, int count);
    virtual void RaiseSocketException(const QString &message);
    virtual void HandleBackgroundException(const std::exception &e);
    virtual bool TriggerDataAvailable(quint16 error);
    virtual void TriggerSessionAvailable(quint16 error);
    virtual void TriggerSessionConnected(quint16 error);
    virtual void TriggerSessionClosed(quint16 error);
    virtual void TriggerDataSent(quint16 error);
    virtual void TriggerChangeState(TSocketState oldState, TSocketState newState);
    virtual void TriggerDnsLookupDone(quint16 error);
    virtual void TriggerError();
    virtual void TriggerLineTooLong();
    virtual int DoRecv(void *buffer, int length, int flags);
    virtual int DoRecvFrom(void *buffer, int length, int flags, sockaddr_in *from, int *fromLength);

    // Reports the platform's last error for the named function (see the class note);
    // a reset or unconnected socket is closed at once, without an event.
    void SocketError(const QString &function);
    void ChangeState(TSocketState newState);
    void SetLingerOption();
    void DeleteBufferedData();
    void PutDataInSendBuffer(const char *data, int length);
    bool PostToSelf(quint32 msg, quintptr wParam, qintptr lParam);
    // Calls an event handler when one is set, never while the socket is being destroyed
    // (the object the handler belongs to may be gone already); true when it was called.
    template <typename Handler, typename... Args>
    bool Fire(const Handler &handler, const Args &...args)
    {
        if (!handler || FDestroying)
            return false;
        handler(this, args...);
        return true;
    }

    QString FDnsResult;
    QStringList FDnsResultList;
    Winsock::TSocket FASocket = Winsock::INVALID_SOCKET;
    std::deque<std::unique_ptr<TBuffer>> FBufList;
    int FBufSize = TBuffer::DefaultSize;
    static constexpr int LargeBlockSize = 65536;
    int FSendFlags = 0;
    int FLastError = 0;
    std::unique_ptr<TMessageWindow> FWindow;
    Winsock::THostEntry FDnsLookupBuffer;
    quintptr FDnsLookupHandle = 0;
    Winsock::TSocket FHSocket = Winsock::INVALID_SOCKET;
    QString FAddrStr;
    bool FAddrAssigned = false;
    bool FAddrResolved = false;
    int FAddrFormat = 2;
    int FProto = 6;
    QString FProtoStr = QStringLiteral("tcp");
    bool FProtoAssigned = true;
    bool FProtoResolved = false;
    bool FLocalPortResolved = false;
    QString FPortStr;
    bool FPortAssigned = false;
    bool FPortResolved = false;
    int FPortNum = 0;
    QString FLocalPortStr = QStringLiteral("0");
    int FLocalPortNum = 0;
    int FType = 1;
    TSocketLingerOnOff FLingerOnOff = wsLingerOn;
    int FLingerTimeout = 0;
    bool bAllSent = true;
    // A send would have blocked and the write event that ends the wait has not come yet.
    bool FWriteBlocked = false;
    // A write message posted by Send is waiting in the loop.
    bool FWritePosted = false;
    int FReadCount = 0;
    bool FPaused = false;
    bool FCloseInvoked = false;
    bool FMultiThreaded = false;
    int FFlushTimeout = 60;
    TSocketState FState = wsClosed;
    bool FTerminated = false;
    sockaddr_in FSin{};
    // Counts every receive made on behalf of a handler, so the receive loop can tell a
    // handler that took nothing from one that did.
    quint64 FRecvCalls = 0;

private:
    void WindowProcGuard(TMessage &msg);
    void HandleSocketEvent(TMessage &msg);
    void HandleLookupDone(TMessage &msg, bool reverse);
    void ReceiveLoop(quint16 error);
    // Sends from the front of the queue (several blocks at once on a stream); offered
    // is how many bytes were handed over.
    int SendFromQueue(int &offered);
    void RemoveSent(int count);
    void ResolveForConnect(bool localPort);

    bool FDestroying = false;
};
