#include "VideoInputPin.h"

#include "VideoOutputPin.h"
#include "ZentraxFilter.h"

VideoInputPin::VideoInputPin(ZentraxFilter* pFilter, CCritSec* pLock, HRESULT* phr)
    : ZentraxInputPin(pFilter, pLock, pFilter->VideoReceiveLock(), phr, L"Video In")
{
}

HRESULT VideoInputPin::CheckMediaType(const CMediaType* pmt)
{
    if (*pmt->Type() != MEDIATYPE_Video)
        return S_FALSE;
    const bool bMpeg2 =
        *pmt->Subtype() == MEDIASUBTYPE_MPEG2_VIDEO && *pmt->FormatType() == FORMAT_MPEG2Video;
    const bool bMpeg1 =
        *pmt->Subtype() == MEDIASUBTYPE_MPEG1Payload && *pmt->FormatType() == FORMAT_MPEGVideo;
    return bMpeg2 || bMpeg1 ? S_OK : S_FALSE;
}

HRESULT VideoInputPin::Receive(IMediaSample* pSample)
{
    CAutoLock lock(m_pReceiveLock);
    const HRESULT hr = AcceptSample(pSample);
    if (hr != S_OK)
        return hr;
    return m_pZentrax->VideoPath().Transform(pSample, *SampleProps());
}

HRESULT VideoInputPin::EndOfStream()
{
    CAutoLock lock(m_pReceiveLock);
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    m_pZentrax->VideoPath().FinishStream();
    m_pZentrax->Gate().SetVideoEnded(true);
    return MatchingOutput()->DeliverEndOfStream();
}

HRESULT VideoInputPin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    ZentraxInputPin::NewSegment(tStart, tStop, dRate);
    {
        CAutoLock lock(m_pReceiveLock);
        m_pZentrax->VideoPath().NewSegment();
        m_pZentrax->Gate().SetVideoReady(false);
    }
    ZentraxOutputPin* pOutput = MatchingOutput();
    return pOutput ? pOutput->DeliverNewSegment(tStart, tStop, dRate) : S_OK;
}

ZentraxOutputPin* VideoInputPin::MatchingOutput() const
{
    return m_pZentrax->VideoOutput();
}

void VideoInputPin::FlushPath()
{
    m_pZentrax->VideoPath().Flush();
}

// The stream starts again after a flush: audio waits for its units once more.
void VideoInputPin::OnEndFlush()
{
    m_pZentrax->Gate().SetVideoEnded(false);
}
