#pragma once

// A stand-in for the graph manager in the base-class tests: it answers
// IFilterGraph (nothing but identity) and IMediaEventSink (records events),
// and changes the state of its filters downstream first, as the graph does.

#include "streams.h"

#include <condition_variable>
#include <mutex>
#include <vector>

class CTestGraph : public IFilterGraph, public IMediaEventSink
{
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }

    HRESULT AddFilter(IBaseFilter*, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT RemoveFilter(IBaseFilter*) override { return E_NOTIMPL; }
    HRESULT EnumFilters(IEnumFilters**) override { return E_NOTIMPL; }
    HRESULT FindFilterByName(LPCWSTR, IBaseFilter**) override { return E_NOTIMPL; }
    HRESULT ConnectDirect(IPin*, IPin*, const AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
    HRESULT Reconnect(IPin*) override { return E_NOTIMPL; }
    HRESULT Disconnect(IPin*) override { return E_NOTIMPL; }
    HRESULT SetDefaultSyncSource() override { return E_NOTIMPL; }

    HRESULT Notify(LONG EventCode, LONG_PTR EventParam1, LONG_PTR EventParam2) override;

    // Filters from upstream to downstream; state changes go the other way.
    void Join(std::vector<IBaseFilter*> filters);
    HRESULT Pause();
    HRESULT Run();
    HRESULT Stop();

    int CountEvents(LONG EventCode);
    // Waits (bounded, so a broken build fails instead of hanging) for an event.
    bool WaitForEvent(LONG EventCode, int count = 1);

private:
    template <class Change> HRESULT ForEachDownstreamFirst(Change change);

    std::vector<IBaseFilter*> m_Filters;
    std::mutex m_mutex;
    std::condition_variable m_evEvent;
    std::vector<LONG> m_Events;
};
