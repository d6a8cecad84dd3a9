#include "AudioRendererFilter.h"

#include <algorithm>
#include <cstdlib>

namespace
{
const char* AudioDeviceName()
{
    const char* pszDevice = std::getenv("MARVEK_AUDIO_DEVICE");
    return pszDevice && *pszDevice ? pszDevice : "default";
}
} // namespace

CAudioRendererFilter::CAudioRendererFilter(LPUNKNOWN pUnk, HRESULT* phr)
    : CStockRendererFilter(NAME("Audio renderer"), pUnk, CLSID_DSoundRender, phr,
                           L"Audio Input pin (rendered)")
{
}

HRESULT CAudioRendererFilter::CheckInputType(const CMediaType* pmt)
{
    PcmFormat format;
    return PcmFormat::FromMediaType(*pmt, &format) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CAudioRendererFilter::StartStreaming()
{
    PcmFormat format;
    if (!PcmFormat::FromMediaType(InputPin()->CurrentMediaType(), &format))
        return VFW_E_TYPE_NOT_ACCEPTED;
    // Without a device the samples are only paced.
    m_bPlayingToDevice = m_Playback.Open(AudioDeviceName(), format);
    return S_OK;
}

void CAudioRendererFilter::StopStreaming()
{
    m_Playback.Close();
    m_bPlayingToDevice = false;
}

HRESULT CAudioRendererFilter::Present(IMediaSample* pSample, const AM_SAMPLE2_PROPERTIES& props,
                                      REFERENCE_TIME /*tLate*/)
{
    BYTE* pData = nullptr;
    pSample->GetPointer(&pData);
    const LONG cbData = std::clamp(props.lActual, LONG(0), pSample->GetSize());
    if (pData && cbData > 0)
        m_Playback.Write(std::span<const BYTE>(pData, size_t(cbData)),
                         [this] { return IsStreamInterrupted(); });
    m_bPlayingToDevice = m_Playback.IsOpen(); // a device that failed was closed
    return S_OK;
}
