#pragma once

// Cuts a PCM byte stream into media samples of an output pin and delivers them.
// Sample times follow the audio itself: the first sample of a run starts at the
// anchor time (the first time the input gave, else 0) and each later one where
// the previous one ended, so times never drift from the sample count. Samples
// hold whole sample frames; nothing is kept between calls to Write.

#include "PcmFormat.h"

#include "streams.h"

#include <span>

class PcmSampleWriter
{
public:
    explicit PcmSampleWriter(CBaseOutputPin* pPin) : m_pPin(pPin) {}

    void SetFormat(const PcmFormat& format) { m_Format = format; }
    // A new run: the next sample is a discontinuity and waits for an anchor time.
    void Restart();
    // Takes tStart as the time of the next byte when the run has no anchor yet.
    void AnchorTime(REFERENCE_TIME tStart);

    // Delivers the bytes (a whole number of sample frames); the first failing
    // delivery result ends the call.
    HRESULT Write(std::span<const BYTE> bytes);

private:
    HRESULT DeliverOne(std::span<const BYTE>& bytes);
    REFERENCE_TIME TimeOfFrame(LONGLONG nFrame) const;

    CBaseOutputPin* const m_pPin;
    PcmFormat m_Format;
    bool m_bAnchored = false;
    bool m_bDiscontinuity = true;
    REFERENCE_TIME m_tAnchor = 0;
    LONGLONG m_nFramesWritten = 0; // since the anchor
};
