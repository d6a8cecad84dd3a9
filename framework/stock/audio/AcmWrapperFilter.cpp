#include "AcmWrapperFilter.h"

namespace
{
constexpr LONG kOutputBufferSize = 16384;
constexpr int kPreferredRate = 48000;
} // namespace

CAcmWrapperFilter::CAcmWrapperFilter(LPUNKNOWN pUnk, HRESULT* phr)
    : CPcmTransformFilter(NAME("ACM wrapper"), pUnk, CLSID_ACMWrapper, phr, kOutputBufferSize)
{
}

HRESULT CAcmWrapperFilter::CheckInputType(const CMediaType* pmt)
{
    PcmFormat format;
    return PcmFormat::FromMediaType(*pmt, &format) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CAcmWrapperFilter::GetOutputType(const CMediaType& mtIn, int iPosition, CMediaType* pmt)
{
    PcmFormat in;
    if (!PcmFormat::FromMediaType(mtIn, &in))
        return VFW_S_NO_MORE_ITEMS;
    switch (iPosition)
    {
    case 0:
        return PcmFormat{kPreferredRate, 2, 16}.ToMediaType(pmt);
    case 1:
        return PcmFormat{in.nSamplesPerSec, 2, 16}.ToMediaType(pmt);
    default:
        return VFW_S_NO_MORE_ITEMS;
    }
}

HRESULT CAcmWrapperFilter::StartStreaming(const CMediaType& mtIn, const PcmFormat& out)
{
    if (!PcmFormat::FromMediaType(mtIn, &m_InFormat))
        return VFW_E_TYPE_NOT_ACCEPTED;
    return m_Converter.Configure(m_InFormat, out);
}

void CAcmWrapperFilter::StopStreaming()
{
    m_Converter.Close();
}

void CAcmWrapperFilter::ResetState()
{
    m_Converter.Reset();
}

HRESULT CAcmWrapperFilter::Transform(const BYTE* pData, LONG cbData, bool /*bDiscontinuity*/)
{
    // A trailing partial sample frame cannot be converted and is dropped.
    const int cFrames = int(cbData / m_InFormat.BlockAlign());
    std::span<const BYTE> pcm;
    if (FAILED(m_Converter.Convert(&pData, cFrames, &pcm)))
        return S_OK;
    return Output(pcm);
}

HRESULT CAcmWrapperFilter::Drain()
{
    std::span<const BYTE> pcm;
    if (FAILED(m_Converter.Drain(&pcm)))
        return S_OK;
    return Output(pcm);
}
