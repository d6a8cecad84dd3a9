#include "LockedCounter.h"

#include <chrono>
#include <thread>

namespace
{
constexpr std::chrono::milliseconds kTryInterval{20};
// The other input's turn usually ends within microseconds: yielding a few times before
// sleeping spares the thread a sleep and a wake-up for most turns.
constexpr int kYieldsBeforeSleeping = 16;
} // namespace

void LockedCounter::Set(uint32_t value)
{
    {
        std::lock_guard lock(m_lock);
        m_value = value;
        ++m_changes;
    }
    m_changed.notify_all();
}

uint32_t LockedCounter::Add(uint32_t delta)
{
    uint32_t value;
    {
        std::lock_guard lock(m_lock);
        value = m_value += delta;
        ++m_changes;
    }
    m_changed.notify_all();
    return value;
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
    return Wait([limit](uint32_t value) { return value < limit; }, tries);
}

bool LockedCounter::WaitEqual(uint32_t target, uint32_t tries)
{
    return Wait([target](uint32_t value) { return value == target; }, tries);
}

void LockedCounter::CancelWait()
{
    {
        std::lock_guard lock(m_lock);
        m_bArmed = false;
        ++m_changes;
    }
    m_changed.notify_all();
}

void LockedCounter::Rearm()
{
    std::lock_guard lock(m_lock);
    m_bArmed = true;
}

// Each try: test; if the test fails, wait up to 20 ms for a change or a cancellation;
// count the try; give up when the tries are spent or the wait was cancelled. The test
// comes first, so an open gate costs no wait, and a cancelled wait still passes when its
// condition already holds.
template <class Test> bool LockedCounter::Wait(Test test, uint32_t tries)
{
    std::unique_lock lock(m_lock);
    for (;;)
    {
        if (test(m_value))
            return true;
        const uint64_t seen = m_changes;
        auto woken = [&] { return m_changes != seen || !m_bArmed; };
        for (int i = 0; i < kYieldsBeforeSleeping && !woken(); ++i)
        {
            lock.unlock();
            std::this_thread::yield();
            lock.lock();
        }
        m_changed.wait_for(lock, kTryInterval, woken);
        if (--tries == 0 || !m_bArmed)
            return false;
    }
}
