#pragma once

#include "net/HttpChunkDecoder.h"
#include "net/HttpRequestMessage.h"
#include "net/HttpUtil.h"
#include "net/WSocket.h"
#include "platform/core/Messages.h"

#include <QIODevice>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

// Tunnelling (an https request asking an HTTP proxy for a CONNECT tunnel) and Securing
// (the TLS handshake) come only for https, between Connected and ReadingHeader.
enum class THttpState {
    Idle,
    Starting,
    Connected,
    LookingUp,
    LookedUp,
    ReadingHeader,
    ReadingBody,
    Aborting,
    Tunnelling,
    Securing
};
enum THttpRequest : quint8 { RequestNone = 0, RequestGet = 1, RequestPost = 2, RequestHead = 3 };

// Error codes of EHttpException and of a finished request (RequestDoneError). A request
// that fails at the socket level (lookup, connect, a reset) reports the Winsock code
// instead, a request that stayed silent past Timeout reports 10060. Each failure of the
// client's own has its reason in ReasonPhrase.
inline constexpr quint16 ErrBusy = 1;
inline constexpr quint16 ErrNothingToPost = 2;
inline constexpr quint16 ErrAborted = 3;
inline constexpr quint16 ErrLineTooLong = 4;
inline constexpr quint16 ErrTooManyRedirects = 5;
// The server closed the connection without sending a byte.
inline constexpr quint16 ErrNoReply = 6;
// The reply is not HTTP as this client reads it: no status line, a bad number, a NUL
// byte in the header, a header line without a colon or folded onto the one before, two
// different Locations, a malformed chunk.
inline constexpr quint16 ErrBadReply = 7;
// The connection ended before the reply was complete (header, length or last chunk).
inline constexpr quint16 ErrIncomplete = 8;
// The receive stream did not take the bytes (a full disk, a file size limit).
inline constexpr quint16 ErrWriteFailed = 9;
// A URL or a redirect's Location the client will not follow (a control byte, a port out
// of range, a scheme other than http); nothing was sent for it.
inline constexpr quint16 ErrUrlRefused = 10;
// The reply's header passed MaxHeaderBytes or MaxHeaderLines.
inline constexpr quint16 ErrHeaderTooLarge = 11;
// The body passed MaxBodySize.
inline constexpr quint16 ErrBodyTooLarge = 12;
// The whole request took longer than Deadline.
inline constexpr quint16 ErrDeadline = 13;
// The TLS handshake failed ("TLS: " and OpenSSL's reason: "certificate has expired").
inline constexpr quint16 ErrTlsFailed = 14;
// The HTTP proxy would not open a tunnel for an https request.
inline constexpr quint16 ErrTunnelRefused = 15;
// A header line of the caller's (ExtraHeaders) the client will not send ("Header refused:
// <name>"); nothing was sent for the request.
inline constexpr quint16 ErrHeaderRefused = 16;

inline constexpr quint32 WM_HTTP_REQUEST_DONE = WM_USER + 1;
inline constexpr quint32 WM_HTTP_SET_READY = WM_USER + 2;
inline constexpr quint32 WM_HTTP_RESTART = WM_USER + 3;

using TDocDataEvent = std::function<void(QObject *Sender, const char *Buffer, int Len)>;
using TOnCommand = std::function<void(QObject *Sender, const QString &S)>;
using TCookieRcvdEvent = std::function<void(QObject *Sender, const QString &Data, bool &Accept)>;
using THttpRequestDone = std::function<void(QObject *Sender, THttpRequest RqType, quint16 Error)>;

