#pragma once

// CBaseFilter: the IBaseFilter of every filter.
//
// Threading and locks (for the whole base-class library):
// - The filter lock (m_pLock, given by the derived filter and shared with its
//   pins) serialises the application thread's calls: Stop, Pause, Run, GetState,
//   connections, JoinFilterGraph. Stop, Pause and Run hold it throughout.
// - Streaming threads (Receive, EndOfStream, NewSegment, an output queue's
//   thread) never take the filter lock: they read the state, which is atomic.
//   A filter that must hold streaming off during a state change uses a receive
//   lock of its own, taken after the filter lock.
// - Lock order: filter lock, then a filter's receive lock(s), then the inner
//   locks of queues, allocators, the asynchronous reader's lists and events.
//   Inner locks are never held while calling another filter.
// - Pins call into the connected filter (Receive, EndOfStream, flushing) without
//   holding an inner lock; the graph stops filters downstream first.
//
// What Stop guarantees: it makes every connected pin inactive. An output pin
// decommits its allocator, an input pin decommits the allocator it was given, so
// a streaming thread waiting in GetBuffer returns VFW_E_NOT_COMMITTED. A pin that
// owns an output queue ends the queue's thread (releasing the samples still
// queued) before Stop returns. Stop needs no cooperation from the streaming
// threads beyond returning from calls into filters that are already stopped.

#include "BaseTypes.h"
#include "CritSec.h"
#include "Unknown.h"

#include <dshow/dshow.h>

#include <atomic>
#include <string>

class CBasePin;

class CBaseFilter : public CUnknown, public IBaseFilter
{
public:
    CBaseFilter(LPCTSTR pName, LPUNKNOWN pUnk, CCritSec* pLock, REFCLSID clsid);
    CBaseFilter(LPCTSTR pName, LPUNKNOWN pUnk, CCritSec* pLock, REFCLSID clsid, HRESULT* phr);
    ~CBaseFilter() override;

    DECLARE_IUNKNOWN

    // Answers IBaseFilter, IMediaFilter and IPersist.
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IPersist
    HRESULT GetClassID(CLSID* pClsID) override;

    // IMediaFilter
    // Stop: connected pins become inactive (allocators decommitted), state Stopped.
    HRESULT Stop() override;
    // Pause: from Stopped, connected pins become active (allocators committed).
    HRESULT Pause() override;
    // Run: pauses first when stopped, records tStart, then Run on connected pins.
    HRESULT Run(REFERENCE_TIME tStart) override;
    HRESULT GetState(DWORD dwMSecs, FILTER_STATE* State) override;
    HRESULT SetSyncSource(IReferenceClock* pClock) override;
    HRESULT GetSyncSource(IReferenceClock** pClock) override;

    // IBaseFilter
    HRESULT EnumPins(IEnumPins** ppEnum) override;
    // Finds a pin by its name.
    HRESULT FindPin(LPCWSTR Id, IPin** ppPin) override;
    HRESULT QueryFilterInfo(FILTER_INFO* pInfo) override;
    // Keeps the graph and its IMediaEventSink without references (the graph
    // holds the filter).
    HRESULT JoinFilterGraph(IFilterGraph* pGraph, LPCWSTR pName) override;
    HRESULT QueryVendorInfo(LPWSTR* pVendorInfo) override;

    // The filter's pins, numbered from 0. GetPin returns null past the last.
    virtual int GetPinCount() = 0;
    virtual CBasePin* GetPin(int n) = 0;

    // Reports an event to the graph. EC_COMPLETE carries this filter as its
    // second parameter. E_NOTIMPL when the filter is not in a graph.
    HRESULT NotifyEvent(LONG EventCode, LONG_PTR EventParam1, LONG_PTR EventParam2);

    BOOL IsActive() const { return m_State != State_Stopped; }
    BOOL IsStopped() const { return m_State == State_Stopped; }

    // Stream time: the clock's time less the start time given to Run.
    HRESULT StreamTime(REFERENCE_TIME& rtStream);

    IFilterGraph* GetFilterGraph() const { return m_pGraph; }

    // Counts the transitions to Running; it changes before the state does.
    LONG GetRunCount() const { return m_lRunCount; }

    // Pin enumerators get out of step when the set of pins changes.
    void IncrementPinVersion() { ++m_PinVersion; }
    LONG GetPinVersion() const { return m_PinVersion; }

protected:
    std::atomic<FILTER_STATE> m_State{State_Stopped};
    IReferenceClock* m_pClock = nullptr; // holds a reference
    REFERENCE_TIME m_tStart = 0;
    CLSID m_clsid;
    CCritSec* const m_pLock;
    std::wstring m_Name;                            // name in the graph
    IFilterGraph* m_pGraph = nullptr;               // no reference
    std::atomic<IMediaEventSink*> m_pSink{nullptr}; // no reference
    std::atomic<LONG> m_PinVersion{1};

private:
    std::atomic<LONG> m_lRunCount{0};
};
