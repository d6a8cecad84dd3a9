#pragma once

#include "Scanner.h"
#include "VideoCutter.h"
#include "ostrelmuxer/InternQueue.h"

#include "streams.h"

class AudioGate;

// The video path: cuts the MPEG video arriving on "Video In" into picture units that
// "Xform Out" delivers, as C3 packets when its connection type is the system's own video
// type, else as the pictures' own bytes time-stamped. Each finished unit opens the audio gate.
// Its calls come under the filter's video receive lock.
class VideoTransform
{
public:
    // failure: where the filter keeps what ended its stream.
    VideoTransform(AudioGate& gate, CStreamFailure& failure) : m_gate(gate), m_failure(failure) {}

    void SetOutputPin(CBaseOutputPin* pOutput) { m_pOutput = pOutput; }
    HRESULT SetOutputType(const CMediaType& mt) { return m_mtOut.Set(mt); }
    // The frame rate the audio path chooses its unit length by.
    const Scanner& GetScanner() const { return m_scanner; }

    // Cuts one input sample and delivers the units it completes; a failed delivery or an
    // allocator's error ends the sample.
    HRESULT Transform(IMediaSample* pSample, const AM_SAMPLE2_PROPERTIES& props);
    // At end of stream: the open unit holds the last picture; it is finished and delivered.
    void FinishStream();

    // Drops the open unit and the finished ones not yet delivered.
    void Flush();
    // Stop: clock, picture counters and frame rate back to 0.
    void Restart();
    // New segment: as Restart, and the packet chain starts again.
    void NewSegment();

private:
    VideoCutter::Format Format() const;

    AudioGate& m_gate;
    CStreamFailure& m_failure;
    CBaseOutputPin* m_pOutput = nullptr;
    CMediaType m_mtOut;
    Scanner m_scanner;
    VideoCutter m_cutter{m_scanner};
    InternQueue m_openQueue;
    InternQueue m_readyQueue;
};
