#include "net/CustomSocksWSocket.h"

#include "net/BestEffort.h"
#include "net/NetLog.h"
#include "net/WSocketResolve.h"
#include "platform/core/Exceptions.h"

#include <QCoreApplication>
#include <QPointer>
#include <arpa/inet.h>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <memory>
#include <typeinfo>

using namespace Winsock;

namespace {

// The exception's class as its declaration names it ("ESocketException").
QString ExceptionClassName(const std::exception &e)
{
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> name(abi::__cxa_demangle(typeid(e).name(), nullptr, nullptr, &status),
                                                     &std::free);
    return QString::fromLatin1(status == 0 && name ? name.get() : typeid(e).name());
}

QString ExceptionMessage(const std::exception &e)
{
    if (const auto *own = dynamic_cast<const Exception *>(&e))
        return own->Message();
    return QString::fromLocal8Bit(e.what());
}

// A SOCKS 4 reply: version, code, port and address.
constexpr int Socks4ReplyLength = 8;

struct TSocks5Failure {
    quint8 Code;
    const char *Text;
};

const TSocks5Failure Socks5Failures[] = {
    {Socks5GeneralFailure, QT_TRANSLATE_NOOP("TCustomSocksWSocket", "general SOCKS server failure")},
    {Socks5NotAllowed, QT_TRANSLATE_NOOP("TCustomSocksWSocket", "connection not allowed by ruleset")},
    {Socks5NetworkUnreachable, QT_TRANSLATE_NOOP("TCustomSocksWSocket", "network unreachable")},
    {Socks5HostUnreachable, QT_TRANSLATE_NOOP("TCustomSocksWSocket", "host unreachable")},
    {Socks5ConnectionRefused, QT_TRANSLATE_NOOP("TCustomSocksWSocket", "connection refused")},
    {Socks5TtlExpired, QT_TRANSLATE_NOOP("TCustomSocksWSocket", "time to live expired")},
    {Socks5CommandNotSupported, QT_TRANSLATE_NOOP("TCustomSocksWSocket", "command not supported")},
    {Socks5AddressTypeNotSupported, QT_TRANSLATE_NOOP("TCustomSocksWSocket", "address type not supported")},
};

} // namespace

TCustomSocksWSocket::TCustomSocksWSocket(QObject *owner) : TCustomWSocket(owner)
{
    FSocksTimer.setSingleShot(true);
    connect(&FSocksTimer, &QTimer::timeout, this, [this] { SocksTimerExpired(); });
    ResetSocksDefaults();
}

void TCustomSocksWSocket::ResetDefaults()
{
    TCustomWSocket::ResetDefaults();
    ResetSocksDefaults();
}

void TCustomSocksWSocket::ResetSocksDefaults()
{
    FSocksTimer.stop();
    FSocksFailed = false;
    FFed = false;
    FFedInput.clear();
    FSocksState = SocksIdle;
    FSocksServer.clear();
    FSocksServerAssigned = false;
    FSocksPortStr.clear();
    FSocksPortAssigned = false;
    FSocksLevel = QStringLiteral("5");
    FSocksRcvdCnt = 0;
    FSocksRcvdPtr = 0;
    FRcvCnt = 0;
}

void TCustomSocksWSocket::SetSocksServer(const QString &value)
{
    if (FState != wsClosed) {
        RaiseSocketException(QStringLiteral("Can't change socks server if not closed"));
        return;
    }
    FSocksServer = value.trimmed();
    FSocksServerAssigned = !FSocksServer.isEmpty();
}

void TCustomSocksWSocket::SetSocksPort(const QString &value)
{
    if (FState != wsClosed) {
        RaiseSocketException(QStringLiteral("Can't change socks port if not closed"));
        return;
    }
    FSocksPortStr = value.trimmed();
    FSocksPortAssigned = !FSocksPortStr.isEmpty();
}

void TCustomSocksWSocket::SetSocksLevel(const QString &value)
{
    if (FState != wsClosed) {
        RaiseSocketException(QStringLiteral("Can't change socks level if not closed"));
        return;
    }
    if (value != QLatin1String("4") && value != QLatin1String("5") && value != QLatin1String("4A") &&
        value != QLatin1String("4a")) {
        RaiseSocketException(QStringLiteral("Invalid socks level. Must be 4, 4A or 5."));
        return;
    }
    FSocksLevel = value.toUpper();
}

