#include "CaptureFaults.h"

namespace
{
constexpr REFERENCE_TIME kOneSecond = 10000000;
constexpr REFERENCE_TIME kPerMillisecond = 10000;
} // namespace

void CaptureFaults::Start(const FaultPlan& plan)
{
    m_plan = plan;
    m_bStalled = false;
    m_cDropped = 0;
}

CaptureFaults::Action CaptureFaults::Next(REFERENCE_TIME frameStart)
{
    const FaultEvent& stop = m_plan.captureStop;
    if (stop.IsSet() && frameStart >= REFERENCE_TIME(stop.after) * kPerMillisecond)
        return Action::Stop;
    if (frameStart < kOneSecond)
        return Action::Encode;
    if (m_plan.stallMilliseconds != 0 && !m_bStalled)
    {
        m_bStalled = true;
        return Action::Stall;
    }
    if (m_cDropped < m_plan.dropFrames)
    {
        ++m_cDropped;
        return Action::Drop;
    }
    return Action::Encode;
}
