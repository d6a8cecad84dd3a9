#pragma once

// Turns the 33-bit 90 kHz time stamps of a program stream into sample times
// (100-ns units) that start near 0: stream time 0 is the first pack's system
// clock reference (or the first PTS, when a PTS comes first). Stamps are
// unwrapped against the last one seen, so a stream that runs across the
// 33-bit wrap (about 26.5 hours) keeps counting up.

#include <cstdint>

class MpegTimeline
{
public:
    void Reset() { m_bStarted = false; }

    void OnSystemClock(int64_t scr) { Unwrap(scr); }
    // The sample time of a PTS.
    int64_t SampleTime(int64_t pts);

private:
    int64_t Unwrap(int64_t stamp);

    bool m_bStarted = false;
    int64_t m_Origin = 0; // unwrapped ticks of stream time 0
    int64_t m_Last = 0;   // the last stamp, unwrapped
};
