#include "QueuedOutputPin.h"

#include "PosPassThru.h"

#include <new>

namespace
{
constexpr LONG kQueueListSize = 10;
}

CQueuedOutputPin::CQueuedOutputPin(LPCTSTR pObjectName, CBaseFilter* pFilter, CCritSec* pLock,
                                   HRESULT* phr, LPCWSTR pName, BOOL bForceThread)
    : CBaseOutputPin(pObjectName, pFilter, pLock, phr, pName), m_bForceThread(bForceThread)
{
}

CQueuedOutputPin::~CQueuedOutputPin()
{
    delete m_pOutputQueue;
    if (m_pPosition)
        m_pPosition->Release();
}

HRESULT CQueuedOutputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid != IID_IMediaPosition && riid != IID_IMediaSeeking)
        return CBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
    const HRESULT hr = CreatePositionPassThru();
    return FAILED(hr) ? hr : m_pPosition->QueryInterface(riid, ppv);
}

HRESULT CQueuedOutputPin::CreatePositionPassThru()
{
    CAutoLock lock(m_pLock);
    if (m_pPosition)
        return S_OK;
    return CreatePosPassThru(GetOwner(), FALSE, SeekingUpstreamPin(), &m_pPosition);
}

HRESULT CQueuedOutputPin::Active()
{
    CAutoLock lock(m_pLock);
    if (!IsConnected())
        return S_OK;
    if (!m_pOutputQueue)
    {
        HRESULT hr = S_OK;
        m_pOutputQueue =
            new (std::nothrow) COutputQueue(GetConnected(), &hr, TRUE, m_bForceThread, 1, FALSE,
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

HRESULT CQueuedOutputPin::Inactive()
{
    CAutoLock lock(m_pLock);
    delete m_pOutputQueue;
    m_pOutputQueue = nullptr;
    return CBaseOutputPin::Inactive();
}

HRESULT CQueuedOutputPin::Deliver(IMediaSample* pSample)
{
    if (!m_pOutputQueue)
        return S_OK;
    pSample->AddRef();
    return m_pOutputQueue->Receive(pSample);
}

HRESULT CQueuedOutputPin::DeliverEndOfStream()
{
    if (m_pOutputQueue)
        m_pOutputQueue->EOS();
    else if (IsConnected())
        return CBaseOutputPin::DeliverEndOfStream();
    return S_OK;
}

HRESULT CQueuedOutputPin::DeliverBeginFlush()
{
    if (m_pOutputQueue)
        m_pOutputQueue->BeginFlush();
    return S_OK;
}

HRESULT CQueuedOutputPin::DeliverEndFlush()
{
    if (m_pOutputQueue)
        m_pOutputQueue->EndFlush();
    return S_OK;
}

HRESULT CQueuedOutputPin::DeliverNewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop,
                                            double dRate)
{
    if (m_pOutputQueue)
        m_pOutputQueue->NewSegment(tStart, tStop, dRate);
    return S_OK;
}

HRESULT CQueuedOutputPin::Notify(IBaseFilter*, Quality)
{
    return S_OK;
}
