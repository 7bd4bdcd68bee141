#include "net/CustomSslWSocket.h"

#include "net/NetLog.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QPointer>
#include <arpa/inet.h>
#include <cstring>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>
#include <thread>

using namespace Winsock;

namespace {

// Posted to the socket itself when the TLS layer failed: the close comes from the
// message loop, never from inside the receive that noticed the failure.
constexpr quint32 WM_SSL_FAILED = WM_USER + 21;

bool IsIpAddress(const QByteArray &host)
{
    in_addr v4{};
    in6_addr v6{};
    return inet_pton(AF_INET, host.constData(), &v4) == 1 || inet_pton(AF_INET6, host.constData(), &v6) == 1;
}

// The context for the system's trust store is made once: reading the store costs more
// than a whole handshake on the loopback.
SSL_CTX *NewContext()
{
    SSL_CTX *ctx = SSL_CTX_new(TLS_client_method());
    if (!ctx)
        return nullptr;
    SSL_CTX_set_min_proto_version(ctx, TLS1_2_VERSION);
    SSL_CTX_set_max_proto_version(ctx, TLS1_3_VERSION);
    // A renegotiation in the middle of a reply would change the peer's identity under a
    // stream already trusted; TLS 1.3 has none, and at 1.2 it is refused.
    SSL_CTX_set_options(ctx, SSL_OP_NO_RENEGOTIATION);
    SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER, nullptr);
    return ctx;
}

SSL_CTX *SystemStoreContext()
{
    static SSL_CTX *const shared = [] {
        SSL_CTX *ctx = NewContext();
        if (ctx && SSL_CTX_set_default_verify_paths(ctx) != 1) {
            SSL_CTX_free(ctx);
            ctx = nullptr;
        }
        return ctx;
    }();
    return shared;
}

} // namespace

TCustomSslWSocket::TCustomSslWSocket(QObject *owner) : TCustomSocksWSocket(owner) {}

TCustomSslWSocket::~TCustomSslWSocket()
{
    FreeSession();
}

void TCustomSslWSocket::SetSslHostName(const QString &nameOrAddress)
{
    if (FSslState != SslOff) {
        RaiseSocketException(QStringLiteral("Cannot change the TLS host name while TLS is active"));
        return;
    }
    FSslHostName = nameOrAddress.trimmed();
}

void TCustomSslWSocket::SetSslCAFile(const QString &path)
{
    if (FSslState != SslOff) {
        RaiseSocketException(QStringLiteral("Cannot change the CA file while TLS is active"));
        return;
    }
    FSslCAFile = path;
}

void TCustomSslWSocket::ResetDefaults()
{
    TCustomSocksWSocket::ResetDefaults();
    FreeSession();
    FSslState = SslOff;
    FSslHostName.clear();
    FSslCAFile.clear();
    FSslError.clear();
    FSslFailCode = 0;
    FSslCloseNotified = false;
    FPeerEnded = false;
    FPeerError = 0;
    FReadPosted = false;
    FFed = false;
    FFedInput.clear();
}

void TCustomSslWSocket::FreeSession()
{
    // The BIOs belong to the session once handed to it.
    if (FSsl)
        SSL_free(FSsl);
    if (FCtx)
        SSL_CTX_free(FCtx);
    FSsl = nullptr;
    FCtx = nullptr;
    FReadBio = nullptr;
    FWriteBio = nullptr;
    FPlain.reset();
    FPlainHead = FPlainTail = 0;
    FCipherOut.clear();
    FCipherOut.shrink_to_fit();
    FCipherOutHead = 0;
}

void TCustomSslWSocket::StartSsl()
{
    if (FSslState != SslOff) {
        RaiseSocketException(QStringLiteral("StartSsl: TLS already started"));
        return;
    }
    if (FState != wsConnected || (FHSocket == INVALID_SOCKET && !FFed) || SocksNegotiating()) {
        RaiseSocketException(QStringLiteral("StartSsl: the socket is not connected"));
        return;
    }
    ++FSession;
    FSslState = SslHandshaking;
    FSslError.clear();
    FSslFailCode = 0;
    FSslCloseNotified = false;
    FPeerEnded = false;
    FPeerError = 0;
    if (!SetUpSession())
        return;
    StepHandshaking();
}

