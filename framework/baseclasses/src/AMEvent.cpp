#include "AMEvent.h"

#include <chrono>

CAMEvent::CAMEvent(BOOL fManualReset) : m_bManualReset(fManualReset != FALSE)
{
}

void CAMEvent::Set()
{
    // Notify under the lock: a waiter that sees the event set may destroy it at once, so
    // Set must be done with the object before the waiter can return.
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bSignalled = true;
    if (m_bManualReset)
        m_changed.notify_all();
    else
        m_changed.notify_one();
}

void CAMEvent::Reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bSignalled = false;
}

BOOL CAMEvent::Wait(DWORD dwTimeout)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto signalled = [this] { return m_bSignalled; };
    if (dwTimeout == INFINITE)
        m_changed.wait(lock, signalled);
    else if (!m_changed.wait_for(lock, std::chrono::milliseconds(dwTimeout), signalled))
        return FALSE;
    if (!m_bManualReset)
        m_bSignalled = false;
    return TRUE;
}
