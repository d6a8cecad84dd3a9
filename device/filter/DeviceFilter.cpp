#include "DeviceFilter.h"

#include "VirtualCaptureDevice.h"

CDeviceFilter::CDeviceFilter(LPUNKNOWN pUnk, HRESULT* phr, CaptureSourceFactory factory)
    : CBaseFilter(NAME("Virtual capture device"), pUnk, &m_csFilter, CLSID_VirtualCaptureDevice),
      m_controls(GetOwner(), m_state, [this] { return UnstoredRunCounts(); }),
      m_pCapturePin(std::make_unique<CCapturePin>(this, &m_csFilter, phr, std::move(factory))),
      m_pPlaybackPin(std::make_unique<CPlaybackPin>(this, &m_csFilter, phr))
{
}

CDeviceFilter::~CDeviceFilter()
{
    Stop();
}

HRESULT CDeviceFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IPersistPropertyBag)
        return GetInterface(static_cast<IPersistPropertyBag*>(this), ppv);
    if (riid == IID_IAMFilterMiscFlags)
        return GetInterface(static_cast<IAMFilterMiscFlags*>(this), ppv);
    if (CDeviceControls::IsControlInterface(riid))
        return m_controls.NonDelegatingQueryInterface(riid, ppv);
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

CBasePin* CDeviceFilter::GetPin(int n)
{
    switch (n)
    {
    case 0:
        return m_pCapturePin.get();
    case 1:
        return m_pPlaybackPin.get();
    default:
        return nullptr;
    }
}

HRESULT CDeviceFilter::Stop()
{
    CAutoLock lock(&m_csFilter);
    const bool bWasActive = IsActive();
    const HRESULT hr = CBaseFilter::Stop();
    if (bWasActive)
        StoreRunCounts();
    return hr;
}

HRESULT CDeviceFilter::Pause()
{
    CAutoLock lock(&m_csFilter);
    if (m_State == State_Running)
        m_pCapturePin->EndRun();
    if (m_State == State_Stopped)
    {
        m_bRunStored = false;
        m_bLive = m_pCapturePin->IsConnected();
    }
    return CBaseFilter::Pause();
}

HRESULT CDeviceFilter::GetState(DWORD dwMSecs, FILTER_STATE* State)
{
    const HRESULT hr = CBaseFilter::GetState(dwMSecs, State);
    if (SUCCEEDED(hr) && *State == State_Paused && m_bLive)
        return VFW_S_CANT_CUE;
    return hr;
}

HRESULT CDeviceFilter::JoinFilterGraph(IFilterGraph* pGraph, LPCWSTR pName)
{
    if (pGraph)
    {
        if (const HRESULT hrRefused = m_state.Faults().joinResult; FAILED(hrRefused))
        {
            m_state.Count(&DeviceCounters::joinsRefused);
            return hrRefused;
        }
    }
    return CBaseFilter::JoinFilterGraph(pGraph, pName);
}

HRESULT CDeviceFilter::GetClassID(CLSID* pClsID)
{
    return CBaseFilter::GetClassID(pClsID);
}

HRESULT CDeviceFilter::InitNew()
{
    return S_OK;
}

HRESULT CDeviceFilter::Load(IPropertyBag* pPropBag, IErrorLog*)
{
    if (!pPropBag)
        return E_POINTER;
    CAutoLock lock(&m_csFilter);
    if (!IsStopped())
        return VFW_E_NOT_STOPPED;
    m_state.Attach(pPropBag);
    if (const HRESULT hrRefused = m_state.Faults().bindResult; FAILED(hrRefused))
    {
        m_state.Count(&DeviceCounters::bindsRefused);
        return hrRefused;
    }
    return S_OK;
}

HRESULT CDeviceFilter::Save(IPropertyBag*, BOOL, BOOL)
{
    return S_OK;
}

ULONG CDeviceFilter::GetMiscFlags()
{
    return AM_FILTER_MISC_FLAGS_IS_SOURCE |
           (m_pPlaybackPin->IsConnected() ? AM_FILTER_MISC_FLAGS_IS_RENDERER : 0);
}

DeviceCounters CDeviceFilter::UnstoredRunCounts()
{
    DeviceCounters counts;
    if (m_bRunStored)
        return counts;
    counts = m_pCapturePin->RunCounts();
    counts += m_pPlaybackPin->RunCounts();
    return counts;
}

void CDeviceFilter::StoreRunCounts()
{
    m_state.AddToCounters(UnstoredRunCounts());
    m_bRunStored = true;
}
