#pragma once

#include "net/HttpTypes.h"
#include "net/WSocketTypes.h"

#include <QObject>

// The events an HTTP client fires, each through its virtual trigger, which a derived
// client may override. An event fires only when a handler is assigned; a handler may
// delete the client, which the client checks after every trigger.
class THttpCliEvents : public QObject {
public:
    explicit THttpCliEvents(QObject *owner = nullptr) : QObject(owner) {}

    // Part of the client's published events; nothing in this program sets or fires it.
    TNotifyEvent OnTrace;
    TNotifyEvent OnSessionConnected;
    TNotifyEvent OnHeaderData;
    TOnCommand OnCommand;
    TNotifyEvent OnHeaderBegin;
    TNotifyEvent OnHeaderEnd;
    TNotifyEvent OnRequestHeaderBegin;
    TNotifyEvent OnRequestHeaderEnd;
    TNotifyEvent OnDocBegin;
    TDocDataEvent OnDocData;
    TNotifyEvent OnDocEnd;
    TNotifyEvent OnSendBegin;
    TDocDataEvent OnSendData;
    TNotifyEvent OnSendEnd;
    TNotifyEvent OnStateChange;
    THttpRequestDone OnRequestDone;
    TNotifyEvent OnLocationChange;
    TCookieRcvdEvent OnCookie;

protected:
    virtual void TriggerCookie(const QString &data, bool &accept);
    virtual void TriggerSessionConnected();
    virtual void TriggerRequestHeaderBegin();
    virtual void TriggerRequestHeaderEnd();
    virtual void TriggerHeaderBegin();
    virtual void TriggerHeaderEnd();
    virtual void TriggerDocBegin();
    virtual void TriggerDocData(const char *data, int length);
    virtual void TriggerDocEnd();
    virtual void TriggerSendBegin();
    virtual void TriggerSendData(const char *data, int length);
    virtual void TriggerSendEnd();
};
