#pragma once

#include "net/HttpCliEvents.h"
#include "net/HttpConnector.h"
#include "net/HttpReceiver.h"
#include "net/HttpReplyReader.h"
#include "net/HttpRequestMessage.h"
#include "net/HttpRoute.h"
#include "net/HttpTypes.h"
#include "net/HttpUtil.h"
#include "net/WSocket.h"
#include "platform/core/Messages.h"

#include <QIODevice>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>

// A non-blocking HTTP/1.0 client. StartGet (or StartRequest) returns at once; the request
// then runs on the events of the socket it owns: name lookup, connect, request, header,
// body, end of connection. OnRequestDone tells the outcome, always from the message loop
// and exactly once for every return to Idle; the body arrives through OnDocData and
// ReceiveStream. A request succeeds only when its reply is complete: the status line
// read, the header ended, and the body whole (its Content-Length reached, the last chunk
// read, or without either a clean close). Every other ending sets RequestDoneError and
// a reason. StatusCode is what the server sent (0 before a status line), except for a
// lookup or connect failure, which reports 404. One request runs at a time.
class THttpCli : public THttpCliEvents {
public:
    explicit THttpCli(QObject *owner = nullptr);
    ~THttpCli() override;

    static constexpr int MaxRedirects = 20;
    // Longest status or header line (its line end included) the client reads, and the
    // bounds of a reply's header (HttpTypes.h).
    static constexpr int LineBufferSize = HttpLineBufferSize;
    static constexpr int MaxHeaderLines = HttpMaxHeaderLines;
    static constexpr qint64 MaxHeaderBytes = HttpMaxHeaderBytes;

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
    // Part of the client's published interface (passed on to its socket); nothing in this
    // program sets it.
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
    bool Secure() const { return FRoute.Secure; }

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
    int StatusCode() const { return FReader.Reply.StatusCode; }
    const QString &ReasonPhrase() const { return FReader.Reply.ReasonPhrase; }
    qint64 ContentLength() const { return FReader.Reply.ContentLength; }
    const QString &ContentType() const { return FReader.Reply.ContentType; }
    qint64 ReceivedCount() const { return FReceivedCount; }
    qint64 SentCount() const { return FSentCount; }
    // The lines of the last reply's header (a redirect's are replaced by the next).
    const QStringList &ReceivedHeader() const { return FReader.Reply.ReceivedHeader; }
    const QStringList &AuthenticateList() const { return FReader.AuthenticateList; }
    const QString &DocumentName() const { return FDocName; }
    const QString &Location() const { return FRoute.Location; }
    THttpState State() const { return FState; }
    quint16 RequestDoneError() const { return FRequestDoneError; }
    int RedirectCount() const { return FRedirectCount; }
    TWSocket *ControlSocket() const { return FCtrlSocket.get(); }

    void StartGet();
    void StartRequest(THttpRequest request);
    void Abort();

protected:
    // The reply path without a network, for the fuzz targets: the client behaves as if
    // a request had just been sent, takes the bytes fed to it as what arrived, and the
    // end as the connection's close (error 0 for an orderly one). Its own closes end
    // the fed connection. Completion comes through OnRequestDone as usual.
    void BeginFedReply(THttpRequest request);
    void FeedReply(const char *data, qsizetype length);
    void EndFedReply(quint16 error);

    // Fires OnCommand with each line of the request as it goes out, the empty line last.
    virtual void SendRequestLine(const QString &line);
    virtual void DoStartLookup();
    virtual void DoClose();

private:
    friend class THttpConnector;
    friend class THttpReceiver;
    enum TCloseAction { CloseEndsRequest, CloseRedirects };

    void WndProc(TMessage &msg);
    // Each returns whether the client still exists: a handler of the event it fires may
    // have deleted it.
    bool ChangeState(THttpState newState);
    template <typename Fn>
    bool Survives(Fn &&fn)
    {
        QPointer<THttpCli> alive(this);
        fn();
        return !alive.isNull();
    }

    void PostToSelf(quint32 msg);
    void SendRequest(const QString &method);
    void SendRequestNow();
    void SendPostChunk();
    void FinishReply();
    void FailReply(quint16 error, const QString &reason);
    bool ReadingReply() const;
    void RedirectStep();
    void EndOfConnection();
    void Fail(const QString &reason, quint16 error);
    void AbortRequest(const QString &reason, quint16 error);
    void RestartTimer();
    void TimerExpired();
    void DeadlineExpired();

    void SocketDataSent(quint16 error);
    void SocketSessionClosed(quint16 error);
    void SocketBgException(const std::exception &e);

    std::unique_ptr<TWSocket> FCtrlSocket;
    std::unique_ptr<TMessageWindow> FWindow;
    bool FMultiThreaded = false;
    THttpState FState = THttpState::Idle;
    THttpRequest FRequestType = RequestNone;

    // Settings, as the caller left them.
    QString FURL;
    QString FProxy;
    QString FProxyPort = QStringLiteral("80");
    QString FUsername;
    QString FPassword;
    QString FProxyUsername;
    QString FProxyPassword;
    QStringList FExtraHeaders;
    QString FCAFile;
    bool FAllowDowngrade = false;
    QString FSocksServer;
    QString FSocksPort;
    QString FSocksLevel = QStringLiteral("5");
    QString FSocksUsercode;
    QString FSocksPassword;
    TSocksAuthentication FSocksAuthentication = socksNoAuthentication;
    int FSocksTimeout = 30;
    QString FSender;
    QString FReference;
    QString FAgent = QStringLiteral("Mozilla/3.0 (compatible)");
    QString FAccept = QStringLiteral("image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
    double FModifiedSince = 0;
    bool FNoCache = false;
    QString FContentPost = QStringLiteral("application/x-www-form-urlencoded");
    QString FCookie;
    QIODevice *FReceiveStream = nullptr;
    QIODevice *FPostStream = nullptr;
    int FTimeout = 60;
    int FDeadline = 0;
    qint64 FMaxBodySize = 0;

    // The running request: where it goes, what its replies say, how far it got.
    THttpRoute FRoute;
    THttpReplyReader FReader;
    THttpConnector FConnector;
    THttpReceiver FReceiver;
    // The credentials of the running request (a URL's own replace the properties).
    QString FRequestUsername;
    QString FRequestPassword;
    QString FDocName;
    bool FConnected = false;
    // Body pieces delivered (OnDocEnd follows when there were any).
    int FBodyLineCount = 0;
    bool FAllowedToSend = false;
    qint64 FReceivedCount = 0;
    qint64 FSentCount = 0;
    quint16 FRequestDoneError = 0;
    TCloseAction FCloseAction = CloseEndsRequest;
    int FRedirectCount = 0;
    // Bytes come from FeedReply instead of the socket.
    bool FFed = false;
    bool FFedClosed = false;
    QTimer FTimer;
    QTimer FDeadlineTimer;
    // Tags the internal messages with the request that posted them, so a late one never
    // touches the next request.
    quintptr FRequestSerial = 0;
};
