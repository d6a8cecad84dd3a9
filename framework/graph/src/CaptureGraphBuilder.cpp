#include "CaptureGraphBuilder.h"

#include "FilterGraph.h"
#include "GraphTopology.h"

#include <deque>
#include <set>

namespace graph
{

namespace
{

/// True when the pin offers or carries the major type (any type when null).
bool PinHasMajorType(IPin* pin, const GUID* majorType)
{
    if (!majorType)
        return true;
    AM_MEDIA_TYPE connected{};
    if (SUCCEEDED(pin->ConnectionMediaType(&connected)))
    {
        bool match = connected.majortype == *majorType;
        FreeMediaType(connected);
        return match;
    }
    ComPtr<IEnumMediaTypes> types;
    if (FAILED(pin->EnumMediaTypes(&types)) || !types)
        return false;
    AM_MEDIA_TYPE* type = nullptr;
    while (types->Next(1, &type, nullptr) == S_OK)
    {
        bool match = type->majortype == *majorType;
        DeleteMediaType(type);
        if (match)
            return true;
    }
    return false;
}

HRESULT QueryFilterAndPins(IBaseFilter* filter, PIN_DIRECTION* onlyPins, REFIID riid, void** ppint,
                           bool filterItself)
{
    if (filterItself && SUCCEEDED(filter->QueryInterface(riid, ppint)))
        return S_OK;
    for (const ComPtr<IPin>& pin : PinsOf(filter))
        if ((!onlyPins || DirectionOf(pin.Get()) == *onlyPins) &&
            SUCCEEDED(pin->QueryInterface(riid, ppint)))
            return S_OK;
    return E_NOINTERFACE;
}

/// Breadth-first search through the filters on one side of start (start excluded).
HRESULT SearchSide(IBaseFilter* start, PIN_DIRECTION side, REFIID riid, void** ppint)
{
    std::set<IBaseFilter*> seen{start};
    std::deque<ComPtr<IBaseFilter>> pending;
    for (ComPtr<IBaseFilter>& next : NeighboursOf(start, side))
        pending.push_back(std::move(next));
    while (!pending.empty())
    {
        ComPtr<IBaseFilter> filter = std::move(pending.front());
        pending.pop_front();
        if (!seen.insert(filter.Get()).second)
            continue;
        if (SUCCEEDED(QueryFilterAndPins(filter.Get(), nullptr, riid, ppint, true)))
            return S_OK;
        for (ComPtr<IBaseFilter>& next : NeighboursOf(filter.Get(), side))
            pending.push_back(std::move(next));
    }
    return E_NOINTERFACE;
}

} // namespace

HRESULT CaptureGraphBuilder::SetFiltergraph(IGraphBuilder* pfg)
{
    if (!pfg)
        return E_POINTER;
    if (m_graph)
        return E_UNEXPECTED;
    m_graph = pfg;
    return S_OK;
}

HRESULT CaptureGraphBuilder::GetFiltergraph(IGraphBuilder** ppfg)
{
    if (!ppfg)
        return E_POINTER;
    if (!m_graph)
        m_graph.Attach(new FilterGraph);
    return m_graph.CopyTo(ppfg);
}

HRESULT CaptureGraphBuilder::SetOutputFileName(const GUID*, LPCOLESTR, IBaseFilter** ppf,
                                               IFileSinkFilter** ppSink)
{
    if (ppf)
        *ppf = nullptr;
    if (ppSink)
        *ppSink = nullptr;
    return E_NOTIMPL;
}

HRESULT CaptureGraphBuilder::FindInterface(const GUID* pCategory, const GUID* pType,
                                           IBaseFilter* pf, REFIID riid, void** ppint)
{
    if (!pf || !ppint)
        return E_POINTER;
    *ppint = nullptr;
    if (pCategory && *pCategory == LOOK_UPSTREAM_ONLY)
    {
        PIN_DIRECTION inputs = PINDIR_INPUT;
        if (SUCCEEDED(QueryFilterAndPins(pf, &inputs, riid, ppint, false)))
            return S_OK;
        return SearchSide(pf, PINDIR_INPUT, riid, ppint);
    }
    if (pCategory && *pCategory == LOOK_DOWNSTREAM_ONLY)
    {
        PIN_DIRECTION outputs = PINDIR_OUTPUT;
        if (SUCCEEDED(QueryFilterAndPins(pf, &outputs, riid, ppint, false)))
            return S_OK;
        return SearchSide(pf, PINDIR_OUTPUT, riid, ppint);
    }
    if (pCategory)
    {
        // A pin category: the filter itself (a capture filter may hold its own crossbar or
        // decoder controls), then the matching output pins and what lies downstream of them.
        if (SUCCEEDED(pf->QueryInterface(riid, ppint)))
            return S_OK;
        for (const ComPtr<IPin>& pin : PinsOf(pf))
        {
            if (DirectionOf(pin.Get()) != PINDIR_OUTPUT || !PinHasMajorType(pin.Get(), pType))
                continue;
            if (SUCCEEDED(pin->QueryInterface(riid, ppint)))
                return S_OK;
            if (ComPtr<IPin> peer = PeerOf(pin.Get()))
                if (ComPtr<IBaseFilter> next = OwnerOf(peer.Get()))
                    if (SUCCEEDED(QueryFilterAndPins(next.Get(), nullptr, riid, ppint, true)) ||
                        SUCCEEDED(SearchSide(next.Get(), PINDIR_OUTPUT, riid, ppint)))
                        return S_OK;
        }
        return E_NOINTERFACE;
    }
    if (SUCCEEDED(QueryFilterAndPins(pf, nullptr, riid, ppint, true)) ||
        SUCCEEDED(SearchSide(pf, PINDIR_OUTPUT, riid, ppint)) ||
        SUCCEEDED(SearchSide(pf, PINDIR_INPUT, riid, ppint)))
        return S_OK;
    return E_NOINTERFACE;
}

HRESULT CaptureGraphBuilder::RenderStream(const GUID*, const GUID*, IUnknown*, IBaseFilter*,
                                          IBaseFilter*)
{
    return E_NOTIMPL;
}

HRESULT CaptureGraphBuilder::FindPin(IUnknown* pSource, PIN_DIRECTION pindir, const GUID*,
                                     const GUID* pType, BOOL fUnconnected, int num, IPin** ppPin)
{
    if (!pSource || !ppPin)
        return E_POINTER;
    *ppPin = nullptr;
    ComPtr<IBaseFilter> filter;
    if (FAILED(pSource->QueryInterface(IID_PPV_ARGS(&filter))))
        return E_NOINTERFACE;
    for (const ComPtr<IPin>& pin : PinsOf(filter.Get()))
    {
        if (DirectionOf(pin.Get()) != pindir || (fUnconnected && PeerOf(pin.Get())) ||
            !PinHasMajorType(pin.Get(), pType))
            continue;
        if (num-- == 0)
            return pin.CopyTo(ppPin);
    }
    return E_FAIL;
}

} // namespace graph
