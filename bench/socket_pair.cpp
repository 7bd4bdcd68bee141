// Throughput of two of our sockets on 127.0.0.1 next to a plain POSIX loopback pair, in
// the same run. Each pair has a sending thread and a receiving thread:
//   - TWSocket: the receiver is accepted by a listening TWSocket on the main thread's
//     event loop, the sender runs its own event loop on a second thread, queueing 1 MiB
//     whenever its queue has drained (OnDataSent) and receiving in 64 KiB reads;
//   - POSIX: blocking write() and read() of 64 KiB buffers.
// Prints the median of each in MB/s and their ratio.
//
//   bench_socket_pair [runs] [MiB]     (defaults: 3 runs, 1024 MiB)
#include "net/WSocket.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr int PieceSize = 64 * 1024;
// What the sender queues at a time: enough to keep the kernel's buffer full while the
// drained-queue news makes its way through the event loop.
constexpr int RefillSize = 1024 * 1024;
// No run may hang the benchmark.
constexpr int RunLimitMs = 300000;

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Seconds for `total` bytes from one TWSocket to another, or a negative number.
double TimeOurSockets(qint64 total)
{
    TWSocket listener;
    listener.SetAddr(QStringLiteral("127.0.0.1"));
    listener.SetPort(QStringLiteral("0"));
    listener.SetProto(QStringLiteral("tcp"));
    std::unique_ptr<TWSocket> receiver;
    qint64 received = 0;
    QEventLoop loop;
    QElapsedTimer clock;
    auto buffer = std::make_unique<char[]>(PieceSize);
    listener.OnSessionAvailable = [&](QObject *, quint16 error) {
        if (error != 0)
            return;
        const Winsock::TSocket handle = listener.Accept();
        receiver = std::make_unique<TWSocket>();
        receiver->OnDataAvailable = [&](QObject *, quint16) {
            const int count = receiver->Receive(buffer.get(), PieceSize);
            if (count > 0)
                received += count;
            if (received >= total)
                loop.quit();
        };
        receiver->Dup(handle);
        // From the connection on, as for the POSIX pair.
        clock.start();
    };
    listener.Listen();
    const QString port = listener.GetLocalPortText();

    std::atomic<bool> failed{false};
    // The sender lives and dies on its own thread, as every socket belongs to the
    // thread that made it.
    QThread *sender = QThread::create([&] {
        QEventLoop senderLoop;
        TWSocket socket;
        const QByteArray piece(RefillSize, 'x');
        qint64 queued = 0;
        const auto refill = [&] {
            const int count = int(qMin<qint64>(RefillSize, total - queued));
            if (count <= 0) {
                senderLoop.quit();
                return;
            }
            queued += count;
            socket.Send(piece.constData(), count);
        };
        socket.OnSessionConnected = [&](QObject *, quint16 error) {
            if (error != 0) {
                failed = true;
                senderLoop.quit();
                return;
            }
            refill();
        };
        socket.OnDataSent = [&](QObject *, quint16) { refill(); };
        // An orderly close: a reset would throw away what the receiver has not read yet.
        socket.SetLingerOnOff(wsLingerNoSet);
        socket.SetAddr(QStringLiteral("127.0.0.1"));
        socket.SetPort(port);
        socket.SetProto(QStringLiteral("tcp"));
        socket.Connect();
        QTimer::singleShot(RunLimitMs, &senderLoop, &QEventLoop::quit);
        senderLoop.exec();
        socket.Close();
    });
    sender->start();
    QTimer::singleShot(RunLimitMs, &loop, &QEventLoop::quit);
    loop.exec();
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    sender->wait();
    delete sender;
    return failed || received < total ? -1 : seconds;
}

// Seconds for `total` bytes over a loopback pair of blocking POSIX sockets.
double TimePosixPair(qint64 total)
{
    const int listening = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listening, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || ::listen(listening, 1) != 0 ||
        ::getsockname(listening, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        ::close(listening);
        return -1;
    }
    const int client = ::socket(AF_INET, SOCK_STREAM, 0);
    if (::connect(client, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        ::close(client);
        ::close(listening);
        return -1;
    }
    const int server = ::accept(listening, nullptr, nullptr);
    ::close(listening);

    QElapsedTimer clock;
    clock.start();
    std::thread writer([&] {
        const std::vector<char> piece(PieceSize, 'x');
        qint64 sent = 0;
        while (sent < total) {
            const ssize_t count = ::write(client, piece.data(), size_t(qMin<qint64>(PieceSize, total - sent)));
            if (count <= 0)
                break;
            sent += count;
        }
    });
    std::vector<char> buffer(PieceSize);
    qint64 received = 0;
    while (received < total) {
        const ssize_t count = ::read(server, buffer.data(), buffer.size());
        if (count <= 0)
            break;
        received += count;
    }
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    writer.join();
    ::close(client);
    ::close(server);
    return received < total ? -1 : seconds;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const qint64 total = qint64(argc > 2 ? std::max(1, std::atoi(argv[2])) : 1024) << 20;

    std::vector<double> ours;
    std::vector<double> posix;
    for (int i = 0; i < runs; ++i) {
        const double a = TimeOurSockets(total);
        const double b = TimePosixPair(total);
        if (a < 0 || b < 0) {
            std::fprintf(stderr, "a transfer failed (%s)\n", a < 0 ? "TWSocket" : "POSIX");
            return 1;
        }
        ours.push_back(a);
        posix.push_back(b);
    }
    const double mb = double(total) / 1e6;
    const double oursRate = mb / Median(ours);
    const double posixRate = mb / Median(posix);
    std::printf("socket_pair: %lld MiB over 127.0.0.1, median of %d runs\n", (long long)(total >> 20), runs);
    std::printf("  TWSocket pair     %8.1f MB/s\n", oursRate);
    std::printf("  POSIX pair        %8.1f MB/s\n", posixRate);
    std::printf("  ratio             %8.2fx\n", oursRate / posixRate);
    return 0;
}
