// FilterGraph: run state (IMediaControl) and events (IMediaEventEx, IMediaEventSink).

#include "FilterGraph.h"
#include "SystemClock.h"
#include "dshow/Errors.h"

namespace graph
{

namespace
{

/// How far ahead of now stream time 0 is placed at Run, so that every filter has
/// been told to run before its first sample is due.
constexpr REFERENCE_TIME kRunLatency = 10 * 10'000; // 10 ms

HRESULT Combine(HRESULT soFar, HRESULT next)
{
    if (FAILED(soFar))
        return soFar;
    if (FAILED(next))
        return next;
    return (soFar == S_FALSE || next == S_FALSE) ? S_FALSE : S_OK;
}

} // namespace

HRESULT FilterGraph::ChangeStates(const std::function<HRESULT(IBaseFilter*)>& change, bool toAll)
{
    HRESULT result = S_OK;
    for (const ComPtr<IBaseFilter>& filter : DownstreamFirst(FiltersLocked()))
    {
        result = Combine(result, change(filter.Get()));
        if (FAILED(result) && !toAll)
            break;
    }
    return result;
}

void FilterGraph::UseClockLocked()
{
    if (!m_clock)
        m_clock.Attach(new SystemClock);
    for (const Member& member : m_members)
        member.filter->SetSyncSource(m_clock.Get());
}

FilterList FilterGraph::RenderersLocked()
{
    FilterList renderers;
    for (const Member& member : m_members)
        if (IsRenderer(member.filter.Get()))
            renderers.push_back(member.filter);
    return renderers;
}

REFERENCE_TIME FilterGraph::StreamTimeLocked()
{
    switch (m_state)
    {
    case State_Running:
        return std::max<REFERENCE_TIME>(0, SystemClock::Now() - m_runStart);
    case State_Paused:
        return m_pausedStreamTime;
    default:
        return 0;
    }
}

HRESULT FilterGraph::PauseLocked()
{
    if (m_state == State_Paused)
        return S_OK;
    if (m_state == State_Stopped)
    {
        UseClockLocked();
        m_completion.Reset(RenderersLocked());
        m_pausedStreamTime = 0;
    }
    else
    {
        m_pausedStreamTime = StreamTimeLocked();
    }
    m_events.SetRunning(false);
    HRESULT hr = ChangeStates([](IBaseFilter* f) { return f->Pause(); }, false);
    if (FAILED(hr))
    {
        // Some filters may have paused already: take them all back to Stopped.
        m_state = State_Paused;
        StopLocked();
        return hr;
    }
    m_state = State_Paused;
    return hr;
}

HRESULT FilterGraph::StopLocked()
{
    if (m_state == State_Stopped)
        return S_OK;
    m_completion.Disarm();
    m_events.SetRunning(false);
    if (m_state == State_Running)
        ChangeStates([](IBaseFilter* f) { return f->Pause(); }, true);
    HRESULT hr = ChangeStates([](IBaseFilter* f) { return f->Stop(); }, true);
    m_state = State_Stopped;
    m_pausedStreamTime = 0;
    return hr;
}

HRESULT FilterGraph::Pause()
{
    std::lock_guard lock(m_lock);
    return PauseLocked();
}

HRESULT FilterGraph::Stop()
{
    std::lock_guard lock(m_lock);
    return StopLocked();
}

HRESULT FilterGraph::Run()
{
    std::lock_guard lock(m_lock);
    if (m_state == State_Running)
        return S_OK;
    HRESULT paused = S_OK;
    if (m_state == State_Stopped && FAILED(paused = PauseLocked()))
        return paused;
    m_runStart = SystemClock::Now() + kRunLatency - m_pausedStreamTime;
    REFERENCE_TIME start = m_runStart;
    HRESULT hr = ChangeStates([start](IBaseFilter* f) { return f->Run(start); }, false);
    if (FAILED(hr))
    {
        StopLocked();
        return hr;
    }
    m_state = State_Running;
    m_events.SetRunning(true);
    return Combine(paused, hr);
}

HRESULT FilterGraph::GetState(LONG msTimeout, OAFilterState* pfs)
{
    if (!pfs)
        return E_POINTER;
    std::lock_guard lock(m_lock);
    *pfs = m_state;
    HRESULT result = S_OK;
    for (const Member& member : m_members)
    {
        FILTER_STATE filterState;
        HRESULT hr = member.filter->GetState(DWORD(msTimeout), &filterState);
        if (FAILED(hr))
            return hr;
        if (hr == VFW_S_STATE_INTERMEDIATE || hr == VFW_S_CANT_CUE)
            result = hr;
    }
    return result;
}

HRESULT FilterGraph::StopWhenReady()
{
    std::lock_guard lock(m_lock);
    if (HRESULT hr = PauseLocked(); FAILED(hr))
        return hr;
    OAFilterState state;
    GetState(LONG(INFINITE), &state);
    return StopLocked();
}

HRESULT FilterGraph::Notify(LONG EventCode, LONG_PTR EventParam1, LONG_PTR EventParam2)
{
    if (EventCode == EC_COMPLETE && !m_completeHandledByApplication)
    {
        if (m_completion.Report(reinterpret_cast<IBaseFilter*>(EventParam2)))
            m_events.Post(EC_COMPLETE, S_OK, 0);
        return S_OK;
    }
    m_events.Post(EventCode, EventParam1, EventParam2);
    return S_OK;
}

HRESULT FilterGraph::GetEvent(LONG* lEventCode, LONG_PTR* lParam1, LONG_PTR* lParam2,
                              LONG msTimeout)
{
    return m_events.Get(lEventCode, lParam1, lParam2, msTimeout);
}

HRESULT FilterGraph::WaitForCompletion(LONG msTimeout, LONG* pEvCode)
{
    return m_events.WaitForCompletion(msTimeout, pEvCode);
}

HRESULT FilterGraph::CancelDefaultHandling(LONG lEvCode)
{
    if (lEvCode != EC_COMPLETE)
        return E_INVALIDARG; // the only event this graph handles itself
    m_completeHandledByApplication = true;
    return S_OK;
}

HRESULT FilterGraph::RestoreDefaultHandling(LONG lEvCode)
{
    if (lEvCode != EC_COMPLETE)
        return E_INVALIDARG;
    m_completeHandledByApplication = false;
    return S_OK;
}

HRESULT FilterGraph::FreeEventParams(LONG lEvCode, LONG_PTR lParam1, LONG_PTR lParam2)
{
    GraphEventQueue::FreeParams(lEvCode, lParam1, lParam2);
    return S_OK;
}

HRESULT FilterGraph::SetNotifyCallback(GraphNotifyCallback callback)
{
    m_events.SetNotifyCallback(std::move(callback));
    return S_OK;
}

HRESULT FilterGraph::SetNotifyFlags(LONG lNoNotifyFlags)
{
    if (lNoNotifyFlags & ~AM_MEDIAEVENT_NONOTIFY)
        return E_INVALIDARG;
    m_events.SetNotifyFlags(lNoNotifyFlags);
    return S_OK;
}

HRESULT FilterGraph::GetNotifyFlags(LONG* lplNoNotifyFlags)
{
    if (!lplNoNotifyFlags)
        return E_POINTER;
    *lplNoNotifyFlags = m_events.NotifyFlags();
    return S_OK;
}

} // namespace graph
