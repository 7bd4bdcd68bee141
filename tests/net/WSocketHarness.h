#pragma once

#include "net/WSocket.h"

#include <QByteArray>
#include <memory>
#include <vector>

// A TWSocket listener on 127.0.0.1 that adopts every incoming connection into a TWSocket
// of its own, collects what each one receives and counts their closes.
class TListenerHarness {
public:
    struct TSession {
        std::unique_ptr<TWSocket> Socket;
        QByteArray Received;
        int ClosedCount = 0;
        quint16 CloseError = 0;
    };

    TListenerHarness();
    // Listens on a free port; false when that fails.
    bool Start();
    QString PortText() const { return FPort; }

    TWSocket Listener;
    std::vector<std::unique_ptr<TSession>> Sessions;
    // Set before Start to keep the adopted sockets from resetting their close.
    bool GracefulClose = true;

private:
    QString FPort;
};

// Connects a client socket's usual handlers to counters the tests look at.
struct TClientProbe {
    explicit TClientProbe(TWSocket &socket);

    QByteArray Received;
    int ConnectedCount = 0;
    quint16 ConnectError = 0xFFFF;
    int ClosedCount = 0;
    quint16 CloseError = 0xFFFF;
    int DataSentCount = 0;
    std::vector<TSocketState> States;
};
