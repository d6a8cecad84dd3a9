#pragma once

// CStreamFailure: the first result that ended a filter's stream, kept until the stream starts
// again (the filter leaves Stopped, or a flush ends), so that every input of the filter
// refuses the rest of the stream with it instead of working for nothing.
//
// Who reports a failure to the graph: the filter where it began. A failure of the filter's
// own work (no buffer, a broken sample) is posted as EC_ERRORABORT once, unless the result
// only says that streaming is being stopped. A result that a downstream pin returned from
// Receive was reported where it began; it is only kept and passed upstream. S_FALSE ("send
// no more") is kept like a failure.
//
// The first result kept calls onEnd, on the streaming thread that met it: a filter lets its
// threads that wait for each other go there. Thread-safe.

#include "BaseFilter.h"

#include <atomic>
#include <functional>

class CStreamFailure
{
public:
    explicit CStreamFailure(CBaseFilter* pFilter, std::function<void()> onEnd = {});

    // S_OK while the stream goes on, else the result that ended it.
    HRESULT Result() const { return m_hr; }

    // Keeps hr unless it is S_OK; returns it.
    HRESULT FromDelivery(HRESULT hr);
    // Keeps a failure of the filter's own work and reports it; returns it.
    HRESULT FromOwnWork(HRESULT hr);

    void Reset() { m_hr = S_OK; }

    // Results that say the stream is stopping or flushing rather than failing.
    static bool IsStopping(HRESULT hr);

private:
    // True when hr is the first result kept.
    bool Keep(HRESULT hr);

    CBaseFilter* const m_pFilter;
    const std::function<void()> m_onEnd;
    std::atomic<HRESULT> m_hr{S_OK};
};
