#include "PcmTransformFilter.h"

#include "AllocatorSizing.h"

#include <algorithm>

namespace
{
constexpr LONG kOutputBufferCount = 8;
} // namespace

CPcmTransformFilter::CPcmTransformFilter(LPCTSTR pName, LPUNKNOWN pUnk, REFCLSID clsid,
                                         HRESULT* phr, LONG cbOutputBuffer)
    : CBaseFilter(pName, pUnk, &m_csFilter, clsid),
      m_InputPin(this, this, &m_OutputPin, &m_csFilter, phr, L"Input"),
      m_OutputPin(this, this, &m_InputPin, &m_csFilter, phr, L"Output"),
      m_Writer(&m_OutputPin, m_Failure),
      m_cbOutputBuffer(cbOutputBuffer)
{
}

CBasePin* CPcmTransformFilter::GetPin(int n)
{
    switch (n)
    {
    case 0:
        return &m_InputPin;
    case 1:
        return &m_OutputPin;
    default:
        return nullptr;
    }
}

HRESULT CPcmTransformFilter::CheckOutputType(const CMediaType& mtIn, const CMediaType* pmt)
{
    PcmFormat format;
    if (!PcmFormat::FromMediaType(*pmt, &format) || format.nBitsPerSample != 16 ||
        format.nChannels > 2)
        return VFW_E_TYPE_NOT_ACCEPTED;
    // Only what the filter offers itself.
    for (int i = 0;; ++i)
    {
        CMediaType mtOffered;
        if (GetOutputType(mtIn, i, &mtOffered) != S_OK)
            return VFW_E_TYPE_NOT_ACCEPTED;
        if (mtOffered == *pmt)
            return S_OK;
    }
}

HRESULT CPcmTransformFilter::Pause()
{
    CAutoLock lock(&m_csFilter);
    if (IsStopped() && m_InputPin.IsConnected() && m_OutputPin.IsConnected())
    {
        CAutoLock receiveLock(&m_csReceive);
        PcmFormat out;
        if (!PcmFormat::FromMediaType(m_OutputPin.CurrentMediaType(), &out))
            return VFW_E_TYPE_NOT_ACCEPTED;
        const HRESULT hr = StartStreaming(m_InputPin.CurrentMediaType(), out);
        if (FAILED(hr))
            return hr;
        m_Writer.SetFormat(out);
        m_Writer.Restart();
        m_Failure.Reset();
        m_bStreaming = true;
    }
    return CBaseFilter::Pause();
}

HRESULT CPcmTransformFilter::Stop()
{
    CAutoLock lock(&m_csFilter);
    const HRESULT hr = CBaseFilter::Stop();
    CAutoLock receiveLock(&m_csReceive);
    if (m_bStreaming)
        StopStreaming();
    m_bStreaming = false;
    return hr;
}

HRESULT CPcmTransformFilter::ReceiveSample(IMediaSample* pSample,
                                           const AM_SAMPLE2_PROPERTIES& props)
{
    CAutoLock receiveLock(&m_csReceive);
    if (!m_bStreaming)
        return S_FALSE; // the output is not connected: nothing to do with the data
    if (m_Failure.Result() != S_OK)
        return m_Failure.Result();
    const bool bDiscontinuity = (props.dwSampleFlags & AM_SAMPLE_DATADISCONTINUITY) != 0;
    if (props.dwSampleFlags & AM_SAMPLE_TIMEVALID)
        m_Writer.AnchorTime(props.tStart);
    BYTE* pData = nullptr;
    pSample->GetPointer(&pData);
    const LONG cbData = std::clamp(props.lActual, LONG(0), pSample->GetSize());
    return Transform(pData, cbData, bDiscontinuity);
}

HRESULT CPcmTransformFilter::EndOfInput()
{
    CAutoLock receiveLock(&m_csReceive);
    if (m_bStreaming)
        Drain();
    return m_OutputPin.DeliverEndOfStream();
}

void CPcmTransformFilter::FlushInput()
{
    CAutoLock receiveLock(&m_csReceive);
    if (m_bStreaming)
        ResetState();
    m_Writer.Restart();
}

void CPcmTransformFilter::EndFlush()
{
    FlushInput();
    m_Failure.Reset();
}

HRESULT CPcmTransformFilter::DecideOutputBuffers(IMemAllocator* pAlloc,
                                                 ALLOCATOR_PROPERTIES* pRequest)
{
    return SetAllocatorAtLeast(pAlloc, *pRequest, kOutputBufferCount, m_cbOutputBuffer);
}
