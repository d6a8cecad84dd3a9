#include "GraphEventQueue.h"

#include "com/Variant.h"
#include "dshow/Errors.h"

#include <algorithm>
#include <chrono>

namespace graph
{

GraphEventQueue::~GraphEventQueue()
{
    for (const Event& event : m_events)
        FreeParams(event.code, event.param1, event.param2);
}

bool GraphEventQueue::IsEndingEvent(LONG code)
{
    return code == EC_COMPLETE || code == EC_USERABORT || code == EC_ERRORABORT;
}

void GraphEventQueue::FreeParams(LONG code, LONG_PTR param1, LONG_PTR param2)
{
    if (code == EC_OLE_EVENT)
    {
        SysFreeString(reinterpret_cast<BSTR>(param1));
        SysFreeString(reinterpret_cast<BSTR>(param2));
    }
}

bool GraphEventQueue::EnqueueLocked(const Event& event)
{
    if (m_events.size() >= kCapacity)
    {
        if (!IsEndingEvent(event.code))
            return false;
        auto ordinary = std::find_if(m_events.begin(), m_events.end(),
                                     [](const Event& e) { return !IsEndingEvent(e.code); });
        if (ordinary == m_events.end())
            return false;
        FreeParams(ordinary->code, ordinary->param1, ordinary->param2);
        m_events.erase(ordinary);
    }
    m_events.push_back(event);
    return true;
}

void GraphEventQueue::Post(LONG code, LONG_PTR param1, LONG_PTR param2)
{
    GraphNotifyCallback callback;
    {
        std::lock_guard lock(m_mutex);
        if ((m_flags & AM_MEDIAEVENT_NONOTIFY) || !EnqueueLocked({code, param1, param2}))
        {
            FreeParams(code, param1, param2);
            return;
        }
        callback = m_callback;
        // Notified under the lock, so that a woken waiter that goes on to release
        // the graph cannot destroy the condition while it is being notified.
        m_changed.notify_all();
    }
    if (callback)
        callback();
}

template <class Predicate>
bool GraphEventQueue::WaitLocked(std::unique_lock<std::mutex>& lock, LONG msTimeout,
                                 Predicate ready)
{
    if (msTimeout < 0) // INFINITE
    {
        m_changed.wait(lock, ready);
        return true;
    }
    return m_changed.wait_for(lock, std::chrono::milliseconds(msTimeout), ready);
}

HRESULT GraphEventQueue::Get(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG msTimeout)
{
    if (!code || !param1 || !param2)
        return E_POINTER;
    *code = 0;
    *param1 = *param2 = 0;
    std::unique_lock lock(m_mutex);
    if (!WaitLocked(lock, msTimeout, [this] { return !m_events.empty(); }))
        return E_ABORT;
    Event event = m_events.front();
    m_events.pop_front();
    *code = event.code;
    *param1 = event.param1;
    *param2 = event.param2;
    return S_OK;
}

HRESULT GraphEventQueue::WaitForCompletion(LONG msTimeout, LONG* code)
{
    if (!code)
        return E_POINTER;
    *code = 0;
    std::unique_lock lock(m_mutex);
    if (!m_running)
        return VFW_E_WRONG_STATE;
    auto endingOrStopped = [this]
    {
        while (!m_events.empty() && !IsEndingEvent(m_events.front().code))
        {
            const Event& dropped = m_events.front();
            FreeParams(dropped.code, dropped.param1, dropped.param2);
            m_events.pop_front();
        }
        return !m_events.empty() || !m_running;
    };
    if (!WaitLocked(lock, msTimeout, endingOrStopped))
        return E_ABORT;
    if (m_events.empty())
        return VFW_E_WRONG_STATE;
    *code = m_events.front().code;
    m_events.pop_front();
    return S_OK;
}

void GraphEventQueue::SetRunning(bool running)
{
    std::lock_guard lock(m_mutex);
    m_running = running;
    m_changed.notify_all();
}

void GraphEventQueue::SetNotifyCallback(GraphNotifyCallback callback)
{
    std::lock_guard lock(m_mutex);
    m_callback = std::move(callback);
}

void GraphEventQueue::SetNotifyFlags(LONG flags)
{
    std::lock_guard lock(m_mutex);
    m_flags = flags;
}

LONG GraphEventQueue::NotifyFlags()
{
    std::lock_guard lock(m_mutex);
    return m_flags;
}

} // namespace graph
