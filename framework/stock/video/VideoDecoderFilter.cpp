#include "VideoDecoderFilter.h"

#include "AllocatorSizing.h"

#include <algorithm>

namespace
{
constexpr REFERENCE_TIME kDefaultFrameDuration = UNITS / 25;
// The renderer holds one picture until its time while the decoder fills the next.
constexpr LONG kOutputBufferCount = 3;
} // namespace

CVideoDecoderFilter::CVideoDecoderFilter(LPUNKNOWN pUnk, HRESULT* phr)
    : CBaseFilter(NAME("Video decoder"), pUnk, &m_csFilter, CLSID_CMpegVideoCodec),
      m_InputPin(this, this, &m_OutputPin, &m_csFilter, phr, L"Video Input"),
      m_OutputPin(this, this, &m_InputPin, &m_csFilter, phr, L"Video Output")
{
}

CVideoDecoderFilter::~CVideoDecoderFilter() = default;

CBasePin* CVideoDecoderFilter::GetPin(int n)
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

HRESULT CVideoDecoderFilter::CheckInputType(const CMediaType* pmt)
{
    MpegVideoFormat format;
    return MpegVideoFormat::FromMediaType(*pmt, &format) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CVideoDecoderFilter::GetOutputType(const CMediaType& mtIn, int iPosition, CMediaType* pmt)
{
    MpegVideoFormat in;
    if (iPosition > 0 || !MpegVideoFormat::FromMediaType(mtIn, &in))
        return VFW_S_NO_MORE_ITEMS;
    return Rgb32Format{in.width, in.height, true, in.avgTimePerFrame}.ToMediaType(pmt);
}

HRESULT CVideoDecoderFilter::CheckOutputType(const CMediaType& mtIn, const CMediaType* pmt)
{
    CMediaType mtOffered;
    if (GetOutputType(mtIn, 0, &mtOffered) != S_OK)
        return VFW_E_TYPE_NOT_ACCEPTED;
    return *pmt == mtOffered ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CVideoDecoderFilter::DecideOutputBuffers(IMemAllocator* pAlloc,
                                                 ALLOCATOR_PROPERTIES* pRequest)
{
    Rgb32Format out;
    if (!Rgb32Format::FromMediaType(m_OutputPin.CurrentMediaType(), &out))
        return VFW_E_TYPE_NOT_ACCEPTED;
    return SetAllocatorAtLeast(pAlloc, *pRequest, kOutputBufferCount, out.ImageSize());
}

HRESULT CVideoDecoderFilter::Pause()
{
    CAutoLock lock(&m_csFilter);
    if (IsStopped() && m_InputPin.IsConnected() && m_OutputPin.IsConnected())
    {
        CAutoLock receiveLock(&m_csReceive);
        if (!MpegVideoFormat::FromMediaType(m_InputPin.CurrentMediaType(), &m_InFormat) ||
            !Rgb32Format::FromMediaType(m_OutputPin.CurrentMediaType(), &m_OutFormat))
            return VFW_E_TYPE_NOT_ACCEPTED;
        if (!m_Decoder.Open(m_InFormat.codecId))
            return VFW_E_NO_DECOMPRESSOR;
        RestartTimes();
        m_bStreaming = true;
    }
    return CBaseFilter::Pause();
}

HRESULT CVideoDecoderFilter::Stop()
{
    CAutoLock lock(&m_csFilter);
    const HRESULT hr = CBaseFilter::Stop();
    CAutoLock receiveLock(&m_csReceive);
    m_Decoder.Close();
    m_Converter.Close();
    m_bStreaming = false;
    return hr;
}

void CVideoDecoderFilter::RestartTimes()
{
    m_bDiscontinuity = true;
    m_tNext.reset();
    m_hrDelivery = S_OK;
}

REFERENCE_TIME CVideoDecoderFilter::FrameDuration() const
{
    if (m_InFormat.avgTimePerFrame > 0)
        return m_InFormat.avgTimePerFrame;
    const int64_t streamDuration = m_Decoder.StreamFrameDuration();
    return streamDuration > 0 ? streamDuration : kDefaultFrameDuration;
}

HRESULT CVideoDecoderFilter::ReceiveSample(IMediaSample* pSample,
                                           const AM_SAMPLE2_PROPERTIES& props)
{
    CAutoLock receiveLock(&m_csReceive);
    if (!m_bStreaming)
        return S_FALSE; // the output is not connected: nothing to do with the data
    BYTE* pData = nullptr;
    pSample->GetPointer(&pData);
    const LONG cbData = std::clamp(props.lActual, LONG(0), pSample->GetSize());
    std::optional<int64_t> tStart;
    if (props.dwSampleFlags & AM_SAMPLE_TIMEVALID)
        tStart = props.tStart;
    m_hrDelivery = S_OK;
    m_Decoder.Decode(std::span<const uint8_t>(pData, size_t(cbData)), tStart);
    // Only a refusal downstream ends the upstream's delivery; bad pictures do not.
    return m_hrDelivery;
}

bool CVideoDecoderFilter::OnPicture(const AVFrame& frame)
{
    IMediaSample* pSample = nullptr;
    m_hrDelivery = m_OutputPin.GetDeliveryBuffer(&pSample, nullptr, nullptr, 0);
    if (FAILED(m_hrDelivery))
        return false;
    BYTE* pTarget = nullptr;
    pSample->GetPointer(&pTarget);
    if (pSample->GetSize() < m_OutFormat.ImageSize() ||
        !m_Converter.Convert(frame, pTarget, m_OutFormat.width, m_OutFormat.height,
                             m_OutFormat.Stride()))
    {
        pSample->Release();
        return true; // a picture that cannot be shown is skipped
    }
    pSample->SetActualDataLength(m_OutFormat.ImageSize());
    if (frame.best_effort_timestamp != AV_NOPTS_VALUE)
        m_tNext = frame.best_effort_timestamp;
    if (m_tNext)
    {
        REFERENCE_TIME tStart = *m_tNext;
        REFERENCE_TIME tStop = tStart + FrameDuration();
        pSample->SetTime(&tStart, &tStop);
        m_tNext = tStop;
    }
    pSample->SetSyncPoint(TRUE);
    pSample->SetDiscontinuity(m_bDiscontinuity);
    m_bDiscontinuity = false;
    m_hrDelivery = m_OutputPin.Deliver(pSample);
    pSample->Release();
    return m_hrDelivery == S_OK;
}

HRESULT CVideoDecoderFilter::EndOfInput()
{
    {
        CAutoLock receiveLock(&m_csReceive);
        if (m_bStreaming)
            m_Decoder.Drain();
    }
    return m_OutputPin.DeliverEndOfStream();
}

void CVideoDecoderFilter::FlushInput()
{
    CAutoLock receiveLock(&m_csReceive);
    if (m_bStreaming)
        m_Decoder.Reset();
    RestartTimes();
}