// A non-blocking HTTP/1.0 client. StartGet (or StartRequest) returns at once; the request
// then runs on the events of the socket it owns: name lookup, connect, request, header,
// body, end of connection. OnRequestDone tells the outcome, always from the message loop
// and exactly once for every return to Idle; the body arrives through OnDocData and
// ReceiveStream. A request succeeds only when its reply is complete: the status line
// read, the header ended, and the body whole (its Content-Length reached, the last chunk
// read, or without either a clean close). Every other ending sets RequestDoneError and
// a reason. StatusCode is what the server sent (0 before a status line), except for a
// lookup or connect failure, which reports 404. One request runs at a time.
class THttpCli : public QObject {
public:
    explicit THttpCli(QObject *owner = nullptr);
    ~THttpCli() override;

    static constexpr int MaxRedirects = 20;
    // Longest status or header line (its line end included) the client reads. Real
    // replies carry lines of 16 KiB and more (large cookies, security policies); 64 KiB
    // leaves room for them, and a fixed buffer keeps a hostile peer from growing it.
    static constexpr int LineBufferSize = 65536;
    // Bounds of a reply's header (interim replies included): each line fits
    // LineBufferSize, and all of them these.
    static constexpr int MaxHeaderLines = 1000;
    static constexpr qint64 MaxHeaderBytes = 256 * 1024;

    const QString &URL() const { return FURL; }
    void SetURL(const QString &value) { FURL = value; }
    const QString &Proxy() const { return FProxy; }
    void SetProxy(const QString &value) { FProxy = value; }
    const QString &ProxyPort() const { return FProxyPort; }
    void SetProxyPort(const QString &value) { FProxyPort = value; }
    const QString &Sender() const { return FSender; }
    void SetSender(const QString &value) { FSender = value; }
    const QString &Agent() const { return FAgent; }
    void SetAgent(const QString &value) { FAgent = value; }
    const QString &Accept() const { return FAccept; }
    void SetAccept(const QString &value) { FAccept = value; }
    const QString &Reference() const { return FReference; }
    void SetReference(const QString &value) { FReference = value; }
    const QString &Username() const { return FUsername; }
    void SetUsername(const QString &value) { FUsername = value; }
    const QString &Password() const { return FPassword; }
    void SetPassword(const QString &value) { FPassword = value; }
    const QString &ProxyUsername() const { return FProxyUsername; }
    void SetProxyUsername(const QString &value) { FProxyUsername = value; }
    const QString &ProxyPassword() const { return FProxyPassword; }
    void SetProxyPassword(const QString &value) { FProxyPassword = value; }
    bool NoCache() const { return FNoCache; }
    void SetNoCache(bool value) { FNoCache = value; }
    // Days since 30 December 1899 with the time as fraction; 0 sends no If-Modified-Since.
    double ModifiedSince() const { return FModifiedSince; }
    void SetModifiedSince(double value) { FModifiedSince = value; }
    const QString &Cookie() const { return FCookie; }
    void SetCookie(const QString &value) { FCookie = value; }
    const QString &ContentTypePost() const { return FContentPost; }
    void SetContentTypePost(const QString &value) { FContentPost = value; }
    bool MultiThreaded() const { return FMultiThreaded; }
    void SetMultiThreaded(bool value);
    // Seconds a request may go without any news from the network before it is given up
    // ("Timeout: ..." in ReasonPhrase, RequestDoneError 10060); 0 waits for ever.
    int Timeout() const { return FTimeout; }
    void SetTimeout(int seconds) { FTimeout = seconds; }
    // Seconds the whole request may take, redirects included, however busy the server
    // keeps it ("No complete reply within %1 seconds", ErrDeadline); 0 sets no limit.
    int Deadline() const { return FDeadline; }
    void SetDeadline(int seconds) { FDeadline = seconds; }
    // Largest body the request accepts ("Reply larger than %1 bytes", ErrBodyTooLarge),
    // checked against the announced length and the bytes received; 0 sets no limit.
    qint64 MaxBodySize() const { return FMaxBodySize; }
    void SetMaxBodySize(qint64 bytes) { FMaxBodySize = bytes; }

