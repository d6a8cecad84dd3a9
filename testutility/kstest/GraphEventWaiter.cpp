#include "GraphEventWaiter.h"

#include "GraphEvents.h"

GraphEventWaiter::GraphEventWaiter(IMediaEventEx* pEvents) : m_pEvents(pEvents)
{
    m_pEvents->SetNotifyCallback(
        [this]
        {
            std::lock_guard lock(m_mutex);
            m_bNotified = true;
            m_cvNotified.notify_all();
        });
}

GraphEventWaiter::~GraphEventWaiter()
{
    m_pEvents->SetNotifyCallback({});
}

bool GraphEventWaiter::WaitForEnding(std::chrono::milliseconds timeout, Ending* pEnding)
{
    {
        std::unique_lock lock(m_mutex);
        m_cvNotified.wait_for(lock, timeout, [this] { return m_bNotified; });
        m_bNotified = false;
    }
    return DrainEvents(pEnding);
}

bool GraphEventWaiter::DrainEvents(Ending* pEnding)
{
    bool bEnded = false;
    LONG code = 0;
    LONG_PTR param1 = 0;
    LONG_PTR param2 = 0;
    while (m_pEvents->GetEvent(&code, &param1, &param2, 0) == S_OK)
    {
        m_pEvents->FreeEventParams(code, param1, param2);
        if (!bEnded && EffectOfGraphEvent(code).bEndsOperation)
        {
            bEnded = true;
            *pEnding = Ending{code, param1};
        }
    }
    return bEnded;
}
