#pragma once

#include "net/CustomWSocket.h"

#include <QTimer>

enum TSocksAuthentication { socksNoAuthentication, socksAuthenticateUsercode };
enum class TSocksAuthState { AuthStart, AuthSuccess, AuthFailure, AuthNotRequired };

// Bytes on the wire to and from the proxy: SOCKS 4 and 4A, SOCKS 5 (RFC 1928) and its
// user name and password sub-negotiation (RFC 1929).
inline constexpr quint8 Socks4Version = 4;
// A SOCKS 4 reply starts with 0, not with the version.
inline constexpr quint8 Socks4ReplyVersion = 0;
inline constexpr quint8 Socks5Version = 5;
inline constexpr quint8 SocksCommandConnect = 1;
inline constexpr quint8 Socks5Reserved = 0;
inline constexpr quint8 Socks5AddressIPv4 = 1;
inline constexpr quint8 Socks5AddressDomain = 3;
// Authentication methods a SOCKS 5 client offers and the proxy chooses from.
inline constexpr quint8 Socks5MethodNone = 0;
inline constexpr quint8 Socks5MethodUserPass = 2;
inline constexpr quint8 Socks5MethodNoAcceptable = 0xFF;
inline constexpr quint8 SocksUserPassVersion = 1;
inline constexpr quint8 SocksUserPassSuccess = 0;
// The proxy's answer to a SOCKS 4 connect request.
inline constexpr quint8 Socks4Granted = 0x5A;
inline constexpr quint8 Socks4Rejected = 0x5B;
// The proxy could not reach the identd on the client's machine.
inline constexpr quint8 Socks4NoIdentd = 0x5C;
// The client's identd reported a different user than the request named.
inline constexpr quint8 Socks4IdentMismatch = 0x5D;
// The proxy's answer to a SOCKS 5 connect request.
inline constexpr quint8 Socks5Succeeded = 0x00;
inline constexpr quint8 Socks5GeneralFailure = 0x01;
inline constexpr quint8 Socks5NotAllowed = 0x02;
inline constexpr quint8 Socks5NetworkUnreachable = 0x03;
inline constexpr quint8 Socks5HostUnreachable = 0x04;
inline constexpr quint8 Socks5ConnectionRefused = 0x05;
inline constexpr quint8 Socks5TtlExpired = 0x06;
inline constexpr quint8 Socks5CommandNotSupported = 0x07;
inline constexpr quint8 Socks5AddressTypeNotSupported = 0x08;

using TSocksErrorEvent = std::function<void(QObject *Sender, int Error, const QString &Msg)>;
using TSocksAuthStateEvent = std::function<void(QObject *Sender, TSocksAuthState AuthState)>;

// Client side of a SOCKS proxy. With SocksServer set, Connect goes to the proxy, asks it
// (SOCKS 5 with an optional user name and password, SOCKS 4 or 4A) to connect to Addr and
// Port, and only then tells the application it is connected. Without a server it is the
// plain socket. Every setting returns to its default when the socket closes.
class TCustomSocksWSocket : public TCustomWSocket {
public:
    explicit TCustomSocksWSocket(QObject *owner = nullptr);

    const QString &SocksServer() const { return FSocksServer; }
    virtual void SetSocksServer(const QString &value);
    const QString &SocksLevel() const { return FSocksLevel; }
    void SetSocksLevel(const QString &value);
    const QString &SocksPort() const { return FSocksPortStr; }
    virtual void SetSocksPort(const QString &value);
    const QString &SocksUsercode() const { return FSocksUsercode; }
    void SetSocksUsercode(const QString &value) { FSocksUsercode = value; }
    const QString &SocksPassword() const { return FSocksPassword; }
    void SetSocksPassword(const QString &value) { FSocksPassword = value; }
    TSocksAuthentication SocksAuthentication() const { return FSocksAuthentication; }
    void SetSocksAuthentication(TSocksAuthentication value) { FSocksAuthentication = value; }
    // Where the proxy says the connection leaves it (SOCKS 5 only).
    const QString &BoundAddress() const { return FBoundAddr; }
    const QString &BoundPort() const { return FBoundPort; }
    // Seconds the negotiation may take from Connect on before it fails with 20019
    // ("No answer from the SOCKS server within %1 seconds"); 0 waits for ever. Kept
    // across closes, unlike the other settings.
    int SocksTimeout() const { return FSocksTimeout; }
    void SetSocksTimeout(int seconds) { FSocksTimeout = seconds; }

