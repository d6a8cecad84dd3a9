#pragma once

// Cuts a PCM byte stream into media samples of an output pin and delivers them.
// Sample times follow the audio itself: the first sample of a run starts at the
// anchor time (the first time the input gave, else 0) and each later one where
// the previous one ended, so times never drift from the sample count. Samples
// hold whole sample frames; nothing is kept between calls to Write.
//
// A refused delivery or a buffer that cannot be had ends the filter's stream
// (failure); once it has ended, Write delivers nothing.

#include "PcmFormat.h"

#include "streams.h"

#include <span>

class PcmSampleWriter
{
public:
    PcmSampleWriter(CBaseOutputPin* pPin, CStreamFailure& failure)
        : m_pPin(pPin), m_Failure(failure)
    {
    }

    void SetFormat(const PcmFormat& format) { m_Format = format; }
    // A new run: the next sample is a discontinuity and waits for an anchor time.
    void Restart();
    // Takes tStart as the time of the next byte when the run has no anchor yet.
    void AnchorTime(REFERENCE_TIME tStart);

    // Delivers the bytes (a whole number of sample frames); S_OK, or the result
    // that ended the stream.
    HRESULT Write(std::span<const BYTE> bytes);

private:
    HRESULT DeliverOne(std::span<const BYTE>& bytes);
    REFERENCE_TIME TimeOfFrame(LONGLONG nFrame) const;

    CBaseOutputPin* const m_pPin;
    CStreamFailure& m_Failure;
    PcmFormat m_Format;
    bool m_bAnchored = false;
    bool m_bDiscontinuity = true;
    REFERENCE_TIME m_tAnchor = 0;
    LONGLONG m_nFramesWritten = 0; // since the anchor
};
