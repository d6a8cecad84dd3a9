#include "LockedCounter.h"

#include <chrono>

namespace
{
constexpr std::chrono::milliseconds kTryInterval{20};
} // namespace

void LockedCounter::Set(uint32_t value, bool bWake)
{
    Change(value, false, bWake);
}

uint32_t LockedCounter::Add(uint32_t delta, bool bWake)
{
    return Change(delta, true, bWake);
}

uint32_t LockedCounter::Change(uint32_t operand, bool bAdd, bool bWake)
{
    uint32_t value;
    {
        std::lock_guard lock(m_lock);
        value = m_value = bAdd ? m_value + operand : operand;
        bWake = bWake && AnyWaiterPasses();
    }
    if (bWake)
        m_changed.notify_all();
    return value;
}

void LockedCounter::WakePassingWaiters()
{
    bool bWake;
    {
        std::lock_guard lock(m_lock);
        bWake = AnyWaiterPasses();
    }
    if (bWake)
        m_changed.notify_all();
}

bool LockedCounter::AnyWaiterPasses() const
{
    for (const Waiter* pWaiter = m_pWaiters; pWaiter; pWaiter = pWaiter->pNext)
    {
        if (pWaiter->passes(m_value, pWaiter->bound))
            return true;
    }
    return false;
}

void LockedCounter::Sub(uint32_t delta)
{
    Add(0u - delta);
}

uint32_t LockedCounter::Get() const
{
    std::lock_guard lock(m_lock);
    return m_value;
}

bool LockedCounter::IsBelow(uint32_t limit) const
{
    return Get() < limit;
}

bool LockedCounter::IsEqual(uint32_t value) const
{
    return Get() == value;
}

bool LockedCounter::WaitBelow(uint32_t limit, uint32_t tries)
{
    return Wait([](uint32_t value, uint32_t bound) { return value < bound; }, limit, tries);
}

bool LockedCounter::WaitEqual(uint32_t target, uint32_t tries)
{
    return Wait([](uint32_t value, uint32_t bound) { return value == bound; }, target, tries);
}

void LockedCounter::CancelWait()
{
    {
        std::lock_guard lock(m_lock);
        m_bArmed = false;
    }
    m_changed.notify_all();
}

void LockedCounter::Rearm()
{
    std::lock_guard lock(m_lock);
    m_bArmed = true;
}

// Each try: test; if the test fails, wait up to 20 ms for a value that passes or a
// cancellation; count the try; give up when the tries are spent or the wait was cancelled.
// The test comes first, so an open gate costs no wait, and a cancelled wait still passes
// when its condition already holds.
bool LockedCounter::Wait(Test passes, uint32_t bound, uint32_t tries)
{
    std::unique_lock lock(m_lock);
    Waiter self{passes, bound, m_pWaiters};
    m_pWaiters = &self;
    bool bPassed = false;
    for (;;)
    {
        if (passes(m_value, bound))
        {
            bPassed = true;
            break;
        }
        m_changed.wait_for(lock, kTryInterval, [&] { return passes(m_value, bound) || !m_bArmed; });
        if (--tries == 0 || !m_bArmed)
            break;
    }
    Unlist(&self);
    return bPassed;
}

void LockedCounter::Unlist(const Waiter* pWaiter)
{
    for (Waiter** ppLink = &m_pWaiters; *ppLink; ppLink = &(*ppLink)->pNext)
    {
        if (*ppLink == pWaiter)
        {
            *ppLink = pWaiter->pNext;
            return;
        }
    }
}
