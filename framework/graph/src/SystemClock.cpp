#include "SystemClock.h"

#include <algorithm>
#include <chrono>

namespace graph
{

namespace
{

using Units = std::chrono::duration<LONGLONG, std::ratio<1, 10'000'000>>;

std::chrono::steady_clock::time_point TimePointOf(REFERENCE_TIME time)
{
    return std::chrono::steady_clock::time_point(
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(Units(time)));
}

} // namespace

REFERENCE_TIME SystemClock::Now()
{
    return std::chrono::duration_cast<Units>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

SystemClock::~SystemClock()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

HRESULT SystemClock::GetTime(REFERENCE_TIME* pTime)
{
    if (!pTime)
        return E_POINTER;
    *pTime = Now();
    return S_OK;
}

HRESULT SystemClock::AdviseTime(REFERENCE_TIME baseTime, REFERENCE_TIME streamTime, HEVENT hEvent,
                                DWORD_PTR* pdwAdviseCookie)
{
    if (baseTime < 0 || streamTime < 0 || baseTime > INT64_MAX - streamTime)
        return E_INVALIDARG;
    return AddAdvise(baseTime + streamTime, 0, hEvent, pdwAdviseCookie);
}

HRESULT SystemClock::AdvisePeriodic(REFERENCE_TIME startTime, REFERENCE_TIME periodTime,
                                    HSEMAPHORE hSemaphore, DWORD_PTR* pdwAdviseCookie)
{
    if (startTime < 0 || periodTime <= 0)
        return E_INVALIDARG;
    return AddAdvise(startTime, periodTime, hSemaphore, pdwAdviseCookie);
}

HRESULT SystemClock::AddAdvise(REFERENCE_TIME due, REFERENCE_TIME period, IClockSignal* signal,
                               DWORD_PTR* cookie)
{
    if (!cookie)
        return E_POINTER;
    *cookie = 0;
    if (!signal)
        return E_INVALIDARG;
    {
        std::lock_guard lock(m_mutex);
        *cookie = m_nextCookie++;
        m_advises.push_back({*cookie, due, period, signal});
        if (!m_thread.joinable())
            m_thread = std::thread([this] { ServeAdvises(); });
    }
    m_changed.notify_all();
    return S_OK;
}

HRESULT SystemClock::Unadvise(DWORD_PTR dwAdviseCookie)
{
    std::lock_guard lock(m_mutex);
    auto it = std::find_if(m_advises.begin(), m_advises.end(),
                           [&](const Advise& a) { return a.cookie == dwAdviseCookie; });
    if (it == m_advises.end())
        return S_FALSE;
    m_advises.erase(it);
    return S_OK;
}

REFERENCE_TIME SystemClock::SignalDueLocked()
{
    REFERENCE_TIME now = Now();
    REFERENCE_TIME next = -1;
    for (auto it = m_advises.begin(); it != m_advises.end();)
    {
        if (it->due <= now)
        {
            it->signal->Signal();
            if (it->period == 0)
            {
                it = m_advises.erase(it);
                continue;
            }
            // A late periodic advise signals once and resumes on its period grid.
            it->due += ((now - it->due) / it->period + 1) * it->period;
        }
        next = next < 0 ? it->due : std::min(next, it->due);
        ++it;
    }
    return next;
}

void SystemClock::ServeAdvises()
{
    std::unique_lock lock(m_mutex);
    while (!m_stopping)
    {
        REFERENCE_TIME next = SignalDueLocked();
        if (next < 0)
            m_changed.wait(lock);
        else
            m_changed.wait_until(lock, TimePointOf(next));
    }
}

} // namespace graph
