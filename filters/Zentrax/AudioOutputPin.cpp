#include "AudioOutputPin.h"

#include "AudioInputPin.h"
#include "OstrelMediaTypesUUIDS.h"
#include "ZentraxFilter.h"

namespace
{
enum TypePosition
{
    kOwnUnits = 0,
    kPcm = 1,
};

// 48 kHz, 16-bit stereo PCM.
constexpr WAVEFORMATEX kPcmFormat = {WAVE_FORMAT_PCM, 2, 48000, 192000, 4, 16, 0};
} // namespace

AudioOutputPin::AudioOutputPin(ZentraxFilter* pFilter, CCritSec* pLock, HRESULT* phr)
    : ZentraxOutputPin(pFilter, pLock, pFilter->AudioReceiveLock(), phr, L"DeadCafe Out")
{
}

HRESULT AudioOutputPin::CheckMediaType(const CMediaType* pmt)
{
    for (int iPosition : {kOwnUnits, kPcm})
    {
        CMediaType proposed;
        if (GetMediaType(iPosition, &proposed) == S_OK && proposed == *pmt)
            return S_OK;
    }
    return S_FALSE;
}

HRESULT AudioOutputPin::GetMediaType(int iPosition, CMediaType* pmt)
{
    if (iPosition != kOwnUnits && iPosition != kPcm)
        return VFW_S_NO_MORE_ITEMS;
    pmt->InitMediaType();
    pmt->SetType(&MEDIATYPE_Audio);
    pmt->SetVariableSize();
    pmt->lSampleSize = 0;
    pmt->SetTemporalCompression(FALSE);
    if (iPosition == kOwnUnits)
    {
        pmt->SetSubtype(&MEDIASUBTYPE_OstrelAudio);
        pmt->SetFormatType(&FORMAT_None);
        return S_OK;
    }
    pmt->SetSubtype(&MEDIASUBTYPE_PCM);
    pmt->SetFormatType(&FORMAT_WaveFormatEx);
    if (!pmt->SetFormat(reinterpret_cast<const BYTE*>(&kPcmFormat), sizeof(kPcmFormat)))
        return E_OUTOFMEMORY;
    return S_OK;
}

ZentraxInputPin* AudioOutputPin::MatchingInput() const
{
    return m_pZentrax->AudioInput();
}

HRESULT AudioOutputPin::SetPathType(const CMediaType& mt)
{
    return m_pZentrax->AudioPath().SetOutputType(mt);
}
