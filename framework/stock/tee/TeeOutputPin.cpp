#include "TeeOutputPin.h"

#include "AllocatorSizing.h"
#include "InfTeeFilter.h"

CTeeOutputPin::CTeeOutputPin(CInfTeeFilter* pTee, CCritSec* pLock, HRESULT* phr, LPCWSTR pName)
    : CBaseOutputPin(NAME("Tee output"), pTee, pLock, phr, pName), m_pTee(pTee),
      m_Seeking(GetOwner(), pTee->InputPin()), m_Refusal(pTee)
{
}

HRESULT CTeeOutputPin::Active()
{
    m_Refusal.Reset();
    return S_OK;
}

HRESULT CTeeOutputPin::DeliverEndFlush()
{
    const HRESULT hr = CBaseOutputPin::DeliverEndFlush();
    m_Refusal.Reset();
    return hr;
}

HRESULT CTeeOutputPin::DeliverSample(IMediaSample* pSample)
{
    const HRESULT hr = m_Refusal.Result();
    return hr != S_OK ? hr : m_Refusal.FromDelivery(Deliver(pSample));
}

HRESULT CTeeOutputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (ppv && SeekingPassThrough::IsSeekingInterface(riid))
        return m_Seeking.QueryInterface(riid, ppv);
    return CBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CTeeOutputPin::CheckConnect(IPin* pPin)
{
    if (!m_pTee->InputPin()->IsConnected())
        return VFW_E_NOT_CONNECTED;
    return CBaseOutputPin::CheckConnect(pPin);
}

HRESULT CTeeOutputPin::CompleteConnect(IPin* pReceivePin)
{
    const HRESULT hr = CBaseOutputPin::CompleteConnect(pReceivePin);
    if (SUCCEEDED(hr))
        m_pTee->OnOutputConnected();
    return hr;
}

HRESULT CTeeOutputPin::CheckMediaType(const CMediaType* pmt)
{
    const CTeeInputPin* pInput = m_pTee->InputPin();
    if (!pInput->IsConnected())
        return VFW_E_NOT_CONNECTED;
    return *pmt == pInput->CurrentMediaType() ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CTeeOutputPin::GetMediaType(int iPosition, CMediaType* pmt)
{
    const CTeeInputPin* pInput = m_pTee->InputPin();
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 0 || !pInput->IsConnected())
        return VFW_S_NO_MORE_ITEMS;
    return pmt->Set(pInput->CurrentMediaType());
}

HRESULT CTeeOutputPin::DecideAllocator(IMemInputPin* pPin, IMemAllocator** ppAlloc)
{
    IMemAllocator* pUpstream = m_pTee->InputPin()->UpstreamAllocator();
    if (!pUpstream)
        return CBaseOutputPin::DecideAllocator(pPin, ppAlloc);
    const HRESULT hr = pPin->NotifyAllocator(pUpstream, TRUE);
    if (FAILED(hr))
        return hr;
    pUpstream->AddRef();
    *ppAlloc = pUpstream;
    return S_OK;
}

HRESULT CTeeOutputPin::DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest)
{
    // Only used when the upstream pin gave the input no allocator.
    return SetAllocatorAtLeast(pAlloc, *pRequest, 1, 65536);
}