    void Connect() override;
    void Listen() override;
    int RcvdCount() override;

    TSocksErrorEvent OnSocksError;
    TSessionConnected OnSocksConnected;
    TSocksAuthStateEvent OnSocksAuthState;

    // Largest reply the negotiation buffer holds.
    static constexpr int ReplyBufferSize = 128;

    // Error codes of OnSocksError and of the session-connected event of a failed
    // negotiation. A SOCKS 5 failure reply n (1 to 8) is told as SocksErrReplyBase + n.
    static constexpr int SocksErrLogic = 20001;
    static constexpr int SocksErrVersion = 20002;
    static constexpr int SocksErrNoMethod = 20003;
    static constexpr int SocksErrReplyBase = 20003;
    static constexpr int SocksErrUnassigned = 20012;
    static constexpr int SocksErrInternal = 20013;
    static constexpr int SocksErrAuthFailed = 20015;
    static constexpr int SocksErrRejected = 20016;
    // The destination of a SOCKS 4 request (which carries an address) has no address.
    static constexpr int SocksErrLookup = 20017;
    // Failures of the negotiation beyond the proxy's own answers.
    static constexpr int SocksErrClosed = 20018;
    static constexpr int SocksErrTimeout = 20019;

protected:
    // The negotiation without a network, for the fuzz target: as if the proxy had just
    // accepted the connection (the settings as Connect wants them), then the bytes fed
    // are the proxy's answers and what the client sends goes nowhere. The end of the
    // feed is the proxy's close.
    void BeginFedNegotiation();
    void FeedNegotiation(const char *data, int length);
    void EndFedNegotiation();

    void ResetDefaults() override;
    bool TriggerDataAvailable(quint16 error) override;
    void TriggerSessionConnected(quint16 error) override;
    void TriggerSessionClosed(quint16 error) override;
    int DoRecv(void *buffer, int length, int flags) override;
    virtual void TriggerSocksConnected(quint16 error);
    virtual void TriggerSocksError(int error, const QString &msg);
    virtual void TriggerSocksAuthState(TSocksAuthState state);

    bool SocksNegotiating() const { return FSocksState != SocksIdle; }

private:
    enum TSocksState : quint8 { SocksIdle = 0, SocksMethodReply = 1, SocksAuthReply = 2, SocksConnectReply = 3 };

    void ResetSocksDefaults();
    bool Level4() const { return FSocksLevel.startsWith(QLatin1Char('4')); }
    int ReadReply(int limit);
    void SocksDoConnect();
    void SocksDoAuthenticate();
    void SocksReplyMethod();
    void SocksReplyAuth();
    void SocksReplyConnect4();
    void SocksReplyConnect5();
    void SocksSuccess();
    void SocksError(int error, const QString &msg);
    void SocksAuthFailed(int error, const QString &msg);
    void SocksTimerExpired();

    TSocksState FSocksState = SocksIdle;
    QString FSocksServer;
    QString FSocksLevel = QStringLiteral("5");
    QString FSocksPortStr;
    bool FSocksPortAssigned = false;
    bool FSocksServerAssigned = false;
    QString FSocksUsercode;
    QString FSocksPassword;
    TSocksAuthentication FSocksAuthentication = socksNoAuthentication;
    quint8 FSocksAuthNumber = 0;
    QString FBoundAddr;
    QString FBoundPort;
    quint8 FRcvBuf[ReplyBufferSize] = {};
    int FRcvCnt = 0;
    int FSocksRcvdCnt = 0;
    int FSocksRcvdPtr = 0;
    int FSocksDestPort = 0;
    // A failure was reported; the close that follows is no news.
    bool FSocksFailed = false;
    // Fed instead of received (BeginFedNegotiation), and what waits to be read.
    bool FFed = false;
    QByteArray FFedInput;
    int FSocksTimeout = 30;
    QTimer FSocksTimer;
};
