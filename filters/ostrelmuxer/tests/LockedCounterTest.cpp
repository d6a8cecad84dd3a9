#include "LockedCounter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
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
} // namespace
