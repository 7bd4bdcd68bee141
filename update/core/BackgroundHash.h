#pragma once

#include "update/core/Blake2b512.h"

#include <QByteArray>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// Hashes a download with BLAKE2b-512 on a thread of its own while it arrives, so the
// signature check adds almost nothing to the time the download takes. Pieces are
// copied into a queue of at most MaxQueued bytes; Add waits while the queue is full,
// which ends as soon as the hashing thread (which only ever hashes) takes a piece.
class TBackgroundHash {
public:
    static constexpr qsizetype MaxQueued = 16 * 1024 * 1024;

    TBackgroundHash();
    // Stops the thread; what was queued is dropped.
    ~TBackgroundHash();
    TBackgroundHash(const TBackgroundHash &) = delete;
    TBackgroundHash &operator=(const TBackgroundHash &) = delete;

    void Add(const char *data, qsizetype length);
    // Waits for everything added to be hashed and gives the hash (empty when hashing
    // failed). Nothing may be added afterwards.
    QByteArray Finish();
    // The bytes hashed, once Finish has returned.
    qint64 Bytes() const { return FBytes; }

private:
    void Run();

    TBlake2b512 FHash;
    std::mutex FMutex;
    std::condition_variable FChanged;
    std::deque<QByteArray> FQueue;
    qsizetype FQueued = 0;
    bool FEnd = false;
    bool FAbandon = false;
    qint64 FBytes = 0;
    QByteArray FResult;
    std::thread FThread;
};
