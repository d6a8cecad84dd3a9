#pragma once

#include "AudioCutter.h"
#include "ostrelmuxer/InternQueue.h"

#include "streams.h"

class Scanner;

// The audio path: cuts the PCM arriving on "Audio In" into the units that "DeadCafe Out"
// delivers, in the format its connection type selects: the system's own audio units, or PCM.
// Its calls come under the filter's audio receive lock.
class AudioTransform
{
public:
    // failure: where the filter keeps what ended its stream.
    AudioTransform(const Scanner& scanner, CStreamFailure& failure)
        : m_scanner(scanner), m_failure(failure)
    {
    }

    void SetOutputPin(CBaseOutputPin* pOutput) { m_pOutput = pOutput; }
    // The connection type of "DeadCafe Out", which selects the format.
    HRESULT SetOutputType(const CMediaType& mt) { return m_mtOut.Set(mt); }

    // Cuts one input sample and delivers the units it completes. S_FALSE when the output type
    // selects no format; a failed delivery or an allocator's error ends the sample.
    HRESULT Transform(IMediaSample* pSample, const AM_SAMPLE2_PROPERTIES& props);

    // Drops the open unit and the finished ones not yet delivered.
    void Flush();
    // Clock back to 0 and the unit length to be chosen again from the video frame rate.
    void Restart() { m_cutter.Restart(); }

private:
    const Scanner& m_scanner;
    CStreamFailure& m_failure;
    CBaseOutputPin* m_pOutput = nullptr;
    CMediaType m_mtOut;
    AudioCutter m_cutter;
    InternQueue m_openQueue;
    InternQueue m_readyQueue;
};
