#include "net/CustomSyncWSocket.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <thread>

TCustomSyncWSocket::TCustomSyncWSocket(QObject *owner) : TCustomLineWSocket(owner) {}

int TCustomSyncWSocket::Synchronize(const std::function<void()> &start, bool &doneFlag)
{
    doneFlag = false;
    if (start)
        start();
    return WaitUntilReady(doneFlag);
}

int TCustomSyncWSocket::WaitUntilReady(bool &doneFlag)
{
    QPointer<TCustomSyncWSocket> self(this);
    QElapsedTimer clock;
    clock.start();
    const int timeout = FTimeout;
    while (!doneFlag) {
        if (timeout > 0 && clock.hasExpired(timeout))
            return WSA_WSOCKET_TIMEOUT;
        if (!QCoreApplication::instance() || QCoreApplication::closingDown() || FTerminated)
            return WSA_WSOCKET_TIMEOUT;
        PumpMessages();
        // A handler may have freed the socket; the flag belongs to the caller.
        if (!self)
            return doneFlag ? 0 : WSA_WSOCKET_TIMEOUT;
        std::this_thread::yield();
    }
    return 0;
}
