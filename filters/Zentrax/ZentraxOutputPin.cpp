#include "ZentraxOutputPin.h"

#include "ZentraxFilter.h"
#include "ZentraxInputPin.h"

#include <algorithm>

ZentraxOutputPin::ZentraxOutputPin(ZentraxFilter* pFilter, CCritSec* pLock, CCritSec* pReceiveLock,
                                   HRESULT* phr, LPCWSTR pName)
    : CQueuedOutputPin(nullptr, pFilter, pLock, phr, pName, TRUE), m_pZentrax(pFilter),
      m_pReceiveLock(pReceiveLock)
{
}

IPin* ZentraxOutputPin::SeekingUpstreamPin() const
{
    return MatchingInput();
}

HRESULT ZentraxOutputPin::CheckConnect(IPin* pPin)
{
    const ZentraxInputPin* pInput = MatchingInput();
    if (!pInput || !pInput->IsConnected())
        return E_UNEXPECTED;
    return CBaseOutputPin::CheckConnect(pPin);
}

HRESULT ZentraxOutputPin::SetMediaType(const CMediaType* pmt)
{
    const HRESULT hr = CBaseOutputPin::SetMediaType(pmt);
    if (FAILED(hr))
        return hr;
    CAutoLock lock(m_pReceiveLock);
    return SetPathType(*pmt);
}

HRESULT ZentraxOutputPin::DecideBufferSize(IMemAllocator* pAllocator,
                                           ALLOCATOR_PROPERTIES* pRequest)
{
    if (!pAllocator || !pRequest)
        return E_POINTER;
    const LONG cbInputBuffer = MatchingInput() ? MatchingInput()->AllocatorBufferSize() : 0;
    pRequest->cbBuffer = std::max(pRequest->cbBuffer, MinBufferSize());
    pRequest->cBuffers =
        std::max(pRequest->cBuffers, cbInputBuffer / MinBufferSize() + ExtraBuffers());

    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = pAllocator->SetProperties(pRequest, &actual);
    const bool bEnough =
        actual.cBuffers >= pRequest->cBuffers && actual.cbBuffer >= pRequest->cbBuffer;
    *pRequest = actual;
    if (FAILED(hr))
        return hr;
    return bEnough ? S_OK : E_FAIL;
}

void ZentraxOutputPin::ReleaseBufferWaiters()
{
    if (m_pAllocator)
        m_pAllocator->Decommit();
}
