#pragma once

// Holds a renderer's streaming thread until a time on the graph's reference
// clock (an advise on the clock), or until the renderer's state changes. Every
// state change (Run, Pause, Stop, a flush) calls Interrupt, which ends the
// current wait and any wait that starts from an earlier epoch: a thread reads
// the epoch, then the state, then waits, and so never misses a change made in
// between.

#include "streams.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>

class RenderPacer : private IClockSignal
{
public:
    RenderPacer() = default;
    RenderPacer(const RenderPacer&) = delete;
    RenderPacer& operator=(const RenderPacer&) = delete;

    uint64_t Epoch();
    void Interrupt();

    // Waits until the clock reaches tBase + tStream; false when interrupted
    // (or the epoch has moved on since it was read).
    bool WaitUntil(IReferenceClock* pClock, REFERENCE_TIME tBase, REFERENCE_TIME tStream,
                   uint64_t epoch);
    // Waits for the next interrupt after epoch.
    void WaitForInterrupt(uint64_t epoch);

private:
    void Signal() override;

    std::mutex m_mutex;
    std::condition_variable m_cv;
    uint64_t m_Epoch = 0;
    bool m_bSignalled = false;
};
