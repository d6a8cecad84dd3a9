#pragma once

// Async Puller: turns a pull source into a push source. Its input connects to an
// output pin that offers IAsyncReader (the multi-file reader's "Output"); while
// the filter runs, a thread of the output pin reads the source from its start to
// its end, straight into the output's media samples, and pushes each one
// downstream, then end of stream. The output offers the type the input was
// connected with, so downstream sees the source's own byte stream type.

#include "PullerInputPin.h"
#include "PullerOutputPin.h"

#include "streams.h"

class CAsyncPullerFilter : public CBaseFilter
{
public:
    CAsyncPullerFilter(LPUNKNOWN pUnk, HRESULT* phr);

    int GetPinCount() override { return 2; }
    CBasePin* GetPin(int n) override;

    // The connected source, or null.
    IAsyncReader* Reader() const { return m_InputPin.Reader(); }
    const CMediaType& SourceType() const { return m_InputPin.CurrentMediaType(); }
    bool IsSourceConnected() const { return m_InputPin.IsConnected(); }

private:
    CCritSec m_csFilter;
    CPullerInputPin m_InputPin;
    CPullerOutputPin m_OutputPin;
};
