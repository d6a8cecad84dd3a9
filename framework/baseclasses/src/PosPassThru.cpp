#include "PosPassThru.h"

#include <com/ComPtr.h>

#include <new>

CPosPassThru::CPosPassThru(LPCTSTR pName, LPUNKNOWN pUnk, HRESULT* phr, IPin* pPin)
    : CUnknown(pName, pUnk), m_pPin(pPin)
{
    if (!pPin && phr)
        *phr = E_POINTER;
}

HRESULT CPosPassThru::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IMediaSeeking)
        return GetInterface(static_cast<IMediaSeeking*>(this), ppv);
    if (riid == IID_IMediaPosition)
        return GetInterface(static_cast<IMediaPosition*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

template <class Interface, class Call> HRESULT CPosPassThru::Forward(const IID& iid, Call call)
{
    ComPtr<IPin> pConnected;
    if (!m_pPin || FAILED(m_pPin->ConnectedTo(pConnected.ReleaseAndGetAddressOf())))
        return E_NOTIMPL;
    ComPtr<Interface> pPeer;
    if (FAILED(pConnected->QueryInterface(
            iid, reinterpret_cast<void**>(pPeer.ReleaseAndGetAddressOf()))))
        return E_NOTIMPL;
    return call(pPeer.Get());
}

HRESULT CPosPassThru::GetPeerSeeking(IMediaSeeking** ppMS)
{
    *ppMS = nullptr;
    return Forward<IMediaSeeking>(IID_IMediaSeeking,
                                  [ppMS](IMediaSeeking* p)
                                  {
                                      *ppMS = p;
                                      p->AddRef();
                                      return S_OK;
                                  });
}

HRESULT CPosPassThru::GetPeer(IMediaPosition** ppMP)
{
    *ppMP = nullptr;
    return Forward<IMediaPosition>(IID_IMediaPosition,
                                   [ppMP](IMediaPosition* p)
                                   {
                                       *ppMP = p;
                                       p->AddRef();
                                       return S_OK;
                                   });
}

#define FORWARD_SEEKING(call)                                                                      \
    return Forward<IMediaSeeking>(IID_IMediaSeeking, [&](IMediaSeeking* p) { return p->call; })
#define FORWARD_POSITION(call)                                                                     \
    return Forward<IMediaPosition>(IID_IMediaPosition, [&](IMediaPosition* p) { return p->call; })

HRESULT CPosPassThru::GetCapabilities(DWORD* pCapabilities)
{
    FORWARD_SEEKING(GetCapabilities(pCapabilities));
}
HRESULT CPosPassThru::CheckCapabilities(DWORD* pCapabilities)
{
    FORWARD_SEEKING(CheckCapabilities(pCapabilities));
}
HRESULT CPosPassThru::IsFormatSupported(const GUID* pFormat)
{
    FORWARD_SEEKING(IsFormatSupported(pFormat));
}
HRESULT CPosPassThru::QueryPreferredFormat(GUID* pFormat)
{
    FORWARD_SEEKING(QueryPreferredFormat(pFormat));
}
HRESULT CPosPassThru::GetTimeFormat(GUID* pFormat)
{
    FORWARD_SEEKING(GetTimeFormat(pFormat));
}
HRESULT CPosPassThru::IsUsingTimeFormat(const GUID* pFormat)
{
    FORWARD_SEEKING(IsUsingTimeFormat(pFormat));
}
HRESULT CPosPassThru::SetTimeFormat(const GUID* pFormat)
{
    FORWARD_SEEKING(SetTimeFormat(pFormat));
}
HRESULT CPosPassThru::GetDuration(LONGLONG* pDuration)
{
    FORWARD_SEEKING(GetDuration(pDuration));
}
HRESULT CPosPassThru::GetStopPosition(LONGLONG* pStop)
{
    FORWARD_SEEKING(GetStopPosition(pStop));
}
HRESULT CPosPassThru::GetCurrentPosition(LONGLONG* pCurrent)
{
    FORWARD_SEEKING(GetCurrentPosition(pCurrent));
}

HRESULT CPosPassThru::ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat,
                                        LONGLONG Source, const GUID* pSourceFormat)
{
    FORWARD_SEEKING(ConvertTimeFormat(pTarget, pTargetFormat, Source, pSourceFormat));
}

