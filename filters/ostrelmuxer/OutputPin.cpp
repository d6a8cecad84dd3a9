#include "OutputPin.h"

#include "OstrelMuxerFilter.h"
#include "VideoInputPin.h"

#include <new>

namespace
{
constexpr LONG kQueueListSize = 10;
}

OutputPin::OutputPin(OstrelMuxerFilter* pFilter, CCritSec* pLock, HRESULT* phr)
    : CBaseOutputPin(nullptr, pFilter, pLock, phr, L"8888CAFE Output"), m_pMuxer(pFilter)
{
}

OutputPin::~OutputPin()
{
    delete m_pOutputQueue;
    if (m_pPosition)
        m_pPosition->Release();
}

HRESULT OutputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid != IID_IMediaPosition && riid != IID_IMediaSeeking)
        return CBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
    const HRESULT hr = CreatePositionPassThru();
    return FAILED(hr) ? hr : m_pPosition->QueryInterface(riid, ppv);
}

// Seeking goes to the video source only: the audio follows the video's turns.
HRESULT OutputPin::CreatePositionPassThru()
{
    CAutoLock lock(m_pLock);
    if (m_pPosition)
        return S_OK;
    IPin* pUpstream = m_pMuxer->VideoPin();
    return CreatePosPassThru(GetOwner(), FALSE, pUpstream, &m_pPosition);
}

// Automatic mode: the queue asks the downstream pin whether its Receive may block and
// runs its own thread only then.
HRESULT OutputPin::Active()
{
    CAutoLock lock(m_pLock);
    if (!IsConnected())
        return S_OK;
    if (!m_pOutputQueue)
    {
        HRESULT hr = S_OK;
        m_pOutputQueue = new (std::nothrow)
            COutputQueue(GetConnected(), &hr, TRUE, FALSE, 1, FALSE, kQueueListSize);
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

HRESULT OutputPin::Inactive()
{
    CAutoLock lock(m_pLock);
    delete m_pOutputQueue;
    m_pOutputQueue = nullptr;
    return CBaseOutputPin::Inactive();
}

HRESULT OutputPin::CheckMediaType(const CMediaType* pmt)
{
    return m_pMuxer->CheckOutputType(pmt);
}

HRESULT OutputPin::SetMediaType(const CMediaType* pmt)
{
    const HRESULT hr = CBaseOutputPin::SetMediaType(pmt);
    return FAILED(hr) ? hr : m_pMuxer->SetOutputType(pmt);
}

HRESULT OutputPin::CheckConnect(IPin* pPin)
{
    const VideoInputPin* pVideo = m_pMuxer->VideoPin();
    if (!pVideo || !pVideo->IsConnected())
        return E_UNEXPECTED;
    return CBaseOutputPin::CheckConnect(pPin);
}

HRESULT OutputPin::GetMediaType(int iPosition, CMediaType* pmt)
{
    return m_pMuxer->GetOutputType(iPosition, pmt);
}

HRESULT OutputPin::DecideBufferSize(IMemAllocator* pAllocator, ALLOCATOR_PROPERTIES* pRequest)
{
    return m_pMuxer->DecideOutputBuffers(pAllocator, pRequest);
}

// The queue takes over one reference; the caller keeps its own.
HRESULT OutputPin::Deliver(IMediaSample* pSample)
{
    if (!m_pOutputQueue)
        return S_OK;
    pSample->AddRef();
    return m_pOutputQueue->Receive(pSample);
}

// Without a queue (the filter paused with no input connected) end of stream goes
// straight to the connected pin, so that a graph without sources still completes.
HRESULT OutputPin::DeliverEndOfStream()
{
    if (m_pOutputQueue)
        m_pOutputQueue->EOS();
    else if (IsConnected())
        return CBaseOutputPin::DeliverEndOfStream();
    return S_OK;
}

HRESULT OutputPin::DeliverBeginFlush()
{
    if (m_pOutputQueue)
        m_pOutputQueue->BeginFlush();
    return S_OK;
}

HRESULT OutputPin::DeliverEndFlush()
{
    if (m_pOutputQueue)
        m_pOutputQueue->EndFlush();
    return S_OK;
}

HRESULT OutputPin::DeliverNewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    if (m_pOutputQueue)
        m_pOutputQueue->NewSegment(tStart, tStop, dRate);
    return S_OK;
}

HRESULT OutputPin::Notify(IBaseFilter*, Quality)
{
    return S_OK;
}
