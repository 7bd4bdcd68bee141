#pragma once

#include "net/CustomSyncWSocket.h"

// The socket component applications use: the plain socket with SOCKS negotiation, line
// mode and the synchronous wait.
class TWSocket : public TCustomSyncWSocket {
public:
    explicit TWSocket(QObject *owner = nullptr);
};
