#pragma once

#include "net/CustomSocksWSocket.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

using TSslHandshakeDone = std::function<void(QObject *Sender, quint16 Error, const QString &Reason)>;

// Forward declarations of OpenSSL's opaque types keep its headers out of every user.
struct ssl_st;
struct ssl_ctx_st;
struct bio_st;

// TLS for the connected stream, on OpenSSL with memory BIOs, driven by the socket's own
// read and write events: no blocking call and no thread. Bytes pass through untouched
// until StartSsl is called on a connected socket, so a proxy's answer (a SOCKS reply,
// the reply to an HTTP CONNECT) is read in the clear first. From then on what the
// layers above receive is plaintext and what they send leaves encrypted.
//
// Only TLS 1.2 and 1.3 are spoken. The server's certificate is verified against the
// system's trust store, or the CA file when one is set, and must name the host: the
// name (sent as SNI as well) or the IP address (never sent as SNI) given by
// SetSslHostName, Addr when none is given. A refused handshake is told through
// OnSslHandshakeDone with one of the codes below and the reason in OpenSSL's own words
// ("certificate has expired", "hostname mismatch", "wrong version number"); the socket
// then closes with the same code and nothing received is handed on. Every setting
// returns to its default when the socket closes.
//
// Buffers, each bounded, so a fast peer or a slow application cannot grow them:
//  - ciphertext read from the platform and waiting to be decrypted: the read stops once
//    CipherInBound bytes wait;
//  - plaintext decrypted and waiting for the application: decryption stops once
//    PlainBound bytes wait (what the application does not take stays with the platform
//    and the sender);
//  - ciphertext made from the send queue that the platform did not take yet: no more
//    of the queue is encrypted while CipherOutBound bytes wait, so it stays below
//    CipherOutBound plus one record (RecordPlain bytes encrypted); it drains on the
//    write event.
class TCustomSslWSocket : public TCustomSocksWSocket {
public:
    enum TSslState : quint8 { SslOff, SslHandshaking, SslOpen, SslClosing, SslFailed };

    explicit TCustomSslWSocket(QObject *owner = nullptr);
    ~TCustomSslWSocket() override;

    // The name or address the certificate must carry; empty means Addr.
    const QString &SslHostName() const { return FSslHostName; }
    void SetSslHostName(const QString &nameOrAddress);
    // A PEM file of trusted certificates instead of the system's store; empty for the
    // system's store.
    const QString &SslCAFile() const { return FSslCAFile; }
    void SetSslCAFile(const QString &path);

    // Begins the handshake on the connected socket; OnSslHandshakeDone tells the end.
    void StartSsl();
    bool SslActive() const { return FSslState != SslOff; }
    TSslState SslState() const { return FSslState; }
    // The peer ended its side with close_notify. A close without it is no proof that
    // everything sent arrived.
    bool SslCloseNotified() const { return FSslCloseNotified; }
    // Why the TLS layer failed (OpenSSL's words), kept until the close is told.
    const QString &SslError() const { return FSslError; }

    int RcvdCount() override;
    // Sends close_notify (as far as the platform takes it at once) before closing.
    void Close() override;
    // Waits for the ciphertext the platform has not taken yet as well.
    void Flush() override;

    TSslHandshakeDone OnSslHandshakeDone;

    // Failures of the TLS layer.
    static constexpr int SslErrProtocol = 20100;    // handshake refused: protocol or alert
    static constexpr int SslErrCertificate = 20101; // the certificate did not verify
    static constexpr int SslErrClosed = 20102;      // connection ended during the handshake
    static constexpr int SslErrSetup = 20103;       // the CA file or the host name is unusable
    static constexpr int SslErrRecord = 20104;      // a bad record after the handshake

    static constexpr int CipherInBound = 64 * 1024;
    static constexpr int PlainBound = 64 * 1024;
    static constexpr int CipherOutBound = 64 * 1024;
    static constexpr int RecordPlain = 16 * 1024;

protected:
    // The handshake without a network, for the fuzz target: as if connected, StartSsl
    // is called; the bytes fed are the server's and what the client sends goes
    // nowhere. The end of the feed is the server's close.
    void BeginFedHandshake(const QString &hostName);
    void FeedHandshake(const char *data, int length);
    void EndFedHandshake();

    bool SslNegotiating() const { return FSslState == SslHandshaking; }

    void WndProc(TMessage &msg) override;
    void ResetDefaults() override;
    bool TriggerDataAvailable(quint16 error) override;
    void TriggerSessionClosed(quint16 error) override;
    void TriggerDataSent(quint16 error) override;
    int DoRecv(void *buffer, int length, int flags) override;
    int RealSend(const char *data, int length) override;
    int RealSendGathered(const Winsock::TSendPiece *pieces, int count) override;
    virtual void TriggerSslHandshakeDone(quint16 error, const QString &reason);

private:
    // One function per state for what arrives.
    void StepHandshaking();
    void StepOpen();
    void StepClosing();
    void StepFailed();

    bool SetUpSession();
    void FreeSession();
    void HandshakeSucceeded();
    void Fail(int code, const QString &reason);
    // The reason OpenSSL gives for the failure just seen.
    QString OpenSslReason(int sslError);
    // Moves ciphertext from the platform (or the feed) into OpenSSL, up to the bound.
    void ReadCipher();
    // Decrypts into the plaintext buffer, up to its bound.
    void Decrypt();
    int PlainWaiting() const { return FPlainTail - FPlainHead; }
    bool MoreToDecrypt() const;
    // Moves what OpenSSL wrote into the outgoing ciphertext and sends it: 0 all sent,
    // 1 the platform took part, -1 failed (the platform's error is set).
    int FlushCipher();
    int CipherWaiting() const { return int(FCipherOut.size() - FCipherOutHead); }
    // Encrypts the pieces and sends them; the count of plaintext bytes taken.
    int SendPlain(const Winsock::TSendPiece *pieces, int count);
    void PostRead();

    TSslState FSslState = SslOff;
    QString FSslHostName;
    QString FSslCAFile;
    QString FSslError;
    int FSslFailCode = 0;
    bool FSslCloseNotified = false;
    // The platform said the stream ended (or failed) below TLS.
    bool FPeerEnded = false;
    int FPeerError = 0;
    bool FReadPosted = false;
    // Tells a failure message posted to this socket from one of an earlier connection.
    quint32 FSession = 0;
    bool FFed = false;
    QByteArray FFedInput;
    ssl_ctx_st *FCtx = nullptr;
    ssl_st *FSsl = nullptr;
    bio_st *FReadBio = nullptr;
    bio_st *FWriteBio = nullptr;
    // Decrypted bytes from FPlainHead to FPlainTail, PlainBound bytes in all.
    std::unique_ptr<char[]> FPlain;
    int FPlainHead = 0;
    int FPlainTail = 0;
    std::vector<char> FCipherOut;
    size_t FCipherOutHead = 0;
};
