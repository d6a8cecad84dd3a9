#include "StreamGate.h"

bool StreamGate::Sleep(std::chrono::nanoseconds timeout)
{
    std::unique_lock lock(m_mutex);
    const std::uint64_t wakeups = m_wakeups;
    m_changed.wait_for(lock, timeout, [&] { return m_bInterrupted || m_wakeups != wakeups; });
    return !m_bInterrupted;
}

void StreamGate::Wake()
{
    {
        std::lock_guard lock(m_mutex);
        ++m_wakeups;
    }
    m_changed.notify_all();
}

void StreamGate::Interrupt()
{
    {
        std::lock_guard lock(m_mutex);
        m_bInterrupted = true;
    }
    m_changed.notify_all();
}

void StreamGate::Resume()
{
    std::lock_guard lock(m_mutex);
    m_bInterrupted = false;
}

bool StreamGate::IsInterrupted()
{
    std::lock_guard lock(m_mutex);
    return m_bInterrupted;
}
