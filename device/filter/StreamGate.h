#pragma once
// Where a streaming thread sleeps between frames or packets. A sleep ends when its
// time is up, when the application thread wakes the sleeper to look at the state
// again (Run, a new setting), or when it interrupts streaming (Stop, a flush);
// an interrupt lasts until Resume, so no sleep can start after Stop.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

class StreamGate
{
public:
    // False when streaming is interrupted.
    bool Sleep(std::chrono::nanoseconds timeout);
    void Wake();
    void Interrupt();
    void Resume();
    bool IsInterrupted();

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_bInterrupted = false;
    std::uint64_t m_wakeups = 0;
};
