#pragma once

// An event object as the platform has it: manual reset (stays signalled until
// Reset) or auto reset (one successful Wait consumes the signal). Any thread may
// Set, Reset or Wait at any time; the event has its own lock, always innermost.

#include <com/Types.h>

#include <condition_variable>
#include <mutex>

class CAMEvent
{
public:
    explicit CAMEvent(BOOL fManualReset = FALSE);
    CAMEvent(const CAMEvent&) = delete;
    CAMEvent& operator=(const CAMEvent&) = delete;

    void Set();
    void Reset();

    // Waits until the event is signalled or dwTimeout milliseconds have passed
    // (INFINITE waits without limit). TRUE when signalled.
    BOOL Wait(DWORD dwTimeout = INFINITE);

    // Tests the event without waiting.
    BOOL Check() { return Wait(0); }

private:
    const bool m_bManualReset;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_bSignalled = false;
};
