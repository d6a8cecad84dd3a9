#include "TestGraph.h"

#include <chrono>

HRESULT CTestGraph::QueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IMediaEventSink)
        *ppv = static_cast<IMediaEventSink*>(this);
    else if (riid == IID_IFilterGraph || riid == IID_IUnknown)
        *ppv = static_cast<IFilterGraph*>(this);
    else
    {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    return S_OK;
}

HRESULT CTestGraph::Notify(LONG EventCode, LONG_PTR, LONG_PTR)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_Events.push_back(EventCode);
    }
    m_evEvent.notify_all();
    return S_OK;
}

void CTestGraph::Join(std::vector<IBaseFilter*> filters)
{
    m_Filters = std::move(filters);
    for (IBaseFilter* pFilter : m_Filters)
        pFilter->JoinFilterGraph(this, L"test");
}

template <class Change> HRESULT CTestGraph::ForEachDownstreamFirst(Change change)
{
    HRESULT hrResult = S_OK;
    for (auto it = m_Filters.rbegin(); it != m_Filters.rend(); ++it)
    {
        const HRESULT hr = change(*it);
        if (FAILED(hr) && SUCCEEDED(hrResult))
            hrResult = hr;
    }
    return hrResult;
}

HRESULT CTestGraph::Pause()
{
    return ForEachDownstreamFirst([](IBaseFilter* p) { return p->Pause(); });
}

HRESULT CTestGraph::Run()
{
    return ForEachDownstreamFirst([](IBaseFilter* p) { return p->Run(0); });
}

HRESULT CTestGraph::Stop()
{
    return ForEachDownstreamFirst([](IBaseFilter* p) { return p->Stop(); });
}

int CTestGraph::CountEvents(LONG EventCode)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    int count = 0;
    for (LONG code : m_Events)
        count += code == EventCode ? 1 : 0;
    return count;
}

bool CTestGraph::WaitForEvent(LONG EventCode, int count)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_evEvent.wait_for(lock, std::chrono::seconds(30),
                              [&]
                              {
                                  int seen = 0;
                                  for (LONG code : m_Events)
                                      seen += code == EventCode ? 1 : 0;
                                  return seen >= count;
                              });
}
