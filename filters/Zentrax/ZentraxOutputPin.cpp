#include "ZentraxOutputPin.h"

#include "ZentraxFilter.h"
#include "ZentraxInputPin.h"

#include <algorithm>
#include <new>

namespace
{
constexpr LONG kQueueListSize = 10;
}

ZentraxOutputPin::ZentraxOutputPin(ZentraxFilter* pFilter, CCritSec* pLock, CCritSec* pReceiveLock,
                                   HRESULT* phr, LPCWSTR pName)
    : CBaseOutputPin(nullptr, pFilter, pLock, phr, pName), m_pZentrax(pFilter),
      m_pReceiveLock(pReceiveLock)
{
}

ZentraxOutputPin::~ZentraxOutputPin()
{
    delete m_pOutputQueue;
    if (m_pPosition)
        m_pPosition->Release();
}

HRESULT ZentraxOutputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid != IID_IMediaPosition && riid != IID_IMediaSeeking)
        return CBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
    const HRESULT hr = CreatePositionPassThru();
    return FAILED(hr) ? hr : m_pPosition->QueryInterface(riid, ppv);
}

HRESULT ZentraxOutputPin::CreatePositionPassThru()
{
    CAutoLock lock(m_pLock);
    if (m_pPosition)
        return S_OK;
    return CreatePosPassThru(GetOwner(), FALSE, MatchingInput(), &m_pPosition);
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

HRESULT ZentraxOutputPin::Active()
{
    CAutoLock lock(m_pLock);
    if (!IsConnected())
        return S_OK;
    if (!m_pOutputQueue)
    {
        HRESULT hr = S_OK;
        m_pOutputQueue = new (std::nothrow) COutputQueue(GetConnected(), &hr, TRUE, TRUE, 1, FALSE,
                                                         kQueueListSize, THREAD_PRIORITY_NORMAL);
        if (!m_pOutputQueue)
            return E_OUTOFMEMORY;
        if (FAILED(hr))
        {
            delete m_pOutputQueue;
            m_pOutputQueue = nullptr;
            return hr;
        }
    }
    return CBaseOutputPin::Active();
}

HRESULT ZentraxOutputPin::Inactive()
{
    CAutoLock lock(m_pLock);
    delete m_pOutputQueue;
    m_pOutputQueue = nullptr;
    return CBaseOutputPin::Inactive();
}

void ZentraxOutputPin::ReleaseBufferWaiters()
{
    if (m_pAllocator)
        m_pAllocator->Decommit();
}

// The queue takes over one reference; the caller keeps its own.
HRESULT ZentraxOutputPin::Deliver(IMediaSample* pSample)
{
    if (!m_pOutputQueue)
        return S_OK;
    pSample->AddRef();
    return m_pOutputQueue->Receive(pSample);
}

// Without a queue (paused with the input unconnected) end of stream goes straight to the
// connected pin, so that the downstream filter still hears the stream ended.
HRESULT ZentraxOutputPin::DeliverEndOfStream()
{
    if (m_pOutputQueue)
        m_pOutputQueue->EOS();
    else if (IsConnected())
        return CBaseOutputPin::DeliverEndOfStream();
    return S_OK;
}

HRESULT ZentraxOutputPin::DeliverBeginFlush()
{
    if (m_pOutputQueue)
        m_pOutputQueue->BeginFlush();
    return S_OK;
}

HRESULT ZentraxOutputPin::DeliverEndFlush()
{
    if (m_pOutputQueue)
        m_pOutputQueue->EndFlush();
    return S_OK;
}

HRESULT ZentraxOutputPin::DeliverNewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop,
                                            double dRate)
{
    if (m_pOutputQueue)
        m_pOutputQueue->NewSegment(tStart, tStop, dRate);
    return S_OK;
}

HRESULT ZentraxOutputPin::Notify(IBaseFilter*, Quality)
{
    return S_OK;
}
