#pragma once

#include "MuxerInputPin.h"

// "Audio In": one audio unit, opening with its 0xDEADCAFE header, per sample.
class AudioInputPin : public MuxerInputPin
{
public:
    AudioInputPin(OstrelMuxerFilter* pFilter, CCritSec* pLock, HRESULT* phr);

    HRESULT CheckMediaType(const CMediaType* pmt) override;
    // Asks upstream for 200 buffers, so that audio can run ahead while video is muxed.
    HRESULT GetAllocatorRequirements(ALLOCATOR_PROPERTIES* pProps) override;

protected:
    bool PassGate() override;
    HRESULT Mux(IMediaSample* pSample) override;
};