    // Trusted certificates for https (a PEM file); empty for the system's store.
    const QString &CAFile() const { return FCAFile; }
    void SetCAFile(const QString &path) { FCAFile = path; }
    // Whether a redirect from https to http is followed; off, it is refused as a
    // downgrade ("Redirect refused: https to http").
    bool AllowDowngrade() const { return FAllowDowngrade; }
    void SetAllowDowngrade(bool value) { FAllowDowngrade = value; }
    // Header lines of the caller's, "Name: value", sent after the client's own. One of them
    // replaces a line the client would write under the same name (User-Agent, Accept,
    // Referer, From, Pragma, Cookie, ...); Host, Content-Length and Transfer-Encoding are
    // the client's alone. A line that is refused (see HeaderRefusal) ends the request with
    // ErrHeaderRefused before anything is sent. Like credentials, they go only to the
    // origin of the first address: a redirect elsewhere gets the client's lines alone.
    const QStringList &ExtraHeaders() const { return FExtraHeaders; }
    void SetExtraHeaders(const QStringList &lines) { FExtraHeaders = lines; }
    // The request's current target is https.
    bool Secure() const { return FSecure; }

    // A SOCKS proxy for every connection the request makes. At levels 4A and 5 the
    // client looks up no name itself: the proxy gets the host name as it stands.
    const QString &SocksServer() const { return FSocksServer; }
    void SetSocksServer(const QString &value) { FSocksServer = value; }
    const QString &SocksPort() const { return FSocksPort; }
    void SetSocksPort(const QString &value) { FSocksPort = value; }
    const QString &SocksLevel() const { return FSocksLevel; }
    void SetSocksLevel(const QString &value) { FSocksLevel = value; }
    const QString &SocksUsercode() const { return FSocksUsercode; }
    void SetSocksUsercode(const QString &value) { FSocksUsercode = value; }
    const QString &SocksPassword() const { return FSocksPassword; }
    void SetSocksPassword(const QString &value) { FSocksPassword = value; }
    TSocksAuthentication SocksAuthentication() const { return FSocksAuthentication; }
    void SetSocksAuthentication(TSocksAuthentication value) { FSocksAuthentication = value; }
    int SocksTimeout() const { return FSocksTimeout; }
    void SetSocksTimeout(int seconds) { FSocksTimeout = seconds; }

    QIODevice *ReceiveStream() const { return FReceiveStream; }
    void SetReceiveStream(QIODevice *stream) { FReceiveStream = stream; }
    QIODevice *PostStream() const { return FPostStream; }
    void SetPostStream(QIODevice *stream) { FPostStream = stream; }
    int StatusCode() const { return FStatusCode; }
    const QString &ReasonPhrase() const { return FReasonPhrase; }
    qint64 ContentLength() const { return FContentLength; }
    const QString &ContentType() const { return FContentType; }
    qint64 ReceivedCount() const { return FReceivedCount; }
    qint64 SentCount() const { return FSentCount; }
    // The lines of the last reply's header (a redirect's are replaced by the next).
    const QStringList &ReceivedHeader() const { return FReceivedHeader; }
    const QStringList &AuthenticateList() const { return FAuthenticateList; }
    const QString &DocumentName() const { return FDocName; }
    const QString &Location() const { return FLocation; }
    THttpState State() const { return FState; }
    quint16 RequestDoneError() const { return FRequestDoneError; }
    int RedirectCount() const { return FRedirectCount; }
    TWSocket *ControlSocket() const { return FCtrlSocket.get(); }

    void StartGet();
    void StartRequest(THttpRequest request);
    void Abort();

