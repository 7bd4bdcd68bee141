#pragma once

#include "net/CustomWSocket.h"

#include <QTimer>

enum TSocksAuthentication { socksNoAuthentication, socksAuthenticateUsercode };
enum class TSocksAuthState { AuthStart, AuthSuccess, AuthFailure, AuthNotRequired };

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
