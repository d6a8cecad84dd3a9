#include "RenderStatistics.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double kUnitsPerMillisecond = 10000.0;
} // namespace

void RenderStatistics::Moments::Add(double value)
{
    ++count;
    sum += value;
    sumOfSquares += value * value;
}

double RenderStatistics::Moments::Mean() const
{
    return count ? sum / double(count) : 0.0;
}

double RenderStatistics::Moments::Deviation() const
{
    if (count < 2)
        return 0.0;
    const double mean = Mean();
    return std::sqrt(std::max(0.0, sumOfSquares / double(count) - mean * mean));
}

void RenderStatistics::Reset()
{
    std::lock_guard lock(m_mutex);
    m_Counts = Counts{};
}

void RenderStatistics::OnDrawn(REFERENCE_TIME tNow, REFERENCE_TIME tLate)
{
    std::lock_guard lock(m_mutex);
    if (m_Counts.cDrawn == 0)
        m_Counts.tFirstDraw = tNow;
    else
        m_Counts.interval.Add(double(tNow - m_Counts.tLastDraw) / kUnitsPerMillisecond);
    m_Counts.tLastDraw = tNow;
    m_Counts.syncOffset.Add(double(tLate) / kUnitsPerMillisecond);
    ++m_Counts.cDrawn;
}

void RenderStatistics::OnDropped()
{
    std::lock_guard lock(m_mutex);
    ++m_Counts.cDropped;
}

int RenderStatistics::FramesDrawn()
{
    std::lock_guard lock(m_mutex);
    return m_Counts.cDrawn;
}

int RenderStatistics::FramesDropped()
{
    std::lock_guard lock(m_mutex);
    return m_Counts.cDropped;
}

int RenderStatistics::AvgFrameRate()
{
    std::lock_guard lock(m_mutex);
    const REFERENCE_TIME tSpan = m_Counts.tLastDraw - m_Counts.tFirstDraw;
    if (m_Counts.cDrawn < 2 || tSpan <= 0)
        return 0;
    return int(std::lround(100.0 * double(m_Counts.cDrawn - 1) * double(UNITS) / double(tSpan)));
}

int RenderStatistics::Jitter()
{
    std::lock_guard lock(m_mutex);
    return int(std::lround(m_Counts.interval.Deviation()));
}

int RenderStatistics::AvgSyncOffset()
{
    std::lock_guard lock(m_mutex);
    return int(std::lround(m_Counts.syncOffset.Mean()));
}

int RenderStatistics::DevSyncOffset()
{
    std::lock_guard lock(m_mutex);
    return int(std::lround(m_Counts.syncOffset.Deviation()));
}