bool TCustomSslWSocket::SetUpSession()
{
    QString host = FSslHostName.isEmpty() ? FAddrStr : FSslHostName;
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    const QByteArray hostBytes = host.toUtf8();
    if (hostBytes.isEmpty()) {
        Fail(SslErrSetup,
             QCoreApplication::translate("TCustomSslWSocket", "no host name to check the certificate against"));
        return false;
    }
    if (FSslCAFile.isEmpty()) {
        FCtx = SystemStoreContext();
        if (FCtx)
            SSL_CTX_up_ref(FCtx);
    } else {
        FCtx = NewContext();
        if (FCtx && SSL_CTX_load_verify_locations(FCtx, QFile::encodeName(FSslCAFile).constData(), nullptr) != 1) {
            ERR_clear_error();
            Fail(SslErrSetup,
                 QCoreApplication::translate("TCustomSslWSocket", "the CA file %1 cannot be read").arg(FSslCAFile));
            return false;
        }
    }
    if (!FCtx) {
        ERR_clear_error();
        Fail(SslErrSetup, QCoreApplication::translate("TCustomSslWSocket", "the system's trust store cannot be read"));
        return false;
    }
    FSsl = SSL_new(FCtx);
    FReadBio = BIO_new(BIO_s_mem());
    FWriteBio = BIO_new(BIO_s_mem());
    if (!FSsl || !FReadBio || !FWriteBio) {
        if (FReadBio)
            BIO_free(FReadBio);
        if (FWriteBio)
            BIO_free(FWriteBio);
        FReadBio = FWriteBio = nullptr;
        Fail(SslErrSetup, OpenSslReason(SSL_ERROR_SSL));
        return false;
    }
    SSL_set_bio(FSsl, FReadBio, FWriteBio);
    SSL_set_connect_state(FSsl);
    X509_VERIFY_PARAM *param = SSL_get0_param(FSsl);
    X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    bool ok;
    if (IsIpAddress(hostBytes)) {
        // An address is checked against the certificate but never sent as a name.
        ok = X509_VERIFY_PARAM_set1_ip_asc(param, hostBytes.constData()) == 1;
    } else {
        ok = X509_VERIFY_PARAM_set1_host(param, hostBytes.constData(), size_t(hostBytes.size())) == 1 &&
             SSL_set_tlsext_host_name(FSsl, hostBytes.constData()) == 1;
    }
    if (!ok) {
        ERR_clear_error();
        Fail(SslErrSetup,
             QCoreApplication::translate("TCustomSslWSocket", "the host name %1 cannot be checked").arg(host));
        return false;
    }
    FPlain = std::make_unique<char[]>(size_t(PlainBound));
    FPlainHead = FPlainTail = 0;
    return true;
}

// ---- what arrives, one function per state ----

bool TCustomSslWSocket::TriggerDataAvailable(quint16 error)
{
    switch (FSslState) {
    case SslOff: return TCustomSocksWSocket::TriggerDataAvailable(error);
    case SslHandshaking: StepHandshaking(); return true;
    case SslOpen: StepOpen(); break;
    case SslClosing: StepClosing(); break;
    case SslFailed: StepFailed(); return true;
    }
    if (PlainWaiting() == 0)
        return true;
    return TCustomSocksWSocket::TriggerDataAvailable(error);
}

void TCustomSslWSocket::StepHandshaking()
{
    ReadCipher();
    ERR_clear_error();
    const int result = SSL_do_handshake(FSsl);
    const int sslError = result == 1 ? SSL_ERROR_NONE : SSL_get_error(FSsl, result);
    // Whatever the outcome, what OpenSSL wrote goes out: the next flight, or the alert
    // that tells the server why.
    const int flushed = FlushCipher();
    if (result == 1) {
        HandshakeSucceeded();
        return;
    }
    if (sslError != SSL_ERROR_WANT_READ) {
        const long verify = SSL_get_verify_result(FSsl);
        if (verify != X509_V_OK)
            Fail(SslErrCertificate, QString::fromLatin1(X509_verify_cert_error_string(verify)));
        else
            Fail(SslErrProtocol, OpenSslReason(sslError));
        return;
    }
    if (flushed < 0 && !FPeerEnded) {
        FPeerEnded = true;
        FPeerError = GetLastError();
    }
    if (FPeerEnded)
        Fail(SslErrClosed,
             FPeerError == WSAECONNRESET
                 ? QCoreApplication::translate("TCustomSslWSocket", "connection reset during the TLS handshake")
                 : QCoreApplication::translate("TCustomSslWSocket", "connection closed during the TLS handshake"));
}

