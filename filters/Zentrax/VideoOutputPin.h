#pragma once

#include "ZentraxOutputPin.h"

// "Xform Out": the video as the system's own video units (type 0), or, while "Video In" is
// connected, in that input's own type (type 1), cut into pictures and time-stamped.
class VideoOutputPin : public ZentraxOutputPin
{
public:
    VideoOutputPin(ZentraxFilter* pFilter, CCritSec* pLock, HRESULT* phr);

    // The own video type (the format is not examined), or exactly the input's type.
    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT GetMediaType(int iPosition, CMediaType* pmt) override;

protected:
    ZentraxInputPin* MatchingInput() const override;
    HRESULT SetPathType(const CMediaType& mt) override;
    LONG MinBufferSize() const override;
    LONG ExtraBuffers() const override { return 12; }
};
