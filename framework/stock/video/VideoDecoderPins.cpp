#include "VideoDecoderPins.h"

#include "AllocatorSizing.h"
#include "VideoDecoderFilter.h"

namespace
{
// The renderer holds one picture until its time while the decoder fills the next.
constexpr LONG kOutputBufferCount = 3;
} // namespace

CVideoDecoderInputPin::CVideoDecoderInputPin(CVideoDecoderFilter* pFilter, CCritSec* pLock,
                                             HRESULT* phr)
    : CBaseInputPin(NAME("Video decoder input"), pFilter, pLock, phr, L"Video Input"),
      m_pDecoder(pFilter)
{
}

HRESULT CVideoDecoderInputPin::CheckMediaType(const CMediaType* pmt)
{
    MpegVideoFormat format;
    return MpegVideoFormat::FromMediaType(*pmt, &format) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CVideoDecoderInputPin::Receive(IMediaSample* pSample)
{
    const HRESULT hr = CBaseInputPin::Receive(pSample);
    if (hr != S_OK)
        return hr;
    return m_pDecoder->ReceiveSample(pSample, *SampleProps());
}

HRESULT CVideoDecoderInputPin::EndOfStream()
{
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    return m_pDecoder->EndOfInput();
}

HRESULT CVideoDecoderInputPin::BeginFlush()
{
    CBaseInputPin::BeginFlush();
    m_pDecoder->OutputPin()->DeliverBeginFlush();
    return S_OK;
}

HRESULT CVideoDecoderInputPin::EndFlush()
{
    m_pDecoder->FlushInput();
    m_pDecoder->OutputPin()->DeliverEndFlush();
    return CBaseInputPin::EndFlush();
}

HRESULT CVideoDecoderInputPin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    CBasePin::NewSegment(tStart, tStop, dRate);
    m_pDecoder->FlushInput();
    return m_pDecoder->OutputPin()->DeliverNewSegment(tStart, tStop, dRate);
}

CVideoDecoderOutputPin::CVideoDecoderOutputPin(CVideoDecoderFilter* pFilter, CCritSec* pLock,
                                               HRESULT* phr)
    : CBaseOutputPin(NAME("Video decoder output"), pFilter, pLock, phr, L"Video Output"),
      m_pDecoder(pFilter), m_Seeking(GetOwner(), pFilter->InputPin())
{
}

HRESULT CVideoDecoderOutputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (ppv && SeekingPassThrough::IsSeekingInterface(riid))
        return m_Seeking.QueryInterface(riid, ppv);
    return CBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CVideoDecoderOutputPin::CheckConnect(IPin* pPin)
{
    if (!m_pDecoder->InputPin()->IsConnected())
        return VFW_E_NOT_CONNECTED;
    return CBaseOutputPin::CheckConnect(pPin);
}

HRESULT CVideoDecoderOutputPin::CheckMediaType(const CMediaType* pmt)
{
    CMediaType mtOffered;
    if (GetMediaType(0, &mtOffered) != S_OK)
        return VFW_E_NOT_CONNECTED;
    return *pmt == mtOffered ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CVideoDecoderOutputPin::GetMediaType(int iPosition, CMediaType* pmt)
{
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 0 || !m_pDecoder->InputPin()->IsConnected())
        return VFW_S_NO_MORE_ITEMS;
    return m_pDecoder->OutputFormat().ToMediaType(pmt);
}

HRESULT CVideoDecoderOutputPin::DecideBufferSize(IMemAllocator* pAlloc,
                                                 ALLOCATOR_PROPERTIES* pRequest)
{
    return SetAllocatorAtLeast(pAlloc, *pRequest, kOutputBufferCount,
                               m_pDecoder->OutputFormat().ImageSize());
}