void TCustomSslWSocket::StepOpen()
{
    Decrypt();
}

void TCustomSslWSocket::StepClosing()
{
    // After close_notify nothing the peer sends counts: it is read and dropped, and only
    // what was decrypted before is still handed out.
    char chunk[4096];
    for (int total = 0; total < CipherInBound;) {
        const int n = TCustomSocksWSocket::DoRecv(chunk, sizeof chunk, 0);
        if (n <= 0)
            break;
        total += n;
    }
}

void TCustomSslWSocket::StepFailed()
{
    // The close is on its way; meanwhile arrivals are dropped so nothing is read twice.
    StepClosing();
    FPlainHead = FPlainTail = 0;
}

void TCustomSslWSocket::HandshakeSucceeded()
{
    FSslState = SslOpen;
    qCDebug(lcNet) << "tls open" << SSL_get_version(FSsl) << SSL_get_cipher_name(FSsl);
    QPointer<TCustomSslWSocket> self(this);
    TriggerSslHandshakeDone(0, QString());
    if (!self || FSslState != SslOpen || FHSocket == INVALID_SOCKET)
        return;
    // What the application queued while the handshake ran leaves now, and what came
    // with the server's last flight is offered.
    if (!AllSent())
        PostSelectMessage(FHSocket, FD_WRITE, 0);
    if (MoreToDecrypt())
        PostRead();
}

void TCustomSslWSocket::Fail(int code, const QString &reason)
{
    if (FSslState == SslFailed)
        return;
    const bool handshaking = FSslState == SslHandshaking;
    qCDebug(lcNet) << "tls failed" << code << reason;
    FSslState = SslFailed;
    FSslFailCode = code;
    FSslError = reason;
    if (FSsl)
        FlushCipher();
    QPointer<TCustomSslWSocket> self(this);
    if (handshaking) {
        TriggerSslHandshakeDone(quint16(code), reason);
        if (!self)
            return;
    }
    if (!FFed && FHSocket != INVALID_SOCKET)
        PostToSelf(WM_SSL_FAILED, FSession, 0);
}

QString TCustomSslWSocket::OpenSslReason(int sslError)
{
    const unsigned long error = ERR_peek_error();
    QString reason;
    if (error != 0) {
        const char *text = ERR_reason_error_string(error);
        if (text) {
            reason = QString::fromLatin1(text);
        } else {
            char buffer[256];
            ERR_error_string_n(error, buffer, sizeof buffer);
            reason = QString::fromLatin1(buffer);
        }
    } else if (sslError == SSL_ERROR_SYSCALL || sslError == SSL_ERROR_ZERO_RETURN) {
        reason = QCoreApplication::translate("TCustomSslWSocket", "connection closed during the TLS handshake");
    } else {
        reason = QCoreApplication::translate("TCustomSslWSocket", "TLS error %1").arg(sslError);
    }
    ERR_clear_error();
    return reason;
}

void TCustomSslWSocket::WndProc(TMessage &msg)
{
    if (msg.Msg == WM_SSL_FAILED) {
        if (quint32(msg.WParam) == FSession && FSslState == SslFailed && FHSocket != INVALID_SOCKET)
            CloseSocketHandle(true, quint16(FSslFailCode));
        return;
    }
    if (msg.Msg == WM_SOCKET_EVENT && TSocket(msg.WParam) == FHSocket && !FPaused) {
        const quint16 events = LoWord(msg.LParam);
        if (events & FD_READ)
            FReadPosted = false;
        // The platform's reset reaches the stream only as its end; the reason is kept.
        if ((events & FD_CLOSE) && HiWord(msg.LParam) != 0 && FPeerError == 0)
            FPeerError = HiWord(msg.LParam);
        // Everything decrypted before the end is offered before the close is told; the
        // platform no longer reports it once it has read the last bytes itself.
        if ((events & FD_CLOSE) && (FSslState == SslOpen || FSslState == SslClosing)) {
            QPointer<TCustomSslWSocket> self(this);
            const TSocket handle = FHSocket;
            for (;;) {
                if (FSslState == SslOpen)
                    Decrypt();
                if (PlainWaiting() == 0)
                    break;
                const quint64 before = FRecvCalls;
                const bool handled = TriggerDataAvailable(0);
                if (!self || FHSocket != handle)
                    return;
                if (!handled || FRecvCalls == before)
                    break;
            }
        }
    }
    TCustomSocksWSocket::WndProc(msg);
}

