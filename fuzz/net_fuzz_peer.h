#pragma once

// The peer of the net fuzz targets: one event loop for the whole run and, per input, a
// connected pair of local stream sockets. The socket under test adopts one end, as a
// server adopts an accepted connection; the peer writes the input into the other end
// in pieces, each read by the socket under test before the next is written, then
// closes its end. Every byte travels the real socket path into the code under test,
// without a TCP connection and a second socket object per input, which cost four
// fifths of a run.

#include "net/WSocket.h"
#include "net/WSocketResolve.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDeadlineTimer>

#include <functional>

#include <cstdlib>
#include <sys/ioctl.h>

inline QCoreApplication &FuzzApplication()
{
    // Every run takes many trips round the event loop; Qt's own dispatcher makes those
    // trips a quarter cheaper than the GLib one, and the code under test is the same on
    // either.
    qputenv("QT_NO_GLIB", "1");
    static int argc = 1;
    static char name[] = "net_fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = new QCoreApplication(argc, argv);
    return *app;
}

class TFuzzPeer {
public:
    TFuzzPeer() { FuzzApplication(); }
    TFuzzPeer(const TFuzzPeer &) = delete;
    TFuzzPeer &operator=(const TFuzzPeer &) = delete;
    ~TFuzzPeer() { CloseOwnEnd(); }

    // A new pair; returns the end for the socket under test to adopt with Dup.
    Winsock::TSocket Open()
    {
        CloseOwnEnd();
        // The socket services stop when the last socket object goes, as the previous
        // input's did.
        WSocketLoadWinsock();
        Winsock::TSocket ends[2];
        if (!Winsock::SocketPair(ends))
            std::abort(); // the machine, not the code under test
        FOther = ends[0];
        FOwn = ends[1];
        return FOther;
    }

    // Writes payload in pieces of pieceSize bytes, letting the loop deliver each before
    // the next is written, then closes this end. Stops early when the other end stops
    // reading.
    void Feed(const QByteArray &payload, int pieceSize)
    {
        for (qsizetype offset = 0; offset < payload.size(); offset += pieceSize) {
            const int piece = int(qMin<qsizetype>(pieceSize, payload.size() - offset));
            if (Winsock::Send(FOwn, payload.constData() + offset, piece, 0) != piece)
                break;
            // A pass of the loop sees the socket readable and posts the read event, which
            // is delivered at once rather than at the next pass: one trip per piece, not
            // two. The deadline only guards the fuzzer against a hang, which would itself
            // be a finding.
            const QDeadlineTimer deadline(5000);
            int unread = 0;
            do {
                QCoreApplication::processEvents(QEventLoop::AllEvents);
                QCoreApplication::sendPostedEvents();
                unread = Unread();
            } while (unread != 0 && !deadline.hasExpired());
            if (unread != 0)
                break;
        }
        CloseOwnEnd();
    }

    // Runs the loop until done() or a generous deadline; the deadline only guards the
    // fuzzer against a hang, which would itself be a finding.
    static void RunUntil(const std::function<bool()> &done)
    {
        QDeadlineTimer deadline(5000);
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents);
    }

private:
    // Bytes written but not yet read at the other end; 0 once it is closed. Asked of
    // the system directly: the question is the peer's, not the socket layer's.
    int Unread() const
    {
        int pending = 0;
        return ::ioctl(FOther, FIONREAD, &pending) == 0 ? pending : 0;
    }

    void CloseOwnEnd()
    {
        if (FOwn != Winsock::INVALID_SOCKET)
            Winsock::CloseSocket(FOwn);
        FOwn = Winsock::INVALID_SOCKET;
    }

    Winsock::TSocket FOther = Winsock::INVALID_SOCKET; // the socket under test's once adopted
    Winsock::TSocket FOwn = Winsock::INVALID_SOCKET;
};
