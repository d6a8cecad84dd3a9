#include "FilterGraph.h"

#include "FilterEnumerator.h"
#include "com/Registry.h"
#include "dshow/Errors.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>

namespace graph
{

namespace
{

constexpr std::size_t kMaxNameLength = MAX_FILTER_NAME - 1;
constexpr int kMaxDuplicateSuffix = 9999;

/// The name a filter gets when added without one: its registered class name.
std::wstring DefaultNameFor(IBaseFilter* filter)
{
    CLSID clsid{};
    std::wstring name;
    if (SUCCEEDED(filter->GetClassID(&clsid)))
    {
        std::wstring key = L"CLSID\\" + GuidToString(clsid);
        RegReadString(HKEY_CLASSES_ROOT, key.c_str(), nullptr, name);
    }
    return name.empty() ? L"Filter" : name;
}

void DisconnectPins(IBaseFilter* filter)
{
    for (const ComPtr<IPin>& pin : PinsOf(filter))
    {
        if (ComPtr<IPin> peer = PeerOf(pin.Get()))
        {
            peer->Disconnect();
            pin->Disconnect();
        }
    }
}

} // namespace

FilterGraph::~FilterGraph()
{
    std::lock_guard lock(m_lock);
    StopLocked();
    for (const Member& member : m_members)
        DisconnectPins(member.filter.Get());
    while (!m_members.empty())
        DetachLocked(m_members.back().filter.Get());
}

void* FilterGraph::QueryExtraInterface(REFIID riid)
{
    if (riid == IID_IFilterGraph)
        return AsFilterGraph();
    if (riid == IID_IMediaEvent)
        return static_cast<IMediaEvent*>(static_cast<IMediaEventEx*>(this));
    if (riid == IID_IVideoWindow && FindVideoWindow())
        return static_cast<IVideoWindow*>(&m_videoWindow);
    return nullptr;
}

ComPtr<IVideoWindow> FilterGraph::FindVideoWindow()
{
    std::lock_guard lock(m_lock);
    for (const Member& member : m_members)
    {
        ComPtr<IVideoWindow> window;
        if (SUCCEEDED(member.filter->QueryInterface(IID_PPV_ARGS(&window))))
            return window;
    }
    return nullptr;
}

FilterList FilterGraph::FiltersLocked()
{
    FilterList filters;
    for (const Member& member : m_members)
        filters.push_back(member.filter);
    return filters;
}

bool FilterGraph::ContainsLocked(IBaseFilter* filter)
{
    return std::any_of(m_members.begin(), m_members.end(),
                       [&](const Member& m) { return m.filter.Get() == filter; });
}

bool FilterGraph::NameTakenLocked(const std::wstring& name)
{
    return std::any_of(m_members.begin(), m_members.end(),
                       [&](const Member& m) { return m.name == name; });
}

std::wstring FilterGraph::UniqueNameLocked(std::wstring name)
{
    name.resize(std::min(name.size(), kMaxNameLength));
    if (!NameTakenLocked(name))
        return name;
    // Like the platform's graph: "Name 0001", "Name 0002", ...
    name.resize(std::min(name.size(), kMaxNameLength - 5));
    for (int n = 1; n <= kMaxDuplicateSuffix; ++n)
    {
        wchar_t suffix[8];
        std::swprintf(suffix, 8, L" %04d", n);
        if (!NameTakenLocked(name + suffix))
            return name + suffix;
    }
    return {};
}

HRESULT FilterGraph::AddFilter(IBaseFilter* pFilter, LPCWSTR pName)
{
    if (!pFilter)
        return E_POINTER;
    std::lock_guard lock(m_lock);
    if (ContainsLocked(pFilter))
        return E_INVALIDARG; // a filter is in a graph once
    std::wstring wanted = pName && *pName ? pName : DefaultNameFor(pFilter);
    std::wstring name = UniqueNameLocked(wanted);
    if (name.empty())
        return VFW_E_DUPLICATE_NAME;
    m_members.push_back({ComPtr<IBaseFilter>(pFilter), name});
    if (HRESULT hr = pFilter->JoinFilterGraph(AsFilterGraph(), name.c_str()); FAILED(hr))
    {
        m_members.pop_back();
        return hr;
    }
    if (m_clock)
        pFilter->SetSyncSource(m_clock.Get());
    return name == wanted ? S_OK : VFW_S_DUPLICATE_NAME;
}

void FilterGraph::DetachLocked(IBaseFilter* filter)
{
    auto it = std::find_if(m_members.begin(), m_members.end(),
                           [&](const Member& m) { return m.filter.Get() == filter; });
    ComPtr<IBaseFilter> removed = std::move(it->filter);
    m_members.erase(it);
    removed->JoinFilterGraph(nullptr, nullptr);
}

HRESULT FilterGraph::RemoveFilter(IBaseFilter* pFilter)
{
    if (!pFilter)
        return E_POINTER;
    std::lock_guard lock(m_lock);
    if (!ContainsLocked(pFilter))
        return VFW_E_NOT_FOUND;
    if (m_state != State_Stopped)
        pFilter->Stop();
    DisconnectPins(pFilter);
    DetachLocked(pFilter);
    return S_OK;
}

HRESULT FilterGraph::EnumFilters(IEnumFilters** ppEnum)
{
    if (!ppEnum)
        return E_POINTER;
    std::lock_guard lock(m_lock);
    *ppEnum = new FilterEnumerator(FiltersLocked());
    return S_OK;
}

HRESULT FilterGraph::FindFilterByName(LPCWSTR pName, IBaseFilter** ppFilter)
{
    if (!pName || !ppFilter)
        return E_POINTER;
    *ppFilter = nullptr;
    std::lock_guard lock(m_lock);
    for (const Member& member : m_members)
        if (member.name == pName)
            return member.filter.CopyTo(ppFilter);
    return VFW_E_NOT_FOUND;
}

HRESULT FilterGraph::ConnectDirect(IPin* ppinOut, IPin* ppinIn, const AM_MEDIA_TYPE* pmt)
{
    if (!ppinOut || !ppinIn)
        return E_POINTER;
    std::lock_guard lock(m_lock);
    ComPtr<IBaseFilter> upstream = OwnerOf(ppinOut);
    ComPtr<IBaseFilter> downstream = OwnerOf(ppinIn);
    if (!upstream || !downstream || !ContainsLocked(upstream.Get()) ||
        !ContainsLocked(downstream.Get()))
        return VFW_E_NOT_IN_GRAPH;
    if (DirectionOf(ppinOut) != PINDIR_OUTPUT || DirectionOf(ppinIn) != PINDIR_INPUT)
        return VFW_E_INVALID_DIRECTION;
    if (m_state != State_Stopped)
        return VFW_E_NOT_STOPPED;
    if (IsDownstreamOf(upstream.Get(), downstream.Get()))
        return VFW_E_CIRCULAR_GRAPH;
    return ppinOut->Connect(ppinIn, pmt);
}

HRESULT FilterGraph::Connect(IPin* ppinOut, IPin* ppinIn)
{
    // No intelligent connect: the pins are joined directly or not at all.
    return ConnectDirect(ppinOut, ppinIn, nullptr);
}

HRESULT FilterGraph::Disconnect(IPin* ppin)
{
    if (!ppin)
        return E_POINTER;
    std::lock_guard lock(m_lock);
    if (m_state != State_Stopped)
        return VFW_E_NOT_STOPPED;
    return ppin->Disconnect();
}

HRESULT FilterGraph::Reconnect(IPin* ppin)
{
    if (!ppin)
        return E_POINTER;
    std::lock_guard lock(m_lock);
    ComPtr<IPin> peer = PeerOf(ppin);
    if (!peer)
        return VFW_E_NOT_CONNECTED;
    AM_MEDIA_TYPE type{};
    bool haveType = SUCCEEDED(ppin->ConnectionMediaType(&type));
    IPin* output = DirectionOf(ppin) == PINDIR_OUTPUT ? ppin : peer.Get();
    IPin* input = output == ppin ? peer.Get() : ppin;
    output->Disconnect();
    input->Disconnect();
    HRESULT hr = ConnectDirect(output, input, haveType ? &type : nullptr);
    if (haveType)
        FreeMediaType(type);
    return hr;
}

HRESULT FilterGraph::SetDefaultSyncSource()
{
    std::lock_guard lock(m_lock);
    UseClockLocked();
    return S_OK;
}

HRESULT FilterGraph::Render(IPin*)
{
    return E_NOTIMPL;
}

HRESULT FilterGraph::RenderFile(LPCWSTR, LPCWSTR)
{
    return E_NOTIMPL;
}

HRESULT FilterGraph::AddSourceFilter(LPCWSTR, LPCWSTR, IBaseFilter** ppFilter)
{
    if (ppFilter)
        *ppFilter = nullptr;
    return E_NOTIMPL;
}

HRESULT FilterGraph::SetLogFile(DWORD_PTR)
{
    return S_OK;
}

HRESULT FilterGraph::Abort()
{
    return S_OK;
}

HRESULT FilterGraph::ShouldOperationContinue()
{
    return S_OK;
}

} // namespace graph
