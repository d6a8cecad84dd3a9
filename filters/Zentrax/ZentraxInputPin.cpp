#include "ZentraxInputPin.h"

#include "ZentraxFilter.h"
#include "ZentraxOutputPin.h"

ZentraxInputPin::ZentraxInputPin(ZentraxFilter* pFilter, CCritSec* pLock, CCritSec* pReceiveLock,
                                 HRESULT* phr, LPCWSTR pName)
    : CBaseInputPin(nullptr, pFilter, pLock, phr, pName), m_pZentrax(pFilter),
      m_pReceiveLock(pReceiveLock)
{
}

HRESULT ZentraxInputPin::CheckStreaming()
{
    const ZentraxOutputPin* pOutput = MatchingOutput();
    if (!pOutput || !pOutput->IsConnected())
        return VFW_E_NOT_CONNECTED;
    return CBaseInputPin::CheckStreaming();
}

bool ZentraxInputPin::IsPathConnected() const
{
    const ZentraxOutputPin* pOutput = MatchingOutput();
    return IsConnected() && pOutput && pOutput->IsConnected();
}

HRESULT ZentraxInputPin::BeginFlush()
{
    CAutoLock lock(m_pLock);
    if (!IsPathConnected())
        return VFW_E_NOT_CONNECTED;
    const HRESULT hr = CBaseInputPin::BeginFlush();
    OnBeginFlush();
    FlushPath();
    MatchingOutput()->DeliverBeginFlush();
    return hr;
}

// A Receive that was under way when the flush began may have left units behind; once it has
// returned (the receive lock) they are dropped too.
HRESULT ZentraxInputPin::EndFlush()
{
    CAutoLock lock(m_pLock);
    if (!IsPathConnected())
        return VFW_E_NOT_CONNECTED;
    {
        CAutoLock receiveLock(m_pReceiveLock);
        FlushPath();
    }
    HRESULT hr = MatchingOutput()->DeliverEndFlush();
    if (SUCCEEDED(hr))
        hr = CBaseInputPin::EndFlush();
    m_pZentrax->RestartStream();
    OnEndFlush();
    return hr;
}

HRESULT ZentraxInputPin::AcceptSample(IMediaSample* pSample)
{
    const HRESULT hr = m_pZentrax->StreamResult();
    return hr == S_OK ? CBaseInputPin::Receive(pSample) : hr;
}

LONG ZentraxInputPin::AllocatorBufferSize()
{
    CAutoLock lock(m_pLock);
    ALLOCATOR_PROPERTIES props{};
    if (!m_pAllocator || FAILED(m_pAllocator->GetProperties(&props)))
        return 0;
    return props.cbBuffer;
}
