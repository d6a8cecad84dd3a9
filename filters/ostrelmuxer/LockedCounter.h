#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

// A counter that threads can wait on until it reaches a value, used by the muxer's input
// pins to take turns. A wait is a series of tries: each try tests the value and, if the
// test fails, waits at most 20 ms for the value to pass it or for CancelWait. A wait ends
// with false once its tries are spent or after a cancelled try. A change wakes a waiting
// thread only when the new value passes that thread's test: the muxer's inputs change the
// counter several times per turn, and every needless wake-up costs a context switch.
//
// Cancellation persists until Rearm: a CancelWait that comes before a wait begins still
// ends that wait, so a thread entering its gate while the filter stops cannot stay behind.
class LockedCounter
{
public:
    explicit LockedCounter(uint32_t initial = 0) : m_value(initial) {}

    // With bWake false the change wakes nobody until WakePassingWaiters: a thread that
    // changes the counter under a lock the woken thread needs next wakes it after
    // releasing that lock, so the woken thread does not block on the lock at once.
    void Set(uint32_t value, bool bWake = true);
    uint32_t Add(uint32_t delta, bool bWake = true);
    void WakePassingWaiters();
    void Sub(uint32_t delta);
    uint32_t Get() const;
    bool IsBelow(uint32_t limit) const;
    bool IsEqual(uint32_t value) const;

    // Wait until value < limit (unsigned) or until value == target.
    bool WaitBelow(uint32_t limit, uint32_t tries);
    bool WaitEqual(uint32_t target, uint32_t tries);

    // Ends every wait going on and every later wait until Rearm.
    void CancelWait();
    void Rearm();

private:
    using Test = bool (*)(uint32_t value, uint32_t bound);
    // A thread inside Wait, listed while it waits.
    struct Waiter
    {
        Test passes;
        uint32_t bound;
        Waiter* pNext;
    };

    bool Wait(Test passes, uint32_t bound, uint32_t tries);
    // Under the lock: whether the value lets any waiting thread pass.
    bool AnyWaiterPasses() const;
    void Unlist(const Waiter* pWaiter);
    // Sets the value, or adds to it; wakes the waiters it lets pass when bWake.
    uint32_t Change(uint32_t operand, bool bAdd, bool bWake);

    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    uint32_t m_value;
    Waiter* m_pWaiters = nullptr;
    bool m_bArmed = true;
};
