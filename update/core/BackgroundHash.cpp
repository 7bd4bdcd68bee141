#include "update/core/BackgroundHash.h"

TBackgroundHash::TBackgroundHash() : FThread(&TBackgroundHash::Run, this) {}

TBackgroundHash::~TBackgroundHash()
{
    {
        const std::lock_guard lock(FMutex);
        FAbandon = true;
    }
    FChanged.notify_all();
    if (FThread.joinable())
        FThread.join();
}

void TBackgroundHash::Add(const char *data, qsizetype length)
{
    if (length <= 0)
        return;
    std::unique_lock lock(FMutex);
    FChanged.wait(lock, [this] { return FQueued < MaxQueued || FAbandon; });
    FQueue.emplace_back(data, length);
    FQueued += length;
    lock.unlock();
    FChanged.notify_all();
}

QByteArray TBackgroundHash::Finish()
{
    {
        const std::lock_guard lock(FMutex);
        FEnd = true;
    }
    FChanged.notify_all();
    if (FThread.joinable())
        FThread.join();
    return FResult;
}

void TBackgroundHash::Run()
{
    for (;;) {
        QByteArray piece;
        {
            std::unique_lock lock(FMutex);
            FChanged.wait(lock, [this] { return !FQueue.empty() || FEnd || FAbandon; });
            if (FAbandon)
                return;
            if (FQueue.empty()) {
                FResult = FHash.Result();
                return;
            }
            piece = std::move(FQueue.front());
            FQueue.pop_front();
            FQueued -= piece.size();
        }
        FChanged.notify_all();
        FHash.Add(piece.constData(), piece.size());
        FBytes += piece.size();
    }
}
