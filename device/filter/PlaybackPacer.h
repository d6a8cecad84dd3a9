#pragma once
// When the playback pin plays a packet: at its 90 kHz time, measured from the
// first packet of the run, on the stream clock. A packet time that jumps by more
// than two seconds either way (a new stream, a cut, the 32-bit tick count wrapping
// around, a damaged header) starts the measure again at that packet, so a bad time
// can never make playback wait long. Fast pacing plays every packet at once.

#include <dshow/dshow.h>

#include <optional>

class PlaybackPacer
{
public:
    void Start(bool bFast);
    // The next packet starts a new measure (after a flush).
    void Forget() { m_anchor.reset(); }
    // The stream time at which the packet stamped `seconds` is due, given the stream
    // time now; null when it is not to wait.
    std::optional<REFERENCE_TIME> DueTime(double seconds, REFERENCE_TIME now);

private:
    struct Anchor
    {
        double seconds;
        REFERENCE_TIME streamTime;
    };

    bool m_bFast = false;
    std::optional<Anchor> m_anchor;
    double m_lastSeconds = 0.0;
};
