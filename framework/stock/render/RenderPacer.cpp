#include "RenderPacer.h"

uint64_t RenderPacer::Epoch()
{
    std::lock_guard lock(m_mutex);
    return m_Epoch;
}

void RenderPacer::Interrupt()
{
    {
        std::lock_guard lock(m_mutex);
        ++m_Epoch;
    }
    m_cv.notify_all();
}

void RenderPacer::Signal()
{
    {
        std::lock_guard lock(m_mutex);
        m_bSignalled = true;
    }
    m_cv.notify_all();
}

bool RenderPacer::WaitUntil(IReferenceClock* pClock, REFERENCE_TIME tBase, REFERENCE_TIME tStream,
                            uint64_t epoch)
{
    {
        std::lock_guard lock(m_mutex);
        m_bSignalled = false;
        if (m_Epoch != epoch)
            return false;
    }
    DWORD_PTR cookie = 0;
    if (FAILED(pClock->AdviseTime(tBase, tStream, this, &cookie)))
        return true; // a clock that cannot advise does not pace
    bool bReached = false;
    {
        std::unique_lock lock(m_mutex);
        m_cv.wait(lock, [&] { return m_bSignalled || m_Epoch != epoch; });
        bReached = m_Epoch == epoch;
    }
    pClock->Unadvise(cookie);
    return bReached;
}

void RenderPacer::WaitForInterrupt(uint64_t epoch)
{
    std::unique_lock lock(m_mutex);
    m_cv.wait(lock, [&] { return m_Epoch != epoch; });
}
