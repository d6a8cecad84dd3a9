#pragma once

#include "ZentraxInputPin.h"

// "Video In": takes an MPEG-2 or MPEG-1 video elementary stream, cut by the video path under
// the video receive lock.
class VideoInputPin : public ZentraxInputPin
{
public:
    VideoInputPin(ZentraxFilter* pFilter, CCritSec* pLock, HRESULT* phr);

    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT Receive(IMediaSample* pSample) override;
    // Delivers the last picture, then end of stream; audio no longer waits for video.
    HRESULT EndOfStream() override;
    // Times, counters and the packet chain start again; audio waits for the next unit.
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

protected:
    ZentraxOutputPin* MatchingOutput() const override;
    void FlushPath() override;
    void OnEndFlush() override;
};
