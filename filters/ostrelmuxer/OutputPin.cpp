#include "OutputPin.h"

#include "OstrelMuxerFilter.h"
#include "VideoInputPin.h"

// Automatic mode: the queue asks the downstream pin whether its Receive may block and
// runs its own thread only then.
OutputPin::OutputPin(OstrelMuxerFilter* pFilter, CCritSec* pLock, HRESULT* phr)
    : CQueuedOutputPin(nullptr, pFilter, pLock, phr, L"8888CAFE Output", FALSE), m_pMuxer(pFilter)
{
}

IPin* OutputPin::SeekingUpstreamPin() const
{
    return m_pMuxer->VideoPin();
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
