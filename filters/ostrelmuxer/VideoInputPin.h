#pragma once

#include "MuxerInputPin.h"

// "Video In": one C3 packet (header and video payload) per sample.
class VideoInputPin : public MuxerInputPin
{
public:
    VideoInputPin(OstrelMuxerFilter* pFilter, CCritSec* pLock, HRESULT* phr);

    HRESULT CheckMediaType(const CMediaType* pmt) override;

protected:
    bool PassGate() override;
    HRESULT Mux(IMediaSample* pSample) override;
};