    TNotifyEvent OnTrace;
    TNotifyEvent OnSessionConnected;
    TNotifyEvent OnHeaderData;
    TOnCommand OnCommand;
    TNotifyEvent OnHeaderBegin;
    TNotifyEvent OnHeaderEnd;
    TNotifyEvent OnRequestHeaderBegin;
    TNotifyEvent OnRequestHeaderEnd;
    TNotifyEvent OnDocBegin;
    TDocDataEvent OnDocData;
    TNotifyEvent OnDocEnd;
    TNotifyEvent OnSendBegin;
    TDocDataEvent OnSendData;
    TNotifyEvent OnSendEnd;
    TNotifyEvent OnStateChange;
    THttpRequestDone OnRequestDone;
    TNotifyEvent OnLocationChange;
    TCookieRcvdEvent OnCookie;

protected:
    // The reply path without a network, for the fuzz targets: the client behaves as if
    // a request had just been sent, takes the bytes fed to it as what arrived, and the
    // end as the connection's close (error 0 for an orderly one). Its own closes end
    // the fed connection. Completion comes through OnRequestDone as usual.
    void BeginFedReply(THttpRequest request);
    void FeedReply(const char *data, qsizetype length);
    void EndFedReply(quint16 error);

    virtual void SendRequestLine(const QString &line);
    virtual void DoStartLookup();
    virtual void DoClose();
    virtual void TriggerCookie(const QString &data, bool &accept);
    virtual void TriggerSessionConnected();
    virtual void TriggerRequestHeaderBegin();
    virtual void TriggerRequestHeaderEnd();
    virtual void TriggerHeaderBegin();
    virtual void TriggerHeaderEnd();
    virtual void TriggerDocBegin();
    virtual void TriggerDocData(const char *data, int length);
    virtual void TriggerDocEnd();
    virtual void TriggerSendBegin();
    virtual void TriggerSendData(const char *data, int length);
    virtual void TriggerSendEnd();

private:
    enum TCloseAction { CloseEndsRequest, CloseRedirects };
    // How the body of the reply being read ends.
    enum TBodyMode { BodyNone, BodyLength, BodyChunked, BodyToClose };

    void WndProc(TMessage &msg);
    void ChangeState(THttpState newState);
    void PostToSelf(quint32 msg);
    void SendRequest(const QString &method);
    THttpRequestMessage BuildRequest(const QString &method) const;
    void SendRequestNow();
    void SetTarget(const TUrlParts &url, bool secure);
    void SendTunnelRequest();
    void ProcessTunnelLine(const QByteArray &line);
    void StartTls();
    void SslHandshakeDone(quint16 error, const QString &reason);
    QString CurrentOrigin() const;
    void RequestTarget(QString *host, QString *port) const;
    QString HostHeader() const;
    bool FollowRedirect();
    void SendPostChunk();
    void BeginReply();
    void ReceiveBody();
    void ProcessLineBuffer();
    void ProcessHeaderLine(const QByteArray &line);
    bool ProcessHeaderField(const QString &line);
    void ProcessBodyBytes(const char *data, qsizetype length);
    bool DeliverBody(const char *data, qsizetype length);
    void HeaderEnded();
    void FinishReply();
    void FailReply(quint16 error, const QString &reason);
    void FailClosedReply(quint16 socketError);
    bool ReadingReply() const;
    bool NoteRedirect(const QString &value);
    void RedirectStep();
    void EndOfConnection();
    void Fail(const QString &reason, quint16 error);
    void AbortRequest(const QString &reason, quint16 error);
    void RestartTimer();
    void TimerExpired();
    void DeadlineExpired();

    void SocketDnsLookupDone(quint16 error);
    bool ProxyResolvesName() const;
    void ConnectTo(const QString &address);
    void SocketSessionConnected(quint16 error);
    void SocketDataAvailable(quint16 error);
    void SocketDataSent(quint16 error);
    void SocketSessionClosed(quint16 error);
    void SocketBgException(const std::exception &e);

