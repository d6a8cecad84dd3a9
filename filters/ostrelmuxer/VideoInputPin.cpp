#include "VideoInputPin.h"

#include "OstrelMediaTypesUUIDS.h"
#include "OstrelMuxerFilter.h"

VideoInputPin::VideoInputPin(OstrelMuxerFilter* pFilter, CCritSec* pLock, HRESULT* phr)
    : MuxerInputPin(pFilter, pLock, phr, L"Video In")
{
}

HRESULT VideoInputPin::CheckMediaType(const CMediaType* pmt)
{
    const bool bMatch =
        *pmt->Type() == MEDIATYPE_Video && *pmt->Subtype() == MEDIASUBTYPE_OstrelVideo;
    return bMatch ? S_OK : S_FALSE;
}

bool VideoInputPin::PassGate()
{
    return m_pMuxer->CanReceiveVideo();
}

HRESULT VideoInputPin::Mux(IMediaSample* pSample)
{
    return m_pMuxer->OnVideoSample(pSample);
}