void TCustomSslWSocket::TriggerSessionClosed(quint16 error)
{
    QPointer<TCustomSslWSocket> self(this);
    if (FSslState == SslHandshaking) {
        // The connection went away before the handshake ended: a refused handshake,
        // told as one, never a connection that merely ended.
        const bool reset = error == WSAECONNRESET || FPeerError == WSAECONNRESET;
        Fail(SslErrClosed,
             reset ? QCoreApplication::translate("TCustomSslWSocket", "connection reset during the TLS handshake")
                   : QCoreApplication::translate("TCustomSslWSocket", "connection closed during the TLS handshake"));
        if (!self)
            return;
    }
    if (FSslState == SslFailed)
        error = quint16(FSslFailCode);
    TCustomSocksWSocket::TriggerSessionClosed(error);
}

void TCustomSslWSocket::TriggerSslHandshakeDone(quint16 error, const QString &reason)
{
    Fire(OnSslHandshakeDone, error, reason);
}

// ---- receiving ----

void TCustomSslWSocket::ReadCipher()
{
    char chunk[16 * 1024];
    while (!FPeerEnded) {
        const int room = CipherInBound - int(BIO_ctrl_pending(FReadBio));
        if (room <= 0)
            return;
        const int want = qMin(room, int(sizeof chunk));
        int n;
        if (FFed) {
            n = int(qMin<qsizetype>(want, FFedInput.size()));
            if (n == 0) {
                Winsock::SetLastError(WSAEWOULDBLOCK);
                n = SOCKET_ERROR;
            } else {
                std::memcpy(chunk, FFedInput.constData(), size_t(n));
                FFedInput.remove(0, n);
            }
        } else {
            n = TCustomSocksWSocket::DoRecv(chunk, want, 0);
        }
        if (n > 0) {
            BIO_write(FReadBio, chunk, n);
            continue;
        }
        if (n == 0) {
            FPeerEnded = true;
        } else if (GetLastError() != WSAEWOULDBLOCK) {
            FPeerEnded = true;
            FPeerError = GetLastError();
        }
        return;
    }
}

void TCustomSslWSocket::Decrypt()
{
    if (FSslState != SslOpen)
        return;
    ReadCipher();
    if (FPlainHead == FPlainTail) {
        FPlainHead = FPlainTail = 0;
    } else if (FPlainTail == PlainBound && FPlainHead > 0) {
        std::memmove(FPlain.get(), FPlain.get() + FPlainHead, size_t(PlainWaiting()));
        FPlainTail -= FPlainHead;
        FPlainHead = 0;
    }
    ERR_clear_error();
    while (FSslState == SslOpen && FPlainTail < PlainBound) {
        const int n = SSL_read(FSsl, FPlain.get() + FPlainTail, PlainBound - FPlainTail);
        if (n > 0) {
            FPlainTail += n;
            continue;
        }
        const int sslError = SSL_get_error(FSsl, n);
        if (sslError == SSL_ERROR_WANT_READ)
            break;
        if (sslError == SSL_ERROR_ZERO_RETURN) {
            FSslCloseNotified = true;
            FSslState = SslClosing;
            break;
        }
        Fail(SslErrRecord, OpenSslReason(sslError));
        return;
    }
    // A key update or a ticket may want an answer.
    if (FlushCipher() < 0 && !FPeerEnded) {
        FPeerEnded = true;
        FPeerError = GetLastError();
    }
}

bool TCustomSslWSocket::MoreToDecrypt() const
{
    return FSsl && FSslState == SslOpen && (SSL_pending(FSsl) > 0 || BIO_ctrl_pending(FReadBio) > 0);
}

