// The splitter's packet ring: records in order across the ring's end, and the
// waits that end streaming.

#include "splitter/PacketQueue.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{
using namespace std::chrono_literals;

std::vector<BYTE> Pattern(size_t cb, BYTE seed)
{
    std::vector<BYTE> bytes(cb);
    for (size_t i = 0; i < cb; ++i)
        bytes[i] = BYTE(seed + i);
    return bytes;
}
} // namespace

TEST(PacketQueue, KeepsRecordsInOrderAcrossTheRingsEnd)
{
    PacketQueue queue;
    ASSERT_TRUE(queue.Allocate(4096));
    for (int round = 0; round < 40; ++round)
    {
        // Sizes that leave odd tails at the ring's end.
        const size_t cb = 100 + size_t(round * 37) % 800;
        const auto bytes = Pattern(cb, BYTE(round));
        PacketInfo info{round * 1000LL, PacketInfo::kHasTime};
        ASSERT_EQ(PacketQueue::PutResult::Stored, queue.Put(info, bytes.data(), cb, 0ms));

        PacketInfo got;
        const BYTE* pData = nullptr;
        size_t cbGot = 0;
        ASSERT_TRUE(queue.Front(&got, &pData, &cbGot));
        EXPECT_EQ(round * 1000LL, got.tStart);
        ASSERT_EQ(cb, cbGot);
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), pData));
        queue.Pop();
    }
}

TEST(PacketQueue, FullRingTimesOutAndEndedRingDrains)
{
    PacketQueue queue;
    ASSERT_TRUE(queue.Allocate(4096));
    const auto bytes = Pattern(queue.MaxPayload(), 1);
    int stored = 0;
    while (queue.Put({}, bytes.data(), bytes.size(), 0ms) == PacketQueue::PutResult::Stored)
        ++stored;
    EXPECT_GE(stored, 3);
    EXPECT_EQ(PacketQueue::PutResult::Closed,
              queue.Put({}, bytes.data(), queue.MaxPayload() + 1, 0ms)); // must be split

    queue.EndOfStream();
    PacketInfo info;
    const BYTE* pData = nullptr;
    size_t cb = 0;
    for (int i = 0; i < stored; ++i)
    {
        ASSERT_TRUE(queue.Front(&info, &pData, &cb));
        queue.Pop();
    }
    EXPECT_FALSE(queue.Front(&info, &pData, &cb));
    EXPECT_FALSE(queue.IsClosed());
}

TEST(PacketQueue, CloseReleasesAWaitingConsumerAndProducer)
{
    PacketQueue empty;
    PacketQueue full;
    ASSERT_TRUE(empty.Allocate(4096));
    ASSERT_TRUE(full.Allocate(4096));
    const auto bytes = Pattern(full.MaxPayload(), 2);
    while (full.Put({}, bytes.data(), bytes.size(), 0ms) == PacketQueue::PutResult::Stored)
    {
    }

    std::thread consumer(
        [&]
        {
            PacketInfo info;
            const BYTE* pData = nullptr;
            size_t cb = 0;
            EXPECT_FALSE(empty.Front(&info, &pData, &cb));
        });
    std::thread producer(
        [&]
        {
            EXPECT_EQ(PacketQueue::PutResult::Closed,
                      full.Put({}, bytes.data(), bytes.size(), std::chrono::hours(1)));
        });
    while (!empty.IsConsumerStarving())
        std::this_thread::yield();
    empty.Close();
    full.Close();
    consumer.join();
    producer.join();
}

// A consumer that takes no more: the producer waiting on its full ring goes on at once, and
// every later packet is dropped without a wait; the consumer still hears the end.
TEST(PacketQueue, DiscardReleasesTheProducerAndDropsTheRest)
{
    PacketQueue queue;
    ASSERT_TRUE(queue.Allocate(4096));
    const auto bytes = Pattern(queue.MaxPayload(), 3);
    while (queue.Put({}, bytes.data(), bytes.size(), 0ms) == PacketQueue::PutResult::Stored)
    {
    }
    std::thread producer(
        [&]
        {
            EXPECT_EQ(PacketQueue::PutResult::Discarded,
                      queue.Put({}, bytes.data(), bytes.size(), std::chrono::hours(1)));
            EXPECT_EQ(PacketQueue::PutResult::Discarded,
                      queue.Put({}, bytes.data(), bytes.size(), std::chrono::hours(1)));
            queue.EndOfStream();
        });
    std::this_thread::sleep_for(20ms); // the producer waits for room meanwhile
    queue.Discard();
    producer.join();
    PacketInfo info;
    const BYTE* pData = nullptr;
    size_t cb = 0;
    EXPECT_FALSE(queue.Front(&info, &pData, &cb));
    EXPECT_FALSE(queue.IsConsumerStarving());
}