void TCustomSocksWSocket::Listen()
{
    if (FSocksServerAssigned) {
        RaiseSocketException(QStringLiteral("listening is not supported thru socks server"));
        return;
    }
    TCustomWSocket::Listen();
}

void TCustomSocksWSocket::Connect()
{
    if (!FSocksServerAssigned) {
        TCustomWSocket::Connect();
        return;
    }
    if (FProtoStr.toLower() != QLatin1String("tcp")) {
        RaiseSocketException(QStringLiteral("tcp is the only protocol supported thru socks server"));
        return;
    }
    // The connection itself goes to the proxy; the destination travels in the request.
    // An unassigned Port is left for the base class to report in its own words.
    if (FPortAssigned)
        FSocksDestPort = WSocketResolvePort(FPortStr, FProtoStr);
    if (!FPortResolved) {
        FSin.sin_port = htons(quint16(WSocketResolvePort(FSocksPortStr, FProtoStr)));
        FPortResolved = true;
    }
    if (!FAddrResolved) {
        FSin.sin_addr.s_addr = WSocketResolveHost(FSocksServer);
        FAddrResolved = true;
    }
    FSocksState = SocksMethodReply;
    FSocksFailed = false;
    FRcvCnt = 0;
    if (FSocksTimeout > 0)
        FSocksTimer.start(FSocksTimeout * 1000);
    TCustomWSocket::Connect();
}

int TCustomSocksWSocket::RcvdCount()
{
    if (FSocksRcvdCnt > 0)
        return FSocksRcvdCnt;
    return TCustomWSocket::RcvdCount();
}

int TCustomSocksWSocket::DoRecv(void *buffer, int length, int flags)
{
    if (FSocksRcvdCnt <= 0 && FFed) {
        if (FFedInput.isEmpty()) {
            Winsock::SetLastError(Winsock::WSAEWOULDBLOCK);
            return -1;
        }
        const int count = int(qMin<qsizetype>(length, FFedInput.size()));
        std::memcpy(buffer, FFedInput.constData(), size_t(count));
        FFedInput.remove(0, count);
        return count;
    }
    if (FSocksRcvdCnt <= 0)
        return TCustomWSocket::DoRecv(buffer, length, flags);
    // Bytes that came in the same packet as the proxy's reply belong to the
    // application and are handed out before anything more is read.
    const int count = qBound(0, length, FSocksRcvdCnt);
    std::memcpy(buffer, FRcvBuf + FSocksRcvdPtr, size_t(count));
    FSocksRcvdPtr += count;
    FSocksRcvdCnt -= count;
    return count;
}

void TCustomSocksWSocket::TriggerSessionConnected(quint16 error)
{
    if (FSocksState != SocksMethodReply) {
        TCustomWSocket::TriggerSessionConnected(error);
        return;
    }
    QPointer<TCustomSocksWSocket> self(this);
    TriggerSocksConnected(error);
    if (!self)
        return;
    if (error != 0) {
        TCustomWSocket::TriggerSessionConnected(error);
        return;
    }
    if (Level4()) {
        SocksDoConnect();
        return;
    }
    FSocksAuthNumber = FSocksAuthentication == socksAuthenticateUsercode ? Socks5MethodUserPass : Socks5MethodNone;
    // The greeting offers exactly one method.
    const char request[3] = {char(Socks5Version), 1, char(FSocksAuthNumber)};
    Send(request, 3);
}

void TCustomSocksWSocket::TriggerSessionClosed(quint16 error)
{
    QPointer<TCustomSocksWSocket> self(this);
    if (FSocksState == SocksAuthReply) {
        TriggerSocksAuthState(TSocksAuthState::AuthFailure);
        if (!self)
            return;
    }
    if (FSocksState != SocksIdle && !FSocksFailed) {
        // The proxy went away before it answered in full: a failed connect, told as one,
        // never a connection that merely ended.
        FSocksFailed = true;
        FSocksTimer.stop();
        TriggerSocksError(SocksErrClosed,
                          QCoreApplication::translate("TCustomSocksWSocket",
                                                      "SOCKS server closed the connection during negotiation"));
        if (!self)
            return;
        TCustomWSocket::TriggerSessionConnected(quint16(SocksErrClosed));
        if (!self)
            return;
        if (error == 0)
            error = quint16(SocksErrClosed);
    }
    TCustomWSocket::TriggerSessionClosed(error);
}

