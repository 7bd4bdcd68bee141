#pragma once

#include "support/EventWait.h"

#include "net/HttpProt.h"

#include <QStringList>
#include <gtest/gtest.h>

// Records what a client reports, and checks the rule that every return to Idle is
// followed by exactly one OnRequestDone.
struct THttpProbe {
    explicit THttpProbe(THttpCli &client) : Client(client)
    {
        client.OnStateChange = [this](QObject *) {
            if (Client.State() == THttpState::Idle)
                ++Idles;
            if (Client.State() == THttpState::LookingUp)
                Events << QStringLiteral("lookup");
        };
        client.OnHeaderBegin = [this](QObject *) { Events << QStringLiteral("header-begin"); };
        client.OnHeaderEnd = [this](QObject *) { Events << QStringLiteral("header-end"); };
        client.OnDocBegin = [this](QObject *) { Events << QStringLiteral("doc-begin"); };
        client.OnDocEnd = [this](QObject *) { Events << QStringLiteral("doc-end"); };
        client.OnDocData = [this](QObject *, const char *data, int length) { Body.append(data, length); };
        client.OnLocationChange = [this](QObject *) { Events << QStringLiteral("location ") + Client.Location(); };
        client.OnCookie = [this](QObject *, const QString &data, bool &) {
            Events << QStringLiteral("cookie ") + data;
        };
        client.OnRequestDone = [this](QObject *, THttpRequest type, quint16 error) {
            ++Done;
            DoneType = type;
            DoneError = error;
            Events << QStringLiteral("done %1").arg(error);
        };
    }

    bool Finished() const { return Done > 0 && Client.State() == THttpState::Idle; }

    THttpCli &Client;
    QStringList Events;
    QByteArray Body;
    int Idles = 0;
    int Done = 0;
    THttpRequest DoneType = RequestNone;
    quint16 DoneError = 0xFFFF;
};

inline void ExpectOneDonePerIdle(const THttpProbe &probe)
{
    DrainEvents(20);
    EXPECT_EQ(probe.Done, probe.Idles);
}