HRESULT CPosPassThru::SetPositions(LONGLONG* pCurrent, DWORD dwCurrentFlags, LONGLONG* pStop,
                                   DWORD dwStopFlags)
{
    FORWARD_SEEKING(SetPositions(pCurrent, dwCurrentFlags, pStop, dwStopFlags));
}

HRESULT CPosPassThru::GetPositions(LONGLONG* pCurrent, LONGLONG* pStop)
{
    FORWARD_SEEKING(GetPositions(pCurrent, pStop));
}
HRESULT CPosPassThru::GetAvailable(LONGLONG* pEarliest, LONGLONG* pLatest)
{
    FORWARD_SEEKING(GetAvailable(pEarliest, pLatest));
}
HRESULT CPosPassThru::SetRate(double dRate)
{
    FORWARD_SEEKING(SetRate(dRate));
}
HRESULT CPosPassThru::GetRate(double* pdRate)
{
    FORWARD_SEEKING(GetRate(pdRate));
}
HRESULT CPosPassThru::GetPreroll(LONGLONG* pllPreroll)
{
    FORWARD_SEEKING(GetPreroll(pllPreroll));
}

HRESULT CPosPassThru::get_Duration(REFTIME* plength)
{
    FORWARD_POSITION(get_Duration(plength));
}
HRESULT CPosPassThru::put_CurrentPosition(REFTIME llTime)
{
    FORWARD_POSITION(put_CurrentPosition(llTime));
}
HRESULT CPosPassThru::get_CurrentPosition(REFTIME* pllTime)
{
    FORWARD_POSITION(get_CurrentPosition(pllTime));
}
HRESULT CPosPassThru::get_StopTime(REFTIME* pllTime)
{
    FORWARD_POSITION(get_StopTime(pllTime));
}
HRESULT CPosPassThru::put_StopTime(REFTIME llTime)
{
    FORWARD_POSITION(put_StopTime(llTime));
}
HRESULT CPosPassThru::get_PrerollTime(REFTIME* pllTime)
{
    FORWARD_POSITION(get_PrerollTime(pllTime));
}
HRESULT CPosPassThru::put_PrerollTime(REFTIME llTime)
{
    FORWARD_POSITION(put_PrerollTime(llTime));
}
HRESULT CPosPassThru::put_Rate(double dRate)
{
    FORWARD_POSITION(put_Rate(dRate));
}
HRESULT CPosPassThru::get_Rate(double* pdRate)
{
    FORWARD_POSITION(get_Rate(pdRate));
}
HRESULT CPosPassThru::CanSeekForward(LONG* pCanSeekForward)
{
    FORWARD_POSITION(CanSeekForward(pCanSeekForward));
}
HRESULT CPosPassThru::CanSeekBackward(LONG* pCanSeekBackward)
{
    FORWARD_POSITION(CanSeekBackward(pCanSeekBackward));
}

HRESULT CreatePosPassThru(LPUNKNOWN pAgg, BOOL /*bRenderer*/, IPin* pPin, IUnknown** ppPassThru)
{
    if (!ppPassThru)
        return E_POINTER;
    *ppPassThru = nullptr;
    HRESULT hr = S_OK;
    CPosPassThru* pPassThru =
        new (std::nothrow) CPosPassThru(NAME("Seeking pass-through"), pAgg, &hr, pPin);
    if (!pPassThru)
        return E_OUTOFMEMORY;
    if (FAILED(hr))
    {
        delete pPassThru;
        return hr;
    }
    return pPassThru->NonDelegatingQueryInterface(IID_IUnknown,
                                                  reinterpret_cast<void**>(ppPassThru));
}