void TCustomSocksWSocket::BeginFedNegotiation()
{
    if (!FSocksServerAssigned || FState != wsClosed)
        return;
    if (FPortAssigned)
        FSocksDestPort = WSocketResolvePort(FPortStr, FProtoStr);
    FSocksState = SocksMethodReply;
    FSocksFailed = false;
    FRcvCnt = 0;
    FFed = true;
    FFedInput.clear();
    QPointer<TCustomSocksWSocket> self(this);
    ChangeState(wsConnected);
    if (self)
        TriggerSessionConnected(0);
}

void TCustomSocksWSocket::FeedNegotiation(const char *data, int length)
{
    if (!FFed || length <= 0)
        return;
    FFedInput.append(data, length);
    QPointer<TCustomSocksWSocket> self(this);
    // As the receive loop does: the bytes are offered until a handler takes none.
    while (self && FFed && !FFedInput.isEmpty()) {
        const qsizetype before = FFedInput.size();
        TriggerDataAvailable(0);
        if (!self || FFedInput.size() == before)
            return;
    }
}

void TCustomSocksWSocket::EndFedNegotiation()
{
    if (!FFed)
        return;
    QPointer<TCustomSocksWSocket> self(this);
    TriggerSessionClosed(0);
    if (self)
        CloseSocketHandle(false, 0);
}

void TCustomSocksWSocket::SocksTimerExpired()
{
    if (FSocksState == SocksIdle || FSocksFailed)
        return;
    SocksError(SocksErrTimeout,
               QCoreApplication::translate("TCustomSocksWSocket", "No answer from the SOCKS server within %n seconds",
                                           nullptr, int(FSocksTimeout)));
}

bool TCustomSocksWSocket::TriggerDataAvailable(quint16 error)
{
    if (FSocksState == SocksIdle)
        return TCustomWSocket::TriggerDataAvailable(error);
    if (error != 0) {
        SocksError(error, QCoreApplication::translate("TCustomSocksWSocket", "data receive error"));
        return true;
    }
    switch (FSocksState) {
    case SocksMethodReply: SocksReplyMethod(); break;
    case SocksAuthReply: SocksReplyAuth(); break;
    case SocksConnectReply:
        if (Level4())
            SocksReplyConnect4();
        else
            SocksReplyConnect5();
        break;
    default: SocksError(SocksErrInternal, QCoreApplication::translate("TCustomSocksWSocket", "internal error")); break;
    }
    return true;
}

int TCustomSocksWSocket::ReadReply(int limit)
{
    const int room = limit - FRcvCnt;
    if (room <= 0)
        return 0;
    const int n = Receive(FRcvBuf + FRcvCnt, room);
    if (n > 0)
        FRcvCnt += n;
    return n;
}

void TCustomSocksWSocket::SocksReplyMethod()
{
    ReadReply(ReplyBufferSize - 1);
    if (Level4()) {
        SocksError(SocksErrLogic, QCoreApplication::translate("TCustomSocksWSocket", "TWSocket logic error"));
        return;
    }
    if (FRcvCnt < 2)
        return;
    FRcvCnt = 0;
    if (FRcvBuf[0] != Socks5Version) {
        SocksError(SocksErrVersion, QCoreApplication::translate("TCustomSocksWSocket", "socks version error"));
        return;
    }
    if (FRcvBuf[1] == Socks5MethodNone) {
        if (FSocksAuthNumber != Socks5MethodNone) {
            QPointer<TCustomSocksWSocket> self(this);
            TriggerSocksAuthState(TSocksAuthState::AuthNotRequired);
            if (!self)
                return;
        }
        SocksDoConnect();
    } else if (FRcvBuf[1] == Socks5MethodUserPass) {
        // Offered only "no authentication", the client has no credentials to send: a
        // server choosing user/password anyway breaks the exchange.
        if (FSocksAuthNumber != Socks5MethodUserPass) {
            SocksError(
                SocksErrNoMethod,
                QCoreApplication::translate("TCustomSocksWSocket", "SOCKS server chose a method that was not offered"));
            return;
        }
        SocksDoAuthenticate();
    } else {
        // Socks5MethodNoAcceptable, or a method the client never offered.
        SocksError(SocksErrNoMethod,
                   QCoreApplication::translate("TCustomSocksWSocket", "authentification method not acceptable"));
    }
}

