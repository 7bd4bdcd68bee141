#pragma once

#include <memory>

// One block of a socket's send queue. Bytes are written at the end and taken from the
// front; a block whose bytes have all been taken starts again from its beginning.
class TBuffer {
public:
    static constexpr int DefaultSize = 1514;

    explicit TBuffer(int size = DefaultSize);

    int BufSize() const { return FBufSize; }
    void SetBufSize(int size);

    int WrCount() const { return FWrCount; }
    int RdCount() const { return FRdCount; }

    // Copies as many bytes as fit and returns how many; 0 when the block is full.
    int Write(const void *data, int length);
    // The first unsent byte and the unsent count, or nullptr and 0.
    const char *Peek(int &length) const;
    // Takes at most the unsent count from the front and returns how many were taken.
    int Remove(int length);

private:
    std::unique_ptr<char[]> FBuf;
    int FBufSize = 0;
    int FWrCount = 0;
    int FRdCount = 0;
};
