#include "FramePacer.h"

#include "DeviceCaps.h"

namespace
{
constexpr std::int64_t kUnitsPerSecond = 10'000'000;
}

FramePacer::FramePacer(std::int32_t numerator, std::int32_t denominator, bool bFast)
    : m_numerator(numerator), m_denominator(denominator), m_bFast(bFast)
{
}

FramePacer FramePacer::ForStandard(LONG standard, bool bFast)
{
    return DeviceCaps::IsPal(standard) ? FramePacer(25, 1, bFast) : FramePacer(30000, 1001, bFast);
}

REFERENCE_TIME FramePacer::FrameStart(std::int64_t n) const
{
    return n * kUnitsPerSecond * m_denominator / m_numerator;
}

FramePacer::Step FramePacer::Next(std::int64_t n, REFERENCE_TIME sinceStart) const
{
    if (m_bFast)
        return {Step::Encode};
    const REFERENCE_TIME ready = FrameStart(n + 1);
    if (sinceStart < ready)
        return {Step::Wait, ready - sinceStart};
    const REFERENCE_TIME frame = FrameStart(n + 1) - FrameStart(n);
    return {sinceStart - ready > frame ? Step::Skip : Step::Encode};
}