void TCustomSocksWSocket::SocksReplyAuth()
{
    ReadReply(ReplyBufferSize - 1);
    if (FRcvCnt == 0)
        return;
    if (FRcvBuf[0] != SocksUserPassVersion) {
        SocksAuthFailed(SocksErrVersion, QCoreApplication::translate("TCustomSocksWSocket", "socks version error"));
        return;
    }
    if (FRcvCnt > 2) {
        SocksAuthFailed(SocksErrLogic, QCoreApplication::translate("TCustomSocksWSocket", "too much data availaible"));
        return;
    }
    // The two-byte answer may come in two packets: a lone version byte says nothing yet
    // about the outcome, so it waits for the status.
    if (FRcvCnt < 2)
        return;
    if (FRcvBuf[1] != SocksUserPassSuccess) {
        SocksAuthFailed(SocksErrAuthFailed,
                        QCoreApplication::translate("TCustomSocksWSocket", "socks authentication failed"));
        return;
    }
    FRcvCnt = 0;
    QPointer<TCustomSocksWSocket> self(this);
    TriggerSocksAuthState(TSocksAuthState::AuthSuccess);
    if (self)
        SocksDoConnect();
}

void TCustomSocksWSocket::SocksAuthFailed(int error, const QString &msg)
{
    QPointer<TCustomSocksWSocket> self(this);
    TriggerSocksAuthState(TSocksAuthState::AuthFailure);
    if (!self)
        return;
    // The failure is told once: the close that follows is no longer in the middle of
    // the authentication.
    FSocksState = SocksIdle;
    SocksError(error, msg);
}

void TCustomSocksWSocket::SocksReplyConnect4()
{
    ReadReply(Socks4ReplyLength);
    if (FRcvCnt < Socks4ReplyLength)
        return;
    FRcvCnt = 0;
    if (FRcvBuf[0] != Socks4ReplyVersion) {
        SocksError(SocksErrVersion, QCoreApplication::translate("TCustomSocksWSocket", "socks version error"));
        return;
    }
    switch (FRcvBuf[1]) {
    case Socks4Granted: SocksSuccess(); break;
    case Socks4Rejected:
        SocksError(SocksErrRejected, QCoreApplication::translate("TCustomSocksWSocket", "request rejected or failed"));
        break;
    case Socks4NoIdentd:
        // Told in the words and code of SOCKS 5's refusal.
        SocksError(SocksErrReplyBase + Socks5ConnectionRefused,
                   QCoreApplication::translate("TCustomSocksWSocket", "connection refused"));
        break;
    case Socks4IdentMismatch:
        SocksError(SocksErrAuthFailed, QCoreApplication::translate("TCustomSocksWSocket", "authentification failed"));
        break;
    default:
        SocksError(SocksErrUnassigned,
                   QCoreApplication::translate("TCustomSocksWSocket", "unassigned error #%1").arg(FRcvBuf[1]));
        break;
    }
}

void TCustomSocksWSocket::SocksReplyConnect5()
{
    ReadReply(ReplyBufferSize - 1);
    if (FRcvCnt < 1)
        return;
    if (FRcvBuf[0] != Socks5Version) {
        SocksError(SocksErrVersion, QCoreApplication::translate("TCustomSocksWSocket", "socks version error"));
        return;
    }
    if (FRcvCnt >= 2 && FRcvBuf[1] != Socks5Succeeded) {
        const int code = FRcvBuf[1];
        for (const TSocks5Failure &failure : Socks5Failures) {
            if (failure.Code == code) {
                SocksError(SocksErrReplyBase + code, QCoreApplication::translate("TCustomSocksWSocket", failure.Text));
                return;
            }
        }
        SocksError(SocksErrUnassigned,
                   QCoreApplication::translate("TCustomSocksWSocket", "unassigned error #%1").arg(code));
        return;
    }
    if (FRcvCnt <= 4)
        return;
    const int type = FRcvBuf[3];
    // Version, code, reserved and type, then the address (four bytes, or a length byte and
    // a name) and the port; of any other type only its first byte is waited for.
    const int needed = type == Socks5AddressIPv4 ? 10 : type == Socks5AddressDomain ? FRcvBuf[4] + 7 : 5;
    if (needed > ReplyBufferSize - 1) {
        // A bound name too long for the reply buffer could never complete; waiting for
        // it would leave the connection hanging.
        SocksError(SocksErrLogic, QCoreApplication::translate("TCustomSocksWSocket", "too much data availaible"));
        return;
    }
    if (FRcvCnt < needed)
        return;
    int portOffset;
    if (type == Socks5AddressIPv4) {
        quint32 address;
        std::memcpy(&address, FRcvBuf + 4, 4);
        FBoundAddr = QString::fromLatin1(InetNtoa(address));
        portOffset = 8;
    } else if (type == Socks5AddressDomain) {
        const int length = FRcvBuf[4];
        FBoundAddr = QString::fromLatin1(reinterpret_cast<const char *>(FRcvBuf + 5), length);
        portOffset = length + 5;
    } else {
        SocksError(SocksErrReplyBase + Socks5AddressTypeNotSupported,
                   QCoreApplication::translate("TCustomSocksWSocket", "address type not supported"));
        return;
    }
    FBoundPort = QString::number((int(FRcvBuf[portOffset]) << 8) | FRcvBuf[portOffset + 1]);
    const int leftover = FRcvCnt - portOffset - 2;
    FSocksRcvdCnt = leftover > 0 ? leftover : 0;
    FSocksRcvdPtr = portOffset + 2;
    FRcvCnt = 0;
    SocksSuccess();
}

