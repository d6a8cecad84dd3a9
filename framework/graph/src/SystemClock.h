#pragma once
// The system reference clock: the monotonic clock in 100-ns units, with one-shot
// and periodic advises served by a thread of its own (started at the first advise).
//
// An advise's IClockSignal is signalled with the clock's lock held; Signal must
// not call back into the clock. After Unadvise returns, its signal is never called.

#include "com/ComObject.h"
#include "dshow/Filters.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace graph
{

class SystemClock final : public ComObject<IReferenceClock>
{
public:
    SystemClock() = default;
    ~SystemClock() override;

    HRESULT GetTime(REFERENCE_TIME* pTime) override;
    HRESULT AdviseTime(REFERENCE_TIME baseTime, REFERENCE_TIME streamTime, HEVENT hEvent,
                       DWORD_PTR* pdwAdviseCookie) override;
    HRESULT AdvisePeriodic(REFERENCE_TIME startTime, REFERENCE_TIME periodTime,
                           HSEMAPHORE hSemaphore, DWORD_PTR* pdwAdviseCookie) override;
    HRESULT Unadvise(DWORD_PTR dwAdviseCookie) override;

    static REFERENCE_TIME Now();

private:
    struct Advise
    {
        DWORD_PTR cookie;
        REFERENCE_TIME due;
        REFERENCE_TIME period; ///< 0 for one-shot advises
        IClockSignal* signal;
    };

    HRESULT AddAdvise(REFERENCE_TIME due, REFERENCE_TIME period, IClockSignal* signal,
                      DWORD_PTR* cookie);
    void ServeAdvises();
    /// Signals what is due; returns when the next advise falls due (or -1 if none).
    REFERENCE_TIME SignalDueLocked();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Advise> m_advises;
    DWORD_PTR m_nextCookie = 1;
    bool m_stopping = false;
    std::thread m_thread;
};

} // namespace graph
