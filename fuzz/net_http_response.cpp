// libFuzzer target: the HTTP client's reply path (status line, header lines, length,
// chunked framing, body, redirects, limits) fed bytes directly, in pieces of a size the
// first byte chooses, and then the connection's end: orderly, or a reset when the
// first byte's high bit is set. The request must end with exactly one OnRequestDone,
// the body can hold no more than the input gave, and a request that ended without an
// error must have read a status line. A redirect is abandoned, so no name is looked up.

#include "net/HttpProt.h"

#include <QCoreApplication>
#include <cstdint>

namespace {

QCoreApplication &App()
{
    static int argc = 1;
    static char name[] = "net_http_response";
    static char *argv[] = {name, nullptr};
    static auto *app = new QCoreApplication(argc, argv);
    return *app;
}

// The client with its byte-feeding entry points opened up.
class TFedClient : public THttpCli {
public:
    using THttpCli::BeginFedReply;
    using THttpCli::EndFedReply;
    using THttpCli::FeedReply;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    App();
    if (size < 2)
        return 0;
    const qsizetype piece = 1 + (data[0] & 0x3F) * 37;
    const bool reset = data[0] & 0x80;
    const THttpRequest request = (data[0] & 0x40) ? RequestHead : RequestGet;
    const char *bytes = reinterpret_cast<const char *>(data + 1);
    const qsizetype length = qsizetype(size - 1);

    static TFedClient *client = [] {
        auto *c = new TFedClient;
        c->SetMaxBodySize(1 << 20);
        c->OnLocationChange = [c](QObject *) { c->Abort(); };
        return c;
    }();
    int done = 0;
    qint64 body = 0;
    quint16 error = 0xFFFF;
    client->OnDocData = [&](QObject *, const char *, int n) { body += n; };
    client->OnRequestDone = [&](QObject *, THttpRequest, quint16 e) {
        ++done;
        error = e;
    };
    client->BeginFedReply(request);
    for (qsizetype at = 0; at < length && client->State() != THttpState::Idle; at += piece)
        client->FeedReply(bytes + at, qMin(piece, length - at));
    client->EndFedReply(reset ? 10054 : 0);
    for (int i = 0; i < 4 && done == 0; ++i)
        QCoreApplication::processEvents();
    if (done != 1 || body > length || client->State() != THttpState::Idle)
        __builtin_trap();
    if (error == 0 && (client->StatusCode() < 200 || client->StatusCode() > 999))
        __builtin_trap();
    return 0;
}
