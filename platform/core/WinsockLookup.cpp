#include "platform/core/Winsock.h"

#include "platform/core/Messages.h"

#include <QHash>
#include <QMutex>

#include <arpa/inet.h>
#include <atomic>
#include <functional>
#include <memory>
#include <netdb.h>
#include <sys/socket.h>
#include <thread>

namespace Winsock {

namespace {

int Fail(int code)
{
    SetLastError(code);
    return SOCKET_ERROR;
}

int MapAddrInfoError(int error)
{
    switch (error) {
    case EAI_NONAME: return WSAHOST_NOT_FOUND;
    case EAI_AGAIN: return WSATRY_AGAIN;
    case EAI_NODATA:
    case EAI_ADDRFAMILY: return WSANO_DATA;
    case EAI_MEMORY: return WSAENOBUFS;
    default: return WSANO_RECOVERY;
    }
}

int ResolveName(const QByteArray &name, THostEntry *entry)
{
    if (name.isEmpty())
        return WSAHOST_NOT_FOUND;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_CANONNAME;
    addrinfo *result = nullptr;
    const int rc = ::getaddrinfo(name.constData(), nullptr, &hints, &result);
    if (rc != 0)
        return MapAddrInfoError(rc);
    entry->Name = result->ai_canonname ? QByteArray(result->ai_canonname) : name;
    entry->Addresses.clear();
    for (addrinfo *ai = result; ai; ai = ai->ai_next) {
        if (ai->ai_family != AF_INET)
            continue;
        const quint32 address = reinterpret_cast<const sockaddr_in *>(ai->ai_addr)->sin_addr.s_addr;
        if (!entry->Addresses.contains(address))
            entry->Addresses.append(address);
    }
    ::freeaddrinfo(result);
    return entry->Addresses.isEmpty() ? WSANO_DATA : 0;
}

int ResolveAddress(quint32 address, THostEntry *entry)
{
    sockaddr_in sin{};
    sin.sin_family = AF_INET;
    sin.sin_addr.s_addr = address;
    char host[NI_MAXHOST];
    const int rc = ::getnameinfo(reinterpret_cast<const sockaddr *>(&sin), sizeof sin, host, sizeof host, nullptr, 0,
                                 NI_NAMEREQD);
    if (rc != 0)
        return MapAddrInfoError(rc);
    entry->Name = host;
    entry->Addresses = {address};
    return 0;
}

struct TLookup {
    quintptr Handle = 0;
    TMessageWindow *Target = nullptr;
    quint32 Msg = 0;
    THostEntry *Buffer = nullptr;
    int Error = 0;
    THostEntry Result;
    QMetaObject::Connection Watch;
};

QMutex &LookupMutex()
{
    static auto *mutex = new QMutex;
    return *mutex;
}

QHash<quintptr, std::shared_ptr<TLookup>> &Lookups()
{
    static auto *lookups = new QHash<quintptr, std::shared_ptr<TLookup>>;
    return *lookups;
}

std::atomic<quintptr> GNextLookup{0};

// Runs on the owner's thread just before the answer is delivered: a cancelled request
// has left the table and its answer is dropped.
bool DeliverLookup(quintptr handle)
{
    std::shared_ptr<TLookup> request;
    {
        QMutexLocker lock(&LookupMutex());
        request = Lookups().take(handle);
    }
    if (!request)
        return false;
    QObject::disconnect(request->Watch);
    if (request->Buffer)
        *request->Buffer = request->Result;
    return true;
}

quintptr StartLookup(TMessageWindow *window, quint32 msg, THostEntry *entry, std::function<int(THostEntry *)> work)
{
    if (!IsStarted()) {
        Fail(WSANOTINITIALISED);
        return 0;
    }
    if (!window) {
        Fail(WSAEINVAL);
        return 0;
    }
    auto request = std::make_shared<TLookup>();
    request->Handle = ++GNextLookup;
    request->Target = window;
    request->Msg = msg;
    request->Buffer = entry;
    const quintptr handle = request->Handle;
    {
        QMutexLocker lock(&LookupMutex());
        Lookups().insert(handle, request);
    }
    // A window that goes away takes its requests with it, so the worker never posts to
    // a destroyed object: it posts only while holding the lock and finding its request.
    request->Watch = QObject::connect(window, &QObject::destroyed, [handle] {
        QMutexLocker lock(&LookupMutex());
        Lookups().remove(handle);
    });
    try {
        std::thread([request, work = std::move(work)] {
            THostEntry result;
            const int error = work(&result);
            QMutexLocker lock(&LookupMutex());
            if (!Lookups().contains(request->Handle))
                return;
            request->Result = std::move(result);
            request->Error = error;
            const quintptr id = request->Handle;
            TMessageWindow::PostMessage(request->Target, request->Msg, id, MakeLong(0, quint16(error)),
                                        [id] { return DeliverLookup(id); });
        }).detach();
    } catch (const std::system_error &) {
        {
            QMutexLocker lock(&LookupMutex());
            Lookups().remove(handle);
        }
        QObject::disconnect(request->Watch);
        Fail(WSAENOBUFS);
        return 0;
    }
    return handle;
}

} // namespace

bool GetHostByName(const QByteArray &name, THostEntry *entry)
{
    if (!IsStarted()) {
        Fail(WSANOTINITIALISED);
        return false;
    }
    const int error = ResolveName(name, entry);
    if (error != 0) {
        Fail(error);
        return false;
    }
    return true;
}

int GetServByName(const QByteArray &name, const QByteArray &protocol)
{
    if (!IsStarted())
        return Fail(WSANOTINITIALISED);
    servent entry{};
    servent *result = nullptr;
    char buffer[4096];
    ::getservbyname_r(name.constData(), protocol.isEmpty() ? nullptr : protocol.constData(), &entry, buffer,
                      sizeof buffer, &result);
    if (!result)
        return Fail(WSANO_DATA);
    return result->s_port;
}

int GetProtoByName(const QByteArray &name)
{
    if (!IsStarted())
        return Fail(WSANOTINITIALISED);
    protoent entry{};
    protoent *result = nullptr;
    char buffer[4096];
    ::getprotobyname_r(name.constData(), &entry, buffer, sizeof buffer, &result);
    if (result)
        return result->p_proto;
    // Winsock carries its protocol table inside; a system without /etc/protocols still
    // knows the two that matter.
    const QByteArray lower = name.toLower();
    if (lower == "tcp")
        return IPPROTO_TCP;
    if (lower == "udp")
        return IPPROTO_UDP;
    return Fail(WSANO_DATA);
}

quintptr AsyncGetHostByName(TMessageWindow *window, quint32 msg, const QByteArray &name, THostEntry *entry)
{
    return StartLookup(window, msg, entry, [name](THostEntry *result) { return ResolveName(name, result); });
}

quintptr AsyncGetHostByAddr(TMessageWindow *window, quint32 msg, quint32 address, THostEntry *entry)
{
    return StartLookup(window, msg, entry, [address](THostEntry *result) { return ResolveAddress(address, result); });
}

int CancelAsyncRequest(quintptr handle)
{
    std::shared_ptr<TLookup> request;
    {
        QMutexLocker lock(&LookupMutex());
        request = Lookups().take(handle);
    }
    if (!request)
        return Fail(WSAEINVAL);
    QObject::disconnect(request->Watch);
    return 0;
}

} // namespace Winsock
