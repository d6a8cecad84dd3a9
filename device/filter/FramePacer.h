#pragma once
// When the capture pin delivers frame n of a run. Frame n covers
// [n, n + 1) frame durations from the run's start and is ready, as on a real
// device, once its span has passed. A frame that is more than one frame duration
// late is skipped (and counted as dropped), so a slow downstream loses frames
// instead of falling ever further behind. With fast pacing every frame is encoded
// at once.

#include <dshow/dshow.h>

#include <cstdint>

class FramePacer
{
public:
    struct Step
    {
        enum Kind
        {
            Encode,
            Wait, // for `wait` 100-ns units, then ask again
            Skip,
        } kind;
        REFERENCE_TIME wait = 0;
    };

    // Frames per second as a fraction.
    FramePacer(std::int32_t numerator, std::int32_t denominator, bool bFast);
    // 30000/1001 frames per second for NTSC, 25 for PAL.
    static FramePacer ForStandard(LONG standard, bool bFast);

    // Start of frame n from the run's start, in 100-ns units.
    REFERENCE_TIME FrameStart(std::int64_t n) const;
    // What to do about frame n when `sinceStart` has passed since the run's start.
    Step Next(std::int64_t n, REFERENCE_TIME sinceStart) const;

private:
    std::int64_t m_numerator;
    std::int64_t m_denominator;
    bool m_bFast;
};
