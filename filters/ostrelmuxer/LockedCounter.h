#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

// A counter that threads can wait on until it reaches a value, used by the muxer's input
// pins to take turns. A wait is a series of tries: each try tests the value and, if the
// test fails, waits at most 20 ms for the value to change or for CancelWait, yielding a
// few times before it sleeps. A wait ends with false once its tries are spent or after a
// cancelled try.
//
// Cancellation persists until Rearm: a CancelWait that comes before a wait begins still
// ends that wait, so a thread entering its gate while the filter stops cannot stay behind.
class LockedCounter
{
public:
    explicit LockedCounter(uint32_t initial = 0) : m_value(initial) {}

    void Set(uint32_t value);
    uint32_t Add(uint32_t delta);
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
    template <class Test> bool Wait(Test test, uint32_t tries);

    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    uint32_t m_value;
    uint64_t m_changes = 0; // counts value changes and cancellations; tells a try it was woken
    bool m_bArmed = true;
};
