#include "net/CustomWSocket.h"

#include "net/WSocketResolve.h"

#include <QCoreApplication>

using namespace Winsock;

void TCustomWSocket::HandleLookupDone(TMessage &msg, bool reverse)
{
    if (FDnsLookupHandle == 0 || msg.WParam != FDnsLookupHandle)
        return;
    FDnsLookupHandle = 0;
    const quint16 error = HiWord(msg.LParam);
    if (error == 0) {
        if (reverse) {
            FDnsResult = QString::fromUtf8(FDnsLookupBuffer.Name);
            FDnsResultList = QStringList{FDnsResult};
        } else {
            for (quint32 address : std::as_const(FDnsLookupBuffer.Addresses))
                FDnsResultList.append(QString::fromLatin1(InetNtoa(address)));
            if (!FDnsResultList.isEmpty())
                FDnsResult = FDnsResultList.first();
        }
    }
    TriggerDnsLookupDone(error);
}

void TCustomWSocket::DnsLookup(const QString &hostName)
{
    if (hostName.isEmpty()) {
        RaiseSocketException(QCoreApplication::translate("TCustomWSocket", "DNS lookup: invalid host name."));
        TriggerDnsLookupDone(WSAEINVAL);
        return;
    }
    CancelDnsLookup();
    FDnsResult.clear();
    FDnsResultList.clear();
    WSocketLoadWinsock();
    const quint32 address = InetAddr(hostName.toLatin1());
    if (address != INADDR_NONE_VALUE) {
        FDnsResult = QString::fromLatin1(InetNtoa(address));
        TriggerDnsLookupDone(0);
        return;
    }
    FDnsLookupHandle = AsyncGetHostByName(FWindow.get(), WM_NAME_LOOKUP_DONE, hostName.toUtf8(), &FDnsLookupBuffer);
    if (FDnsLookupHandle == 0)
        RaiseSocketException(QCoreApplication::translate("TCustomWSocket", "%1: can't start DNS lookup, error #%2")
                                 .arg(hostName)
                                 .arg(GetLastError()));
}

void TCustomWSocket::ReverseDnsLookup(const QString &hostAddr)
{
    if (hostAddr.isEmpty()) {
        RaiseSocketException(QCoreApplication::translate("TCustomWSocket", "DNS lookup: invalid host name."));
        TriggerDnsLookupDone(WSAEINVAL);
        return;
    }
    CancelDnsLookup();
    FDnsResult.clear();
    FDnsResultList.clear();
    WSocketLoadWinsock();
    const quint32 address = InetAddr(hostAddr.toLatin1());
    FDnsLookupHandle = AsyncGetHostByAddr(FWindow.get(), WM_ADDR_LOOKUP_DONE, address, &FDnsLookupBuffer);
    if (FDnsLookupHandle == 0)
        RaiseSocketException(QCoreApplication::translate("TCustomWSocket", "%1: can't start DNS lookup, error #%2")
                                 .arg(hostAddr)
                                 .arg(GetLastError()));
}

void TCustomWSocket::CancelDnsLookup()
{
    if (FDnsLookupHandle == 0)
        return;
    if (CancelAsyncRequest(FDnsLookupHandle) != 0) {
        FDnsLookupHandle = 0;
        SocketError(QStringLiteral("WSACancelAsyncRequest"));
        return;
    }
    FDnsLookupHandle = 0;
    if (!FDestroying)
        TriggerDnsLookupDone(WSAEINTR);
}
