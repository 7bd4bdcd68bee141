#pragma once

#include <QString>

// Conversions of host, port and protocol texts, raising ESocketException when a text
// does not convert. They start the socket services on first use.

// IPv4 address in network order; a name is looked up with a blocking lookup.
quint32 WSocketResolveHost(const QString &InAddr);
// Port number in host order.
int WSocketResolvePort(const QString &Port, const QString &Proto);
int WSocketResolveProto(const QString &Proto);
QString SocketErrorDesc(int ErrorCode);

// Starts the socket services once for the process. Every socket object and every
// conversion above calls it before it touches a socket.
void WSocketLoadWinsock();
// Cleans the socket services up again; the last socket object to go calls it.
void WSocketUnloadWinsock();
