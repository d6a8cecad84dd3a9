#include "PlaybackPacer.h"

#include <cmath>

namespace
{
constexpr double kMaxStepSeconds = 2.0;
constexpr double kUnitsPerSecond = 1e7;
} // namespace

void PlaybackPacer::Start(bool bFast)
{
    m_bFast = bFast;
    m_anchor.reset();
}

std::optional<REFERENCE_TIME> PlaybackPacer::DueTime(double seconds, REFERENCE_TIME now)
{
    if (m_bFast)
        return std::nullopt;
    const bool bJump = m_anchor && std::fabs(seconds - m_lastSeconds) > kMaxStepSeconds;
    m_lastSeconds = seconds;
    if (!m_anchor || bJump)
    {
        m_anchor = Anchor{seconds, now};
        return std::nullopt;
    }
    return m_anchor->streamTime + static_cast<REFERENCE_TIME>(std::llround(
                                      (seconds - m_anchor->seconds) * kUnitsPerSecond));
}
