#pragma once

// Shared by the net_* fuzz targets: one event loop for the whole run and a TWSocket
// listener on 127.0.0.1 whose adopted connection sends the input in pieces and then
// closes, so every byte travels the real socket path into the code under test.
//
// Build (not part of the CMake build; clang with libFuzzer), from the repository root:
//   clang++ -std=c++20 -g -O1 -fPIC -fsanitize=fuzzer,address,undefined -I. \
//       $(pkg-config --cflags Qt6Core) fuzz/net_http_response.cpp net/*.cpp \
//       platform/core/Winsock.cpp platform/core/Messages.cpp platform/core/Exceptions.cpp \
//       $(pkg-config --libs Qt6Core) -o net_http_response
//   ./net_http_response -max_total_time=60

#include "net/WSocket.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <functional>
#include <memory>

inline QCoreApplication &FuzzApplication()
{
    // Every run goes through a connection and many trips round the event loop; Qt's own
    // dispatcher makes those trips a quarter cheaper than the GLib one, and the code
    // under test is the same on either.
    qputenv("QT_NO_GLIB", "1");
    static int argc = 1;
    static char name[] = "net_fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = new QCoreApplication(argc, argv);
    return *app;
}

// Serves one connection at a time: sends Payload in pieces of PieceSize bytes, one
// piece per write event, then closes.
class TFuzzPeer {
public:
    TFuzzPeer()
    {
        FuzzApplication();
        Listener.SetAddr(QStringLiteral("127.0.0.1"));
        Listener.SetPort(QStringLiteral("0"));
        Listener.OnSessionAvailable = [this](QObject *, quint16 error) {
            if (error != 0)
                return;
            const Winsock::TSocket handle = Listener.Accept();
            Server = std::make_unique<TWSocket>();
            Server->SetLingerOnOff(wsLingerNoSet);
            Server->OnDataAvailable = [this](QObject *, quint16) { Server->ReceiveText(); };
            Server->OnDataSent = [this](QObject *, quint16) { SendNext(); };
            Offset = 0;
            Server->Dup(handle);
        };
        Listener.Listen();
        Port = Listener.GetLocalPortText();
    }

    void SendNext()
    {
        if (!Server || Server->State() != wsConnected)
            return;
        if (Offset >= Payload.size()) {
            Server->Close();
            return;
        }
        const int piece = int(qMin<qsizetype>(PieceSize, Payload.size() - Offset));
        Offset += piece;
        Server->Send(Payload.constData() + Offset - piece, piece);
    }

    // Runs the loop until done() or a generous deadline; the deadline only guards the
    // fuzzer against a hang, which would itself be a finding.
    static void RunUntil(const std::function<bool()> &done)
    {
        QDeadlineTimer deadline(5000);
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents);
    }

    void Reset() { Server.reset(); }

    TWSocket Listener;
    std::unique_ptr<TWSocket> Server;
    QString Port;
    QByteArray Payload;
    int PieceSize = 1;
    qsizetype Offset = 0;
};
