#include "LockedCounter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <thread>

namespace
{
constexpr uint32_t kForever = UINT32_MAX;

TEST(LockedCounter, OpenGatePassesEvenWhenCancelled)
{
    LockedCounter counter(2);
    counter.CancelWait();
    EXPECT_TRUE(counter.WaitEqual(2, kForever));
    EXPECT_TRUE(counter.WaitBelow(3, kForever));
}

TEST(LockedCounter, SpentTriesEndTheWait)
{
    LockedCounter counter(5);
    EXPECT_FALSE(counter.WaitEqual(4, 1));
    EXPECT_FALSE(counter.WaitBelow(5, 2));
}

TEST(LockedCounter, CancelBeforeTheWaitBeginsEndsIt)
{
    LockedCounter counter(0);
    counter.CancelWait();
    EXPECT_FALSE(counter.WaitEqual(1, kForever));
    EXPECT_FALSE(counter.WaitBelow(0, kForever));
}

TEST(LockedCounterThreaded, CancelReleasesAWaitingThread)
{
    LockedCounter counter(0);
    std::atomic<bool> result{true};
    std::thread waiter([&] { result = counter.WaitEqual(1, kForever); });
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    counter.CancelWait();
    waiter.join();
    EXPECT_FALSE(result);
}

TEST(LockedCounterThreaded, RearmedCounterWaitsForTheValueAgain)
{
    LockedCounter counter(0);
    counter.CancelWait();
    counter.Rearm();
    std::atomic<bool> result{false};
    std::thread waiter([&] { result = counter.WaitEqual(3, kForever); });
    counter.Add(1);
    counter.Add(1);
    counter.Add(1);
    waiter.join();
    EXPECT_TRUE(result);
}

// The muxer's protocol: a video turn resets the counter, each audio turn adds one, and
// video may go again once `perVideo` audio turns were taken.
TEST(LockedCounterThreaded, TwoRacingThreadsTakeTurnsInOrder)
{
    constexpr uint32_t perVideo = 4;
    constexpr int videoTurns = 300;
    LockedCounter counter(perVideo);
    std::string order;
    std::mutex orderLock;
    auto record = [&](char turn)
    {
        std::lock_guard lock(orderLock);
        order += turn;
    };
    auto jitter = [](std::mt19937& random)
    { std::this_thread::sleep_for(std::chrono::microseconds(random() % 50)); };

    std::thread video(
        [&]
        {
            std::mt19937 random(1);
            for (int i = 0; i < videoTurns; ++i)
            {
                jitter(random);
                ASSERT_TRUE(counter.WaitEqual(perVideo, kForever));
                record('V');
                counter.Set(0);
            }
        });
    std::thread audio(
        [&]
        {
            std::mt19937 random(2);
            for (uint32_t i = 0; i < videoTurns * perVideo; ++i)
            {
                jitter(random);
                ASSERT_TRUE(counter.WaitBelow(perVideo, kForever));
                record('A');
                counter.Add(1);
            }
        });
    video.join();
    audio.join();

    ASSERT_EQ(order.size(), size_t{videoTurns * (perVideo + 1)});
    for (size_t i = 0; i < order.size(); ++i)
        ASSERT_EQ(order[i], i % (perVideo + 1) == 0 ? 'V' : 'A') << "at turn " << i;
}
} // namespace