void TCustomSslWSocket::PostRead()
{
    if (FReadPosted || FHSocket == INVALID_SOCKET)
        return;
    FReadPosted = PostSelectMessage(FHSocket, FD_READ, 0);
}

int TCustomSslWSocket::RcvdCount()
{
    switch (FSslState) {
    case SslOff: return TCustomSocksWSocket::RcvdCount();
    case SslOpen:
        if (PlainWaiting() == 0)
            Decrypt();
        return PlainWaiting();
    case SslClosing: return PlainWaiting();
    case SslHandshaking:
    case SslFailed: break;
    }
    return 0;
}

int TCustomSslWSocket::DoRecv(void *buffer, int length, int flags)
{
    if (FSslState == SslOff || length == 0)
        return TCustomSocksWSocket::DoRecv(buffer, length, flags);
    if (FSslState == SslOpen && PlainWaiting() == 0)
        Decrypt();
    if (PlainWaiting() == 0 || FSslState == SslFailed || FSslState == SslHandshaking) {
        if (FSslState == SslClosing || (FSslState == SslOpen && FPeerEnded && !MoreToDecrypt()))
            return 0;
        Winsock::SetLastError(FSslState == SslFailed ? WSAECONNABORTED : WSAEWOULDBLOCK);
        return SOCKET_ERROR;
    }
    const int count = qMin(length, PlainWaiting());
    std::memcpy(buffer, FPlain.get() + FPlainHead, size_t(count));
    FPlainHead += count;
    // The platform does not know about what is left here: the next read event is
    // posted, as Winsock reports what stays unread after a receive.
    if (PlainWaiting() > 0 || MoreToDecrypt())
        PostRead();
    return count;
}

// ---- sending ----

int TCustomSslWSocket::RealSend(const char *data, int length)
{
    if (FSslState == SslOff)
        return TCustomSocksWSocket::RealSend(data, length);
    const TSendPiece piece{data, length};
    return SendPlain(&piece, 1);
}

int TCustomSslWSocket::RealSendGathered(const TSendPiece *pieces, int count)
{
    if (FSslState == SslOff)
        return TCustomSocksWSocket::RealSendGathered(pieces, count);
    return SendPlain(pieces, count);
}

int TCustomSslWSocket::SendPlain(const TSendPiece *pieces, int count)
{
    // Until the handshake is done (and after a failure, until the close) the queue
    // waits; the end of the handshake sends it on.
    if (FSslState != SslOpen && FSslState != SslClosing) {
        Winsock::SetLastError(WSAEWOULDBLOCK);
        return SOCKET_ERROR;
    }
    if (FlushCipher() < 0)
        return SOCKET_ERROR;
    int taken = 0;
    bool full = false;
    for (int i = 0; i < count && !full; ++i) {
        const char *data = static_cast<const char *>(pieces[i].Data);
        int left = pieces[i].Length;
        while (left > 0) {
            if (CipherWaiting() >= CipherOutBound) {
                const int flushed = FlushCipher();
                if (flushed < 0)
                    return taken > 0 ? taken : SOCKET_ERROR;
                if (flushed > 0) {
                    full = true;
                    break;
                }
            }
            ERR_clear_error();
            const int n = SSL_write(FSsl, data, qMin(left, int(RecordPlain)));
            if (n <= 0) {
                Fail(SslErrRecord, OpenSslReason(SSL_get_error(FSsl, n)));
                Winsock::SetLastError(WSAEWOULDBLOCK);
                return taken > 0 ? taken : SOCKET_ERROR;
            }
            // Moved out of OpenSSL at once, so the bound counts every record.
            const size_t pending = BIO_ctrl_pending(FWriteBio);
            const size_t old = FCipherOut.size();
            FCipherOut.resize(old + pending);
            const int moved = BIO_read(FWriteBio, FCipherOut.data() + old, int(pending));
            FCipherOut.resize(old + size_t(qMax(moved, 0)));
            taken += n;
            data += n;
            left -= n;
        }
    }
    if (FlushCipher() < 0 && taken == 0)
        return SOCKET_ERROR;
    if (taken == 0) {
        Winsock::SetLastError(WSAEWOULDBLOCK);
        return SOCKET_ERROR;
    }
    return taken;
}

