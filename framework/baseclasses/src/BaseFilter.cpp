#include "BaseFilter.h"

#include "BasePin.h"
#include "EnumPins.h"

#include <cwchar>
#include <new>

CBaseFilter::CBaseFilter(LPCTSTR pName, LPUNKNOWN pUnk, CCritSec* pLock, REFCLSID clsid)
    : CUnknown(pName, pUnk), m_clsid(clsid), m_pLock(pLock)
{
}

CBaseFilter::CBaseFilter(LPCTSTR pName, LPUNKNOWN pUnk, CCritSec* pLock, REFCLSID clsid,
                         HRESULT* /*phr*/)
    : CBaseFilter(pName, pUnk, pLock, clsid)
{
}

CBaseFilter::~CBaseFilter()
{
    if (m_pClock)
        m_pClock->Release();
}

HRESULT CBaseFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IBaseFilter || riid == IID_IMediaFilter || riid == IID_IPersist)
        return GetInterface(static_cast<IBaseFilter*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CBaseFilter::GetClassID(CLSID* pClsID)
{
    if (!pClsID)
        return E_POINTER;
    *pClsID = m_clsid;
    return S_OK;
}

HRESULT CBaseFilter::Stop()
{
    CAutoLock lock(m_pLock);
    HRESULT hrResult = S_OK;
    if (m_State != State_Stopped)
    {
        const int cPins = GetPinCount();
        for (int i = 0; i < cPins; ++i)
        {
            CBasePin* pPin = GetPin(i);
            if (!pPin || !pPin->IsConnected())
                continue;
            const HRESULT hr = pPin->Inactive();
            if (FAILED(hr) && SUCCEEDED(hrResult))
                hrResult = hr;
        }
    }
    m_State = State_Stopped;
    return hrResult;
}

HRESULT CBaseFilter::Pause()
{
    CAutoLock lock(m_pLock);
    if (m_State == State_Stopped)
    {
        const int cPins = GetPinCount();
        for (int i = 0; i < cPins; ++i)
        {
            CBasePin* pPin = GetPin(i);
            if (!pPin || !pPin->IsConnected())
                continue;
            const HRESULT hr = pPin->Active();
            if (FAILED(hr))
                return hr;
        }
    }
    m_State = State_Paused;
    return S_OK;
}

HRESULT CBaseFilter::Run(REFERENCE_TIME tStart)
{
    CAutoLock lock(m_pLock);
    m_tStart = tStart;
    if (m_State == State_Stopped)
    {
        const HRESULT hr = Pause();
        if (FAILED(hr))
            return hr;
    }
    if (m_State == State_Running)
        return S_OK;

    // The state changes before the pins hear of it, so a pin that reached end of
    // stream concurrently sees either the new state or the pin Run, never neither.
    ++m_lRunCount;
    m_State = State_Running;
    const int cPins = GetPinCount();
    for (int i = 0; i < cPins; ++i)
    {
        CBasePin* pPin = GetPin(i);
        if (!pPin || !pPin->IsConnected())
            continue;
        const HRESULT hr = pPin->Run(tStart);
        if (FAILED(hr))
        {
            m_State = State_Paused;
            return hr;
        }
    }
    return S_OK;
}

HRESULT CBaseFilter::GetState(DWORD /*dwMSecs*/, FILTER_STATE* State)
{
    if (!State)
        return E_POINTER;
    *State = m_State;
    return S_OK;
}

HRESULT CBaseFilter::SetSyncSource(IReferenceClock* pClock)
{
    CAutoLock lock(m_pLock);
    if (pClock)
        pClock->AddRef();
    if (m_pClock)
        m_pClock->Release();
    m_pClock = pClock;
    return S_OK;
}

HRESULT CBaseFilter::GetSyncSource(IReferenceClock** pClock)
{
    if (!pClock)
        return E_POINTER;
    CAutoLock lock(m_pLock);
    *pClock = m_pClock;
    if (m_pClock)
        m_pClock->AddRef();
    return S_OK;
}

HRESULT CBaseFilter::EnumPins(IEnumPins** ppEnum)
{
    if (!ppEnum)
        return E_POINTER;
    CEnumPins* pEnum = new (std::nothrow) CEnumPins(this, nullptr);
    *ppEnum = pEnum;
    if (!pEnum)
        return E_OUTOFMEMORY;
    pEnum->AddRef();
    return S_OK;
}

HRESULT CBaseFilter::FindPin(LPCWSTR Id, IPin** ppPin)
{
    if (!Id || !ppPin)
        return E_POINTER;
    CAutoLock lock(m_pLock);
    const int cPins = GetPinCount();
    for (int i = 0; i < cPins; ++i)
    {
        CBasePin* pPin = GetPin(i);
        if (pPin && std::wcscmp(pPin->Name(), Id) == 0)
        {
            *ppPin = pPin;
            pPin->AddRef();
            return S_OK;
        }
    }
    *ppPin = nullptr;
    return VFW_E_NOT_FOUND;
}

HRESULT CBaseFilter::QueryFilterInfo(FILTER_INFO* pInfo)
{
    if (!pInfo)
        return E_POINTER;
    CAutoLock lock(m_pLock);
    std::wcsncpy(pInfo->achName, m_Name.c_str(), MAX_FILTER_NAME - 1);
    pInfo->achName[MAX_FILTER_NAME - 1] = L'\0';
    pInfo->pGraph = m_pGraph;
    if (m_pGraph)
        m_pGraph->AddRef();
    return S_OK;
}

HRESULT CBaseFilter::JoinFilterGraph(IFilterGraph* pGraph, LPCWSTR pName)
{
    CAutoLock lock(m_pLock);
    m_pGraph = pGraph;
    m_pSink = nullptr;
    if (pGraph)
    {
        // Kept without a reference: the graph outlives its membership.
        IMediaEventSink* pSink = nullptr;
        if (SUCCEEDED(
                pGraph->QueryInterface(IID_IMediaEventSink, reinterpret_cast<void**>(&pSink))))
        {
            m_pSink = pSink;
            pSink->Release();
        }
    }
    m_Name = pName ? pName : L"";
    return S_OK;
}

HRESULT CBaseFilter::QueryVendorInfo(LPWSTR* /*pVendorInfo*/)
{
    return E_NOTIMPL;
}

HRESULT CBaseFilter::NotifyEvent(LONG EventCode, LONG_PTR EventParam1, LONG_PTR EventParam2)
{
    IMediaEventSink* pSink = m_pSink;
    if (!pSink)
        return E_NOTIMPL;
    if (EventCode == EC_COMPLETE)
        EventParam2 = reinterpret_cast<LONG_PTR>(static_cast<IBaseFilter*>(this));
    return pSink->Notify(EventCode, EventParam1, EventParam2);
}

HRESULT CBaseFilter::StreamTime(REFERENCE_TIME& rtStream)
{
    if (!m_pClock)
        return VFW_E_NO_CLOCK;
    const HRESULT hr = m_pClock->GetTime(&rtStream);
    if (FAILED(hr))
        return hr;
    rtStream -= m_tStart;
    return S_OK;
}
