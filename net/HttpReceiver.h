#pragma once

#include <QByteArray>
#include <QtGlobal>

class THttpCli;

// How a client takes a reply in: bytes from its socket (or fed to it) go through the
// line buffer or straight into the body; each header line becomes the reply's state and
// the client's header events, the end of the header decides between a redirect, an
// interim reply and the body, and the body goes to OnDocData and the receive stream.
// The format's rules are THttpReplyReader's; this is what the client does with them.
class THttpReceiver {
public:
    explicit THttpReceiver(THttpCli &client) : FClient(client) {}

    // The socket has bytes for the client.
    void DataAvailable(quint16 error);
    // Splits what the line buffer holds into lines, or hands it on as body.
    void ProcessLineBuffer();
    // Body bytes as they arrived, framing included.
    void BodyBytes(const char *data, qsizetype length);
    // The connection closed while the reply was being read (socketError 0 for an orderly
    // close): the reply's end, or its failure.
    void Closed(quint16 socketError);

private:
    void ReceiveBody();
    void HeaderLine(const QByteArray &raw);
    void HeaderEnded();
    bool FollowRedirect();
    bool DeliverBody(const char *data, qsizetype length);

    THttpCli &FClient;
};