    std::unique_ptr<TWSocket> FCtrlSocket;
    std::unique_ptr<TMessageWindow> FWindow;
    bool FMultiThreaded = false;
    THttpState FState = THttpState::Idle;
    QString FHostName;
    QString FTargetHost;
    // ":port" of the target when a proxy carries the request and the URL named one.
    QString FTargetPortText;
    QString FPort;
    QString FProxy;
    QString FProxyPort = QStringLiteral("80");
    QString FUsername;
    QString FPassword;
    QString FProxyUsername;
    QString FProxyPassword;
    // The credentials of the running request, and the origin of its first address, the
    // only one they and the caller's header lines go to.
    QString FRequestUsername;
    QString FRequestPassword;
    QString FFirstOrigin;
    QStringList FExtraHeaders;
    bool FSecure = false;
    // The target's port, spelled out (80 or 443 when the URL named none).
    QString FTargetPort;
    // "host:port" a CONNECT tunnel goes to.
    QString FTunnelTarget;
    QString FCAFile;
    bool FAllowDowngrade = false;
    QString FSocksServer;
    QString FSocksPort;
    QString FSocksLevel = QStringLiteral("5");
    QString FSocksUsercode;
    QString FSocksPassword;
    TSocksAuthentication FSocksAuthentication = socksNoAuthentication;
    int FSocksTimeout = 30;
    // What the SOCKS layer said of the connection being made, for the reason.
    QString FSocksFailure;
    quint16 FSocksFailureCode = 0;
    QString FLocation;
    bool FConnected = false;
    THttpRequest FRequestType = RequestNone;
    // Header lines wait here (LineBufferSize bytes) until their LF arrives; a line that
    // fills it is refused.
    std::unique_ptr<char[]> FReceiveBuffer;
    int FReceiveLen = 0;
    // Some byte of a reply arrived on this connection (tells an empty reply apart).
    bool FReplyStarted = false;
    static constexpr int BodyBufferSize = 65536;
    std::unique_ptr<char[]> FBodyBuffer;
    QByteArray FLastResponse;
    // Lines of the reply being read; an interim 1xx reply starts the count again.
    int FHeaderLineCount = 0;
    // Header lines and bytes on this connection, against the bounds below.
    int FHeaderLines = 0;
    qint64 FHeaderBytes = 0;
    bool FChunked = false;
    TBodyMode FBodyMode = BodyToClose;
    qint64 FBodyRemaining = 0;
    THttpChunkDecoder FChunks;
    // The reply is complete: the close that follows, ours or the server's, ends the
    // request without an error.
    bool FReplyComplete = false;
    int FBodyLineCount = 0;
    bool FAllowedToSend = false;
    QString FURL;
    QString FPath;
    QString FDocName;
    QString FSender;
    QString FReference;
    QString FAgent = QStringLiteral("Mozilla/3.0 (compatible)");
    QString FAccept = QStringLiteral("image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
    double FModifiedSince = 0;
    bool FNoCache = false;
    int FStatusCode = 0;
    QString FReasonPhrase;
    qint64 FContentLength = -1;
    QString FContentType;
    QStringList FAuthenticateList;
    QString FContentPost = QStringLiteral("application/x-www-form-urlencoded");
    QString FCookie;
    bool FLocationChangeRedirect = false;
    // The Location of the reply being read, acted on only once a redirect's header has
    // ended; a second, different value makes the reply ambiguous.
    QString FReplyLocation;
    bool FHasReplyLocation = false;
    bool FLocationConflict = false;
    QStringList FReceivedHeader;
    QIODevice *FReceiveStream = nullptr;
    qint64 FReceivedCount = 0;
    qint64 FSentCount = 0;
    QIODevice *FPostStream = nullptr;
    quint16 FRequestDoneError = 0;
    TCloseAction FCloseAction = CloseEndsRequest;
    // Bytes come from FeedReply instead of the socket.
    bool FFed = false;
    bool FFedClosed = false;
    int FTimeout = 60;
    QTimer FTimer;
    int FDeadline = 0;
    QTimer FDeadlineTimer;
    qint64 FMaxBodySize = 0;
    int FRedirectCount = 0;
    // Tags the internal messages with the request that posted them, so a late one never
    // touches the next request.
    quintptr FRequestSerial = 0;
};
