#pragma once

#include "net/CustomLineWSocket.h"

#include <functional>

// A wait that lets messages run until a flag set by an event handler says the
// operation is done, for callers that want to write straight-line code.
class TCustomSyncWSocket : public TCustomLineWSocket {
public:
    explicit TCustomSyncWSocket(QObject *owner = nullptr);

    // Milliseconds before a wait gives up; 0 waits without limit.
    int Timeout() const { return FTimeout; }
    void SetTimeout(int ms) { FTimeout = ms; }

    // Clears the flag, runs start (when given) and waits for the flag.
    virtual int Synchronize(const std::function<void()> &start, bool &doneFlag);
    // 0 once the flag is set; WSA_WSOCKET_TIMEOUT when the time runs out or the
    // program or the socket's own loop is ending.
    virtual int WaitUntilReady(bool &doneFlag);

private:
    int FTimeout = 0;
};
