#pragma once

#include "ZentraxOutputPin.h"

// "DeadCafe Out": the audio as the system's own audio units (type 0) or as PCM (type 1).
class AudioOutputPin : public ZentraxOutputPin
{
public:
    AudioOutputPin(ZentraxFilter* pFilter, CCritSec* pLock, HRESULT* phr);

    // Exactly one of the two types the pin proposes.
    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT GetMediaType(int iPosition, CMediaType* pmt) override;

protected:
    ZentraxInputPin* MatchingInput() const override;
    HRESULT SetPathType(const CMediaType& mt) override;
    LONG MinBufferSize() const override { return 4096; }
    LONG ExtraBuffers() const override { return 2; }
};
