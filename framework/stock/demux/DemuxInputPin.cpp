#include "DemuxInputPin.h"

#include "Mpeg2DemuxFilter.h"

#include <algorithm>

CDemuxInputPin::CDemuxInputPin(CMpeg2DemuxFilter* pDemux, CCritSec* pLock, HRESULT* phr)
    : CBaseInputPin(NAME("Demux input"), pDemux, pLock, phr, L"MPEG-2 Stream"), m_pDemux(pDemux)
{
}

HRESULT CDemuxInputPin::CheckMediaType(const CMediaType* pmt)
{
    const bool bProgramStream =
        pmt->majortype == MEDIATYPE_Stream &&
        (pmt->subtype == MEDIASUBTYPE_MPEG2_PROGRAM || pmt->subtype == MEDIASUBTYPE_MPEG1System);
    return bProgramStream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CDemuxInputPin::Receive(IMediaSample* pSample)
{
    const HRESULT hr = CBaseInputPin::Receive(pSample);
    if (hr != S_OK)
        return hr;
    BYTE* pData = nullptr;
    pSample->GetPointer(&pData);
    const LONG cbData = std::clamp(SampleProps()->lActual, LONG(0), pSample->GetSize());
    if (!pData || cbData == 0)
        return S_OK;
    return m_pDemux->ReceiveBytes(std::span<const BYTE>(pData, size_t(cbData)));
}

HRESULT CDemuxInputPin::EndOfStream()
{
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    return m_pDemux->EndOfInput();
}

HRESULT CDemuxInputPin::BeginFlush()
{
    CBaseInputPin::BeginFlush();
    m_pDemux->BeginFlushOutputs();
    return S_OK;
}

HRESULT CDemuxInputPin::EndFlush()
{
    m_pDemux->EndFlushOutputs();
    return CBaseInputPin::EndFlush();
}

HRESULT CDemuxInputPin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    CBasePin::NewSegment(tStart, tStop, dRate);
    m_pDemux->NewSegmentOnOutputs(tStart, tStop, dRate);
    return S_OK;
}
