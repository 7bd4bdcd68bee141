#include "WSocketHarness.h"

TListenerHarness::TListenerHarness()
{
    Listener.OnSessionAvailable = [this](QObject *, quint16 error) {
        if (error != 0)
            return;
        const Winsock::TSocket handle = Listener.Accept();
        auto session = std::make_unique<TSession>();
        TSession *raw = session.get();
        session->Socket = std::make_unique<TWSocket>();
        TWSocket *socket = session->Socket.get();
        socket->OnDataAvailable = [raw, socket](QObject *, quint16) {
            char buffer[8192];
            const int n = socket->Receive(buffer, sizeof buffer);
            if (n > 0)
                raw->Received.append(buffer, n);
        };
        socket->OnSessionClosed = [raw](QObject *, quint16 error) {
            ++raw->ClosedCount;
            raw->CloseError = error;
        };
        if (GracefulClose)
            socket->SetLingerOnOff(wsLingerNoSet);
        Sessions.push_back(std::move(session));
        socket->Dup(handle);
    };
}

bool TListenerHarness::Start()
{
    Listener.SetAddr(QStringLiteral("127.0.0.1"));
    Listener.SetPort(QStringLiteral("0"));
    Listener.SetProto(QStringLiteral("tcp"));
    Listener.Listen();
    FPort = Listener.GetLocalPortText();
    return Listener.State() == wsListening && FPort != QLatin1String("error");
}

TClientProbe::TClientProbe(TWSocket &socket)
{
    socket.OnSessionConnected = [this](QObject *, quint16 error) {
        ++ConnectedCount;
        ConnectError = error;
    };
    socket.OnSessionClosed = [this](QObject *, quint16 error) {
        ++ClosedCount;
        CloseError = error;
    };
    socket.OnDataSent = [this](QObject *, quint16) { ++DataSentCount; };
    socket.OnChangeState = [this](QObject *, TSocketState, TSocketState newState) { States.push_back(newState); };
    socket.OnDataAvailable = [this, &socket](QObject *, quint16) {
        char buffer[8192];
        const int n = socket.Receive(buffer, sizeof buffer);
        if (n > 0)
            Received.append(buffer, n);
    };
}
