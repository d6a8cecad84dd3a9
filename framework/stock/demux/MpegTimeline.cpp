#include "MpegTimeline.h"

namespace
{
constexpr int64_t kWrap = int64_t(1) << 33;
constexpr int64_t kUnitsPerTick = 1000; // per 9: 10 MHz over 90 kHz
constexpr int64_t kTicksDivisor = 9;
} // namespace

int64_t MpegTimeline::Unwrap(int64_t stamp)
{
    stamp &= kWrap - 1;
    if (!m_bStarted)
    {
        m_bStarted = true;
        m_Origin = stamp;
        m_Last = stamp;
        return stamp;
    }
    // The candidate nearest the last stamp, one wrap either way.
    int64_t unwrapped = (m_Last & ~(kWrap - 1)) | stamp;
    if (unwrapped - m_Last > kWrap / 2)
        unwrapped -= kWrap;
    else if (m_Last - unwrapped > kWrap / 2)
        unwrapped += kWrap;
    m_Last = unwrapped;
    return unwrapped;
}

int64_t MpegTimeline::SampleTime(int64_t pts)
{
    return (Unwrap(pts) - m_Origin) * kUnitsPerTick / kTicksDivisor;
}
