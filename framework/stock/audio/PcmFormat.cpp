#include "PcmFormat.h"

namespace
{
constexpr int kMaxChannels = 8;
constexpr int kMinRate = 1000;
constexpr int kMaxRate = 384000;
} // namespace

const WAVEFORMATEX* WaveFormatOf(const CMediaType& mt)
{
    if (mt.majortype != MEDIATYPE_Audio || mt.formattype != FORMAT_WaveFormatEx ||
        mt.cbFormat < sizeof(WAVEFORMATEX) || !mt.pbFormat)
        return nullptr;
    return reinterpret_cast<const WAVEFORMATEX*>(mt.pbFormat);
}

bool PcmFormat::FromMediaType(const CMediaType& mt, PcmFormat* pFormat)
{
    const WAVEFORMATEX* pWave = WaveFormatOf(mt);
    if (!pWave || mt.subtype != MEDIASUBTYPE_PCM || pWave->wFormatTag != WAVE_FORMAT_PCM)
        return false;
    const PcmFormat format{int(pWave->nSamplesPerSec), int(pWave->nChannels),
                           int(pWave->wBitsPerSample)};
    const bool bBitsKnown =
        format.nBitsPerSample == 8 || format.nBitsPerSample == 16 || format.nBitsPerSample == 32;
    if (!bBitsKnown || format.nChannels < 1 || format.nChannels > kMaxChannels ||
        format.nSamplesPerSec < kMinRate || format.nSamplesPerSec > kMaxRate ||
        pWave->nBlockAlign != format.BlockAlign())
        return false;
    *pFormat = format;
    return true;
}

HRESULT PcmFormat::ToMediaType(CMediaType* pmt) const
{
    pmt->InitMediaType();
    pmt->SetType(&MEDIATYPE_Audio);
    pmt->SetSubtype(&MEDIASUBTYPE_PCM);
    pmt->SetFormatType(&FORMAT_WaveFormatEx);
    pmt->SetSampleSize(ULONG(BlockAlign()));
    pmt->SetTemporalCompression(FALSE);
    auto* pWave = reinterpret_cast<WAVEFORMATEX*>(pmt->AllocFormatBuffer(sizeof(WAVEFORMATEX)));
    if (!pWave)
        return E_OUTOFMEMORY;
    pWave->wFormatTag = WAVE_FORMAT_PCM;
    pWave->nChannels = WORD(nChannels);
    pWave->nSamplesPerSec = DWORD(nSamplesPerSec);
    pWave->nAvgBytesPerSec = DWORD(BytesPerSecond());
    pWave->nBlockAlign = WORD(BlockAlign());
    pWave->wBitsPerSample = WORD(nBitsPerSample);
    pWave->cbSize = 0;
    return S_OK;
}