int TCustomSslWSocket::FlushCipher()
{
    if (FWriteBio) {
        const size_t pending = BIO_ctrl_pending(FWriteBio);
        if (pending > 0) {
            const size_t old = FCipherOut.size();
            FCipherOut.resize(old + pending);
            const int moved = BIO_read(FWriteBio, FCipherOut.data() + old, int(pending));
            FCipherOut.resize(old + size_t(qMax(moved, 0)));
        }
    }
    if (FFed) {
        FCipherOut.clear();
        FCipherOutHead = 0;
        return 0;
    }
    while (CipherWaiting() > 0) {
        if (FHSocket == INVALID_SOCKET) {
            Winsock::SetLastError(WSAENOTCONN);
            return -1;
        }
        const int waiting = CipherWaiting();
        const int n = Winsock::Send(FHSocket, FCipherOut.data() + FCipherOutHead, waiting, 0);
        if (n < 0)
            return GetLastError() == WSAEWOULDBLOCK ? 1 : -1;
        FCipherOutHead += size_t(n);
        // A part taken means the platform is full; it has asked for the write event.
        if (n < waiting)
            break;
    }
    if (CipherWaiting() > 0) {
        if (FCipherOutHead > FCipherOut.size() / 2) {
            FCipherOut.erase(FCipherOut.begin(), FCipherOut.begin() + qsizetype(FCipherOutHead));
            FCipherOutHead = 0;
        }
        return 1;
    }
    FCipherOut.clear();
    FCipherOutHead = 0;
    return 0;
}

void TCustomSslWSocket::TriggerDataSent(quint16 error)
{
    // The queue is empty but records made from it may still wait for the platform;
    // the application hears that everything went only when they have gone too.
    if (FSslState != SslOff && CipherWaiting() > 0 && FlushCipher() != 0)
        return;
    TCustomSocksWSocket::TriggerDataSent(error);
}

void TCustomSslWSocket::Flush()
{
    TCustomSocksWSocket::Flush();
    QPointer<TCustomSslWSocket> self(this);
    const QDeadlineTimer deadline = FlushTimeout() > 0 ? QDeadlineTimer(qint64(FlushTimeout()) * 1000)
                                                       : QDeadlineTimer(QDeadlineTimer::Forever);
    while (self && FSslState != SslOff && FHSocket != INVALID_SOCKET && CipherWaiting() > 0 && !deadline.hasExpired()) {
        if (FlushCipher() <= 0)
            return;
        PumpMessages();
        std::this_thread::yield();
    }
}

void TCustomSslWSocket::Close()
{
    if ((FSslState == SslOpen || FSslState == SslClosing) && FSsl && FHSocket != INVALID_SOCKET) {
        // close_notify tells the peer the end is deliberate; it goes as far as the
        // platform takes it now, without waiting.
        SSL_shutdown(FSsl);
        ERR_clear_error();
        FlushCipher();
    }
    TCustomSocksWSocket::Close();
}

// ---- the handshake without a network ----

void TCustomSslWSocket::BeginFedHandshake(const QString &hostName)
{
    if (FState != wsClosed)
        return;
    FFed = true;
    FFedInput.clear();
    FSslHostName = hostName;
    QPointer<TCustomSslWSocket> self(this);
    ChangeState(wsConnected);
    if (self)
        StartSsl();
}

void TCustomSslWSocket::FeedHandshake(const char *data, int length)
{
    if (!FFed || length <= 0)
        return;
    FFedInput.append(data, length);
    QPointer<TCustomSslWSocket> self(this);
    // As the receive loop does: the bytes are offered until nothing more is taken.
    while (self && FFed && !FFedInput.isEmpty()) {
        const qsizetype before = FFedInput.size();
        TriggerDataAvailable(0);
        if (!self || FFedInput.size() == before)
            return;
    }
}

void TCustomSslWSocket::EndFedHandshake()
{
    if (!FFed)
        return;
    QPointer<TCustomSslWSocket> self(this);
    FPeerEnded = true;
    TriggerSessionClosed(0);
    if (self)
        CloseSocketHandle(false, 0);
}
