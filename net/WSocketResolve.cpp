#include "net/WSocketResolve.h"

#include "platform/core/Exceptions.h"
#include "platform/core/Winsock.h"

#include <QCoreApplication>
#include <arpa/inet.h>
#include <atomic>

namespace {

std::atomic<bool> GWinsockStarted{false};

bool StartsWithDigit(const QString &text)
{
    return !text.isEmpty() && text.at(0) >= QLatin1Char('0') && text.at(0) <= QLatin1Char('9');
}

// Decimal value of the leading digits, as the old conversion read it: blanks skipped,
// reading stops at the first character that is not a digit.
int LeadingDecimal(const QString &text)
{
    int i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    qint64 value = 0;
    while (i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 128) {
        value = value * 10 + (text.at(i).unicode() - '0');
        if (value > 0x7FFFFFFF)
            value = 0x7FFFFFFF;
        ++i;
    }
    return int(value);
}

} // namespace

void WSocketLoadWinsock()
{
    if (GWinsockStarted.exchange(true))
        return;
    Winsock::Startup();
    // Program end counts as a clean-up too, as when the last socket goes; the routine
    // is registered once however often the services start again.
    static const bool registered = [] {
        qAddPostRoutine(WSocketUnloadWinsock);
        return true;
    }();
    (void)registered;
}

void WSocketUnloadWinsock()
{
    if (!GWinsockStarted.exchange(false))
        return;
    Winsock::Cleanup();
}

quint32 WSocketResolveHost(const QString &InAddr)
{
    if (InAddr.isEmpty() || InAddr.size() > 256)
        throw ESocketException(
            QCoreApplication::translate("WSocketResolve", "WSocketResolveHost: '%1' Invalid Hostname.").arg(InAddr));
    WSocketLoadWinsock();
    const QString text = InAddr.trimmed();
    if (StartsWithDigit(text)) {
        const quint32 address = Winsock::InetAddr(text.toLatin1());
        if (address == Winsock::INADDR_NONE_VALUE && text != QLatin1String("255.255.255.255"))
            throw ESocketException(
                QCoreApplication::translate("WSocketResolve", "WSocketResolveHost: '%1' Invalid IP address.")
                    .arg(InAddr));
        return address;
    }
    Winsock::THostEntry entry;
    if (!Winsock::GetHostByName(text.toUtf8(), &entry))
        throw ESocketException(
            QCoreApplication::translate("WSocketResolve", "WSocketResolveHost: Cannot convert host address '%1'")
                .arg(InAddr));
    return entry.Addresses.first();
}

int WSocketResolvePort(const QString &Port, const QString &Proto)
{
    if (Port.isEmpty() || Port.size() >= 32)
        throw ESocketException(QCoreApplication::translate("WSocketResolve", "WSocketResolvePort: Invalid Port."));
    WSocketLoadWinsock();
    if (StartsWithDigit(Port))
        return LeadingDecimal(Port);
    const int port = Winsock::GetServByName(Port.trimmed().toLatin1(), Proto.trimmed().toLatin1());
    if (port == Winsock::SOCKET_ERROR)
        throw ESocketException(
            QCoreApplication::translate("WSocketResolve", "WSocketResolvePort: Cannot convert port '%1'").arg(Port));
    return ntohs(quint16(port));
}

int WSocketResolveProto(const QString &Proto)
{
    if (Proto.isEmpty() || Proto.size() >= 32)
        throw ESocketException(QCoreApplication::translate("WSocketResolve", "WSocketResolveProto: Invalid Protocol."));
    WSocketLoadWinsock();
    const QString text = Proto.trimmed();
    if (StartsWithDigit(text))
        return LeadingDecimal(text);
    const int number = Winsock::GetProtoByName(text.toLatin1());
    if (number == Winsock::SOCKET_ERROR)
        throw ESocketException(
            QCoreApplication::translate("WSocketResolve", "WSocketResolveProto: Cannot convert protocol '%1'")
                .arg(Proto));
    return number;
}

QString SocketErrorDesc(int ErrorCode)
{
    return Winsock::ErrorText(ErrorCode);
}
