#pragma once
// The stream time of a running filter, for its streaming threads: the reference
// clock's time less the start time Run was given, in 100-ns units. A filter run
// without a clock counts from Run on the monotonic clock.

#include <com/ComPtr.h>
#include <dshow/dshow.h>

#include <chrono>
#include <mutex>

class StreamClock
{
public:
    // At Run, on the application thread.
    void Start(IReferenceClock* pClock, REFERENCE_TIME tStart);
    REFERENCE_TIME Now() const;

private:
    mutable std::mutex m_mutex;
    ComPtr<IReferenceClock> m_pClock;
    REFERENCE_TIME m_tStart = 0;
    std::chrono::steady_clock::time_point m_runAt;
};