void TCustomSocksWSocket::SocksSuccess()
{
    qCDebug(lcNet) << "socks negotiation done, leftover" << FSocksRcvdCnt;
    FSocksState = SocksIdle;
    FSocksTimer.stop();
    QPointer<TCustomSocksWSocket> self(this);
    TCustomWSocket::TriggerSessionConnected(0);
    if (!self || FHSocket == INVALID_SOCKET)
        return;
    // Offered through the whole chain, so line mode applies to the first bytes as well.
    TriggerDataAvailable(0);
}

void TCustomSocksWSocket::SocksError(int error, const QString &msg)
{
    qCDebug(lcNet) << "socks error" << error << msg;
    FSocksFailed = true;
    FSocksTimer.stop();
    QPointer<TCustomSocksWSocket> self(this);
    TriggerSocksError(error, msg);
    if (!self)
        return;
    TCustomWSocket::TriggerSessionConnected(quint16(error));
    if (!self)
        return;
    CloseSocketHandle(true, quint16(error));
}

void TCustomSocksWSocket::SocksDoConnect()
{
    FSocksState = SocksConnectReply;
    QByteArray request;
    const QByteArray destination = FAddrStr.toLatin1();
    const char portHigh = char((FSocksDestPort >> 8) & 0xFF);
    const char portLow = char(FSocksDestPort & 0xFF);
    if (Level4()) {
        quint32 address;
        if (FSocksLevel == QLatin1String("4A")) {
            address = InetAddr("0.0.0.1");
        } else {
            try {
                address = WSocketResolveHost(FAddrStr);
            } catch (const std::exception &e) {
                QPointer<TCustomSocksWSocket> self(this);
                FSocksFailed = true;
                FSocksTimer.stop();
                TriggerSocksError(SocksErrLookup, ExceptionClassName(e) + QLatin1Char(' ') + ExceptionMessage(e));
                if (self)
                    CloseSocketHandle(true, SocksErrLookup);
                return;
            }
        }
        request.append(char(Socks4Version)).append(char(SocksCommandConnect)).append(portHigh).append(portLow);
        request.append(reinterpret_cast<const char *>(&address), 4);
        request.append(FSocksUsercode.toLatin1()).append('\0');
        if (FSocksLevel == QLatin1String("4A"))
            request.append(destination).append('\0');
    } else {
        request.append(char(Socks5Version)).append(char(SocksCommandConnect)).append(char(Socks5Reserved));
        request.append(char(Socks5AddressDomain));
        const QByteArray name = destination.left(255);
        request.append(char(name.size())).append(name);
        request.append(portHigh).append(portLow);
    }
    BestEffort([&] { SendText(request); });
}

void TCustomSocksWSocket::SocksDoAuthenticate()
{
    FSocksState = SocksAuthReply;
    QPointer<TCustomSocksWSocket> self(this);
    TriggerSocksAuthState(TSocksAuthState::AuthStart);
    if (!self)
        return;
    const QByteArray user = FSocksUsercode.toLatin1().left(255);
    const QByteArray password = FSocksPassword.toLatin1().left(255);
    QByteArray request;
    request.append(char(SocksUserPassVersion)).append(char(user.size())).append(user);
    request.append(char(password.size())).append(password);
    BestEffort([&] { SendText(request); });
}

void TCustomSocksWSocket::TriggerSocksConnected(quint16 error)
{
    Fire(OnSocksConnected, error);
}

void TCustomSocksWSocket::TriggerSocksError(int error, const QString &msg)
{
    Fire(OnSocksError, error, msg);
}

void TCustomSocksWSocket::TriggerSocksAuthState(TSocksAuthState state)
{
    Fire(OnSocksAuthState, state);
}
