#include "net/Buffer.h"

#include <QByteArray>
#include <gtest/gtest.h>

TEST(Buffer, WritesPeeksAndRemovesAndReusesADrainedBlock)
{
    TBuffer block;
    EXPECT_EQ(block.BufSize(), 1514);
    int length = -1;
    EXPECT_EQ(block.Peek(length), nullptr);
    EXPECT_EQ(length, 0);

    const QByteArray data(1000, 'a');
    EXPECT_EQ(block.Write(data.constData(), 1000), 1000);
    EXPECT_EQ(block.Write(data.constData(), 1000), 514);
    EXPECT_EQ(block.Write(data.constData(), 10), 0);

    const char *front = block.Peek(length);
    ASSERT_NE(front, nullptr);
    EXPECT_EQ(length, 1514);
    EXPECT_EQ(block.Remove(14), 14);
    EXPECT_EQ(block.RdCount(), 14);
    front = block.Peek(length);
    EXPECT_EQ(length, 1500);
    // More than is there removes only what is there, and the emptied block starts over.
    EXPECT_EQ(block.Remove(5000), 1500);
    EXPECT_EQ(block.RdCount(), 0);
    EXPECT_EQ(block.WrCount(), 0);
    EXPECT_EQ(block.Write("xyz", 3), 3);
    front = block.Peek(length);
    EXPECT_EQ(QByteArray(front, length), "xyz");
}

TEST(Buffer, ResizingKeepsTheUnsentBytes)
{
    TBuffer block(0);
    EXPECT_EQ(block.BufSize(), 1514);
    TBuffer small(-5);
    EXPECT_EQ(small.BufSize(), 1514);

    TBuffer held(8);
    held.Write("abcdefgh", 8);
    held.Remove(3);
    held.SetBufSize(16);
    int length = 0;
    const char *front = held.Peek(length);
    EXPECT_EQ(QByteArray(front, length), "defgh");
    EXPECT_EQ(held.Write("ijklmnopqrstuvwxyz", 18), 11);
    front = held.Peek(length);
    EXPECT_EQ(QByteArray(front, length), "defghijklmnopqrs");
}
