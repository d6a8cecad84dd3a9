#include "AudioInputPin.h"

#include "OstrelMediaTypesUUIDS.h"
#include "OstrelMuxerFilter.h"

namespace
{
constexpr LONG kRequestedBuffers = 200;
}

AudioInputPin::AudioInputPin(OstrelMuxerFilter* pFilter, CCritSec* pLock, HRESULT* phr)
    : MuxerInputPin(pFilter, pLock, phr, L"Audio In")
{
}

HRESULT AudioInputPin::CheckMediaType(const CMediaType* pmt)
{
    const bool bMatch =
        *pmt->Type() == MEDIATYPE_Audio && *pmt->Subtype() == MEDIASUBTYPE_OstrelAudio;
    return bMatch ? S_OK : S_FALSE;
}

HRESULT AudioInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES* pProps)
{
    if (!pProps)
        return E_POINTER;
    pProps->cBuffers = kRequestedBuffers;
    return S_OK;
}

bool AudioInputPin::PassGate()
{
    return m_pMuxer->CanReceiveAudio();
}

HRESULT AudioInputPin::Mux(IMediaSample* pSample)
{
    return m_pMuxer->OnAudioSample(pSample);
}
