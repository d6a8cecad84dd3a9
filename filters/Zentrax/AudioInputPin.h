#pragma once

#include "ZentraxInputPin.h"

// "Audio In": takes 48 kHz PCM. Each sample first waits at the audio gate for the video
// path's first unit, then is cut by the audio path under the audio receive lock.
class AudioInputPin : public ZentraxInputPin
{
public:
    AudioInputPin(ZentraxFilter* pFilter, CCritSec* pLock, HRESULT* phr);

    // PCM with a wave format of 48000 samples per second; nothing else is examined.
    HRESULT CheckMediaType(const CMediaType* pmt) override;
    // S_FALSE when the gate is released without opening (Stop, flush, end of the video), the
    // result that ended the stream once it has ended.
    HRESULT Receive(IMediaSample* pSample) override;
    // A partly filled unit is not delivered: the muxer takes whole units only.
    HRESULT EndOfStream() override;
    // The clock starts again at 0 and the unit length is chosen again.
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

protected:
    ZentraxOutputPin* MatchingOutput() const override;
    void FlushPath() override;
    void OnBeginFlush() override;
    void OnEndFlush() override;
};
