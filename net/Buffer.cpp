#include "net/Buffer.h"

#include <algorithm>
#include <cstring>

TBuffer::TBuffer(int size)
{
    SetBufSize(size);
}

void TBuffer::SetBufSize(int size)
{
    if (size <= 0)
        size = DefaultSize;
    if (size == FBufSize && FBuf)
        return;
    auto block = std::make_unique<char[]>(size_t(size));
    const int unsent = std::min(FWrCount - FRdCount, size);
    if (unsent > 0)
        std::memcpy(block.get(), FBuf.get() + FRdCount, size_t(unsent));
    FBuf = std::move(block);
    FBufSize = size;
    FRdCount = 0;
    FWrCount = std::max(unsent, 0);
}

int TBuffer::Write(const void *data, int length)
{
    const int count = std::min(length, FBufSize - FWrCount);
    if (count <= 0)
        return 0;
    std::memcpy(FBuf.get() + FWrCount, data, size_t(count));
    FWrCount += count;
    return count;
}

const char *TBuffer::Peek(int &length) const
{
    length = FWrCount - FRdCount;
    if (length <= 0) {
        length = 0;
        return nullptr;
    }
    return FBuf.get() + FRdCount;
}

int TBuffer::Remove(int length)
{
    const int count = std::clamp(length, 0, FWrCount - FRdCount);
    FRdCount += count;
    if (FRdCount >= FWrCount) {
        FRdCount = 0;
        FWrCount = 0;
    }
    return count;
}
