#include "StreamClock.h"

void StreamClock::Start(IReferenceClock* pClock, REFERENCE_TIME tStart)
{
    std::lock_guard lock(m_mutex);
    m_pClock = pClock;
    m_tStart = tStart;
    m_runAt = std::chrono::steady_clock::now();
}

REFERENCE_TIME StreamClock::Now() const
{
    std::lock_guard lock(m_mutex);
    REFERENCE_TIME now = 0;
    if (m_pClock && SUCCEEDED(m_pClock->GetTime(&now)))
        return now - m_tStart;
    const auto elapsed = std::chrono::steady_clock::now() - m_runAt;
    return std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count() / 100;
}
