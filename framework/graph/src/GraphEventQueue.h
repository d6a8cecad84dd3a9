#pragma once
// The events a graph holds for its application: a bounded, thread-safe queue that
// filters fill (through the graph's IMediaEventSink) and the application drains
// with GetEvent or WaitForCompletion.
//
// Locking: one mutex guards the queue; the notification callback is called after
// it is released, so the callback may call GetEvent.

#include "dshow/Control.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace graph
{

class GraphEventQueue
{
public:
    /// Events kept at most; when full, ordinary events are dropped and an ending
    /// event (EC_COMPLETE, EC_USERABORT, EC_ERRORABORT) replaces the oldest
    /// ordinary one, so an ending event is never lost.
    static constexpr std::size_t kCapacity = 1024;

    ~GraphEventQueue();

    void Post(LONG code, LONG_PTR param1, LONG_PTR param2);
    HRESULT Get(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG msTimeout);
    /// Waits for an ending event while the graph runs, dropping other events.
    HRESULT WaitForCompletion(LONG msTimeout, LONG* code);
    /// Tells waiters whether the graph is running; WaitForCompletion fails with
    /// VFW_E_WRONG_STATE when it is not.
    void SetRunning(bool running);

    void SetNotifyCallback(GraphNotifyCallback callback);
    void SetNotifyFlags(LONG flags);
    LONG NotifyFlags();

    static bool IsEndingEvent(LONG code);
    /// Frees what an event's parameters own (the BSTRs of EC_OLE_EVENT).
    static void FreeParams(LONG code, LONG_PTR param1, LONG_PTR param2);

private:
    struct Event
    {
        LONG code;
        LONG_PTR param1;
        LONG_PTR param2;
    };

    /// Adds an event within the capacity rule; false when it was dropped.
    bool EnqueueLocked(const Event& event);
    /// Waits until the predicate holds or the timeout passes; INFINITE (-1) waits forever.
    template <class Predicate>
    bool WaitLocked(std::unique_lock<std::mutex>& lock, LONG msTimeout, Predicate ready);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Event> m_events;
    GraphNotifyCallback m_callback;
    LONG m_flags = 0;
    bool m_running = false;
};

} // namespace graph
