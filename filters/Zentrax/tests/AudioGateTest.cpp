// The audio gate with a real waiting thread: it opens for the first video unit, and Stop, an
// audio flush or the end of the video stream release the waiter without opening it.
#include "AudioGate.h"

#include <gtest/gtest.h>

#include <functional>
#include <future>

namespace
{
// Starts a wait on another thread, then makes the change; the wait's result.
bool WaitThen(AudioGate& gate, const std::function<void()>& change)
{
    std::future<bool> waiter = std::async(std::launch::async, [&gate] { return gate.Wait(); });
    change();
    return waiter.get();
}
} // namespace

TEST(AudioGate, OpensForTheFirstVideoUnitAndStaysOpen)
{
    AudioGate gate;
    gate.Start();
    EXPECT_TRUE(WaitThen(gate, [&] { gate.SetVideoReady(true); }));
    EXPECT_TRUE(gate.Wait());
    gate.SetVideoEnded(true);
    EXPECT_TRUE(gate.Wait());
}

TEST(AudioGate, StopFlushAndEndOfVideoReleaseAWaiterWithoutOpening)
{
    AudioGate gate;
    gate.Start();
    EXPECT_FALSE(WaitThen(gate, [&] { gate.Stop(); }));
    EXPECT_FALSE(gate.Wait());

    gate.Start();
    EXPECT_FALSE(WaitThen(gate, [&] { gate.SetFlushing(true); }));
    gate.SetFlushing(false);
    EXPECT_FALSE(WaitThen(gate, [&] { gate.SetVideoEnded(true); }));

    // A flush of the video stream after its end lets audio wait for its units again.
    gate.SetVideoEnded(false);
    EXPECT_TRUE(WaitThen(gate, [&] { gate.SetVideoReady(true); }));
}

TEST(AudioGate, NewVideoSegmentClosesItAndAStoppedGateRefusesEvenWhenReady)
{
    AudioGate gate;
    gate.Start();
    gate.SetVideoReady(true);
    gate.SetVideoReady(false);
    EXPECT_TRUE(WaitThen(gate, [&] { gate.SetVideoReady(true); }));

    gate.Stop();
    gate.SetVideoReady(true);
    EXPECT_FALSE(gate.Wait());
    gate.Start();
    EXPECT_FALSE(WaitThen(gate, [&] { gate.Stop(); }));
}
