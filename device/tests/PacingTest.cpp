// When the capture pin delivers a frame and when the playback pin plays a packet.

#include "FramePacer.h"
#include "PlaybackPacer.h"

#include <gtest/gtest.h>

namespace
{
constexpr REFERENCE_TIME kSecond = 10'000'000;
}

TEST(FramePacer, FramesAreReadyAtTheEndOfTheirSpanAndSkippedWhenAFrameLate)
{
    const FramePacer ntsc = FramePacer::ForStandard(AnalogVideo_NTSC_M, false);
    EXPECT_EQ(1001 * kSecond, ntsc.FrameStart(30000)); // exact over long runs
    const REFERENCE_TIME frame = ntsc.FrameStart(1);
    EXPECT_EQ(333666, frame);

    const FramePacer::Step early = ntsc.Next(10, ntsc.FrameStart(11) - 100);
    EXPECT_EQ(FramePacer::Step::Wait, early.kind);
    EXPECT_EQ(100, early.wait);
    EXPECT_EQ(FramePacer::Step::Encode, ntsc.Next(10, ntsc.FrameStart(11)).kind);
    EXPECT_EQ(FramePacer::Step::Encode, ntsc.Next(10, ntsc.FrameStart(12)).kind);
    EXPECT_EQ(FramePacer::Step::Skip, ntsc.Next(10, ntsc.FrameStart(12) + 1).kind);

    const FramePacer pal = FramePacer::ForStandard(AnalogVideo_PAL_B, false);
    EXPECT_EQ(kSecond / 25, pal.FrameStart(1));
    const FramePacer fast = FramePacer::ForStandard(AnalogVideo_NTSC_M, true);
    EXPECT_EQ(FramePacer::Step::Encode, fast.Next(1000, 0).kind);
    EXPECT_EQ(FramePacer::Step::Encode, fast.Next(0, 100 * kSecond).kind);
}

TEST(PlaybackPacer, PacketsAreDueAtTheirTimeFromTheFirstAndJumpsStartAgain)
{
    PlaybackPacer pacer;
    pacer.Start(false);
    EXPECT_FALSE(pacer.DueTime(100.0, 5 * kSecond)); // the first packet plays at once
    EXPECT_EQ(5 * kSecond + kSecond / 2, pacer.DueTime(100.5, 5 * kSecond));
    EXPECT_EQ(5 * kSecond + 2 * kSecond, pacer.DueTime(102.0, 6 * kSecond));

    // A time far off either way, such as the tick count wrapping, starts again.
    EXPECT_FALSE(pacer.DueTime(10.0, 7 * kSecond));
    EXPECT_EQ(7 * kSecond + kSecond, pacer.DueTime(11.0, 7 * kSecond));
    EXPECT_FALSE(pacer.DueTime(50000.0, 8 * kSecond));

    pacer.Forget();
    EXPECT_FALSE(pacer.DueTime(50000.5, 9 * kSecond));
    pacer.Start(true);
    EXPECT_FALSE(pacer.DueTime(0.0, 0));
    EXPECT_FALSE(pacer.DueTime(1.0, 0));
}
