#include "net/HttpCliEvents.h"

void THttpCliEvents::TriggerCookie(const QString &data, bool &accept)
{
    if (OnCookie)
        OnCookie(this, data, accept);
}

void THttpCliEvents::TriggerSessionConnected()
{
    if (OnSessionConnected)
        OnSessionConnected(this);
}

void THttpCliEvents::TriggerRequestHeaderBegin()
{
    if (OnRequestHeaderBegin)
        OnRequestHeaderBegin(this);
}

void THttpCliEvents::TriggerRequestHeaderEnd()
{
    if (OnRequestHeaderEnd)
        OnRequestHeaderEnd(this);
}

void THttpCliEvents::TriggerHeaderBegin()
{
    if (OnHeaderBegin)
        OnHeaderBegin(this);
}

void THttpCliEvents::TriggerHeaderEnd()
{
    if (OnHeaderEnd)
        OnHeaderEnd(this);
}

void THttpCliEvents::TriggerDocBegin()
{
    if (OnDocBegin)
        OnDocBegin(this);
}

void THttpCliEvents::TriggerDocData(const char *data, int length)
{
    if (OnDocData)
        OnDocData(this, data, length);
}

void THttpCliEvents::TriggerDocEnd()
{
    if (OnDocEnd)
        OnDocEnd(this);
}

void THttpCliEvents::TriggerSendBegin()
{
    if (OnSendBegin)
        OnSendBegin(this);
}

void THttpCliEvents::TriggerSendData(const char *data, int length)
{
    if (OnSendData)
        OnSendData(this, data, length);
}

void THttpCliEvents::TriggerSendEnd()
{
    if (OnSendEnd)
        OnSendEnd(this);
}
