#pragma once

// Waits for the graph's events on the calling thread. The graph's notification
// (on whatever thread queued the event) only wakes the waiter; the events are
// then taken from the graph's queue on the waiting thread, as a window would on
// its own thread.

#include <com/ComPtr.h>
#include <dshow/dshow.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

class GraphEventWaiter
{
public:
    // What ended the operation.
    struct Ending
    {
        LONG code = 0;
        LONG_PTR param1 = 0;
    };

    explicit GraphEventWaiter(IMediaEventEx* pEvents);
    ~GraphEventWaiter();
    GraphEventWaiter(const GraphEventWaiter&) = delete;
    GraphEventWaiter& operator=(const GraphEventWaiter&) = delete;

    // Waits up to timeout for events and takes all that are queued; true when one
    // of them ends the operation (*pEnding tells which).
    bool WaitForEnding(std::chrono::milliseconds timeout, Ending* pEnding);

private:
    bool DrainEvents(Ending* pEnding);

    ComPtr<IMediaEventEx> m_pEvents;
    std::mutex m_mutex;
    std::condition_variable m_cvNotified;
    bool m_bNotified = false;
};
