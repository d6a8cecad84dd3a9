#include "TestFilters.h"

#include <cwchar>

namespace graphtest
{

namespace
{

/// IEnumPins over a snapshot of pins.
class PinEnumerator final : public ComObject<IEnumPins>
{
public:
    explicit PinEnumerator(std::vector<ComPtr<IPin>> pins) : m_pins(std::move(pins)) {}

    HRESULT Next(ULONG cPins, IPin** ppPins, ULONG* pcFetched) override
    {
        ULONG fetched = 0;
        while (fetched < cPins && m_position < m_pins.size())
            m_pins[m_position++].CopyTo(&ppPins[fetched++]);
        if (pcFetched)
            *pcFetched = fetched;
        return fetched == cPins ? S_OK : S_FALSE;
    }
    HRESULT Skip(ULONG cPins) override
    {
        m_position += cPins;
        return S_OK;
    }
    HRESULT Reset() override
    {
        m_position = 0;
        return S_OK;
    }
    HRESULT Clone(IEnumPins**) override { return E_NOTIMPL; }

private:
    std::vector<ComPtr<IPin>> m_pins;
    std::size_t m_position = 0;
};

} // namespace

void CallLog::Add(std::string entry)
{
    std::lock_guard lock(m_mutex);
    m_entries.push_back(std::move(entry));
}

std::vector<std::string> CallLog::Entries()
{
    std::lock_guard lock(m_mutex);
    return m_entries;
}

void CallLog::Clear()
{
    std::lock_guard lock(m_mutex);
    m_entries.clear();
}

TestPin::TestPin(TestFilter* owner, std::wstring name, PIN_DIRECTION direction)
    : m_owner(owner), m_name(std::move(name)), m_direction(direction)
{
}

AM_MEDIA_TYPE TestPin::Type()
{
    AM_MEDIA_TYPE type{};
    type.majortype = MEDIATYPE_Stream;
    type.subtype = MEDIASUBTYPE_MPEG2_PROGRAM;
    type.formattype = FORMAT_None;
    return type;
}

HRESULT TestPin::Connect(IPin* pReceivePin, const AM_MEDIA_TYPE*)
{
    if (m_peer)
        return VFW_E_ALREADY_CONNECTED;
    AM_MEDIA_TYPE type = Type();
    if (HRESULT hr = pReceivePin->ReceiveConnection(this, &type); FAILED(hr))
        return hr;
    m_peer = pReceivePin;
    return S_OK;
}

HRESULT TestPin::ReceiveConnection(IPin* pConnector, const AM_MEDIA_TYPE*)
{
    if (m_peer)
        return VFW_E_ALREADY_CONNECTED;
    m_peer = pConnector;
    return S_OK;
}

HRESULT TestPin::Disconnect()
{
    if (!m_peer)
        return S_FALSE;
    m_peer.Reset();
    return S_OK;
}

HRESULT TestPin::ConnectedTo(IPin** pPin)
{
    *pPin = nullptr;
    return m_peer ? m_peer.CopyTo(pPin) : VFW_E_NOT_CONNECTED;
}

HRESULT TestPin::ConnectionMediaType(AM_MEDIA_TYPE* pmt)
{
    if (!m_peer)
        return VFW_E_NOT_CONNECTED;
    AM_MEDIA_TYPE type = Type();
    return CopyMediaType(pmt, &type);
}

HRESULT TestPin::QueryPinInfo(PIN_INFO* pInfo)
{
    pInfo->pFilter = m_owner;
    m_owner->AddRef();
    pInfo->dir = m_direction;
    std::wcsncpy(pInfo->achName, m_name.c_str(), MAX_PIN_NAME - 1);
    pInfo->achName[MAX_PIN_NAME - 1] = L'\0';
    return S_OK;
}

HRESULT TestPin::QueryDirection(PIN_DIRECTION* pPinDir)
{
    *pPinDir = m_direction;
    return S_OK;
}

HRESULT TestPin::QueryId(LPWSTR*)
{
    return E_NOTIMPL;
}

HRESULT TestPin::QueryAccept(const AM_MEDIA_TYPE*)
{
    return S_OK;
}

HRESULT TestPin::EnumMediaTypes(IEnumMediaTypes**)
{
    return E_NOTIMPL;
}

HRESULT TestPin::QueryInternalConnections(IPin**, ULONG*)
{
    return E_NOTIMPL;
}

TestFilter::TestFilter(std::string name, int inputs, int outputs, CallLog* log)
    : m_name(std::move(name)), m_log(log)
{
    for (int i = 0; i < inputs; ++i)
        m_inputs.push_back(MakeComObject<TestPin>(this, L"In" + std::to_wstring(i), PINDIR_INPUT));
    for (int i = 0; i < outputs; ++i)
        m_outputs.push_back(
            MakeComObject<TestPin>(this, L"Out" + std::to_wstring(i), PINDIR_OUTPUT));
}

std::vector<ComPtr<IPin>> TestFilter::AllPins()
{
    std::vector<ComPtr<IPin>> pins(m_inputs.begin(), m_inputs.end());
    pins.insert(pins.end(), m_outputs.begin(), m_outputs.end());
    return pins;
}

HRESULT TestFilter::GetClassID(CLSID* pClassID)
{
    *pClassID = m_classId;
    return S_OK;
}

HRESULT TestFilter::Stop()
{
    if (m_log)
        m_log->Add(m_name + ":Stop");
    m_state = State_Stopped;
    return S_OK;
}

HRESULT TestFilter::Pause()
{
    if (m_log)
        m_log->Add(m_name + ":Pause");
    if (FAILED(m_pauseResult))
        return m_pauseResult;
    m_state = State_Paused;
    return m_pauseResult;
}

HRESULT TestFilter::Run(REFERENCE_TIME tStart)
{
    if (m_log)
        m_log->Add(m_name + ":Run");
    m_runStart = tStart;
    m_state = State_Running;
    return S_OK;
}

HRESULT TestFilter::GetState(DWORD, FILTER_STATE* State)
{
    *State = m_state;
    return S_OK;
}

HRESULT TestFilter::SetSyncSource(IReferenceClock* pClock)
{
    m_clock = pClock;
    return S_OK;
}

HRESULT TestFilter::GetSyncSource(IReferenceClock** pClock)
{
    return m_clock.CopyTo(pClock);
}

HRESULT TestFilter::EnumPins(IEnumPins** ppEnum)
{
    *ppEnum = new PinEnumerator(AllPins());
    return S_OK;
}

HRESULT TestFilter::FindPin(LPCWSTR, IPin** ppPin)
{
    *ppPin = nullptr;
    return VFW_E_NOT_FOUND;
}

HRESULT TestFilter::QueryFilterInfo(FILTER_INFO* pInfo)
{
    std::wcsncpy(pInfo->achName, m_graphName.c_str(), MAX_FILTER_NAME - 1);
    pInfo->achName[MAX_FILTER_NAME - 1] = L'\0';
    pInfo->pGraph = m_graph;
    if (m_graph)
        m_graph->AddRef();
    return S_OK;
}

HRESULT TestFilter::JoinFilterGraph(IFilterGraph* pGraph, LPCWSTR pName)
{
    m_graph = pGraph;
    m_graphName = pName ? pName : L"";
    return S_OK;
}

HRESULT TestFilter::QueryVendorInfo(LPWSTR*)
{
    return E_NOTIMPL;
}

HRESULT TestFilter::Report(LONG code, LONG_PTR param1, bool nameSelf)
{
    ComPtr<IMediaEventSink> sink;
    if (!m_graph || FAILED(m_graph->QueryInterface(IID_PPV_ARGS(&sink))))
        return E_UNEXPECTED;
    LONG_PTR self = nameSelf ? reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this)) : 0;
    return sink->Notify(code, param1, self);
}

} // namespace graphtest
