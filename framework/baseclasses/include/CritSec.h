#pragma once

// Critical section and scoped lock of the base classes.
//
// A CCritSec is a recursive mutex: the thread that holds it may enter it again,
// which filters rely on (a state change that holds the filter lock calls pin
// methods that take the same lock). CAutoLock holds a CCritSec for a scope.

#include <atomic>
#include <mutex>
#include <thread>

class CCritSec
{
public:
    CCritSec() = default;
    CCritSec(const CCritSec&) = delete;
    CCritSec& operator=(const CCritSec&) = delete;

    void Lock()
    {
        m_mutex.lock();
        m_owner.store(std::this_thread::get_id(), std::memory_order_relaxed);
        ++m_depth;
    }

    void Unlock()
    {
        if (--m_depth == 0)
            m_owner.store(std::thread::id(), std::memory_order_relaxed);
        m_mutex.unlock();
    }

    // True when the calling thread holds the lock (for assertions).
    bool IsHeldByCurrentThread() const
    {
        return m_owner.load(std::memory_order_relaxed) == std::this_thread::get_id();
    }

private:
    std::recursive_mutex m_mutex;
    std::atomic<std::thread::id> m_owner{};
    int m_depth = 0; // guarded by m_mutex
};

// True when the calling thread holds pcCrit.
inline bool CritCheckIn(const CCritSec* pcCrit)
{
    return pcCrit->IsHeldByCurrentThread();
}

class CAutoLock
{
public:
    explicit CAutoLock(CCritSec* plock) : m_pLock(plock) { m_pLock->Lock(); }
    ~CAutoLock() { m_pLock->Unlock(); }
    CAutoLock(const CAutoLock&) = delete;
    CAutoLock& operator=(const CAutoLock&) = delete;

private:
    CCritSec* m_pLock;
};
