#pragma once

// The stock MPEG-2 demultiplexer for program streams pushed to its input (for
// instance by an Infinite Pin Tee from a capture device). Output pins are made
// on request (IMpeg2Demultiplexer), each with a media type and a name, and each
// delivers what its stream id map selects (CDemuxOutputPin). The demultiplexer
// follows the maps it is given and probes nothing itself; unmapped streams are
// dropped.
//
// Threads and locks: the input's samples are parsed on the upstream thread
// under the receive lock; each output delivers on a queue thread of its own, so
// a renderer waiting for a picture's time never holds up the upstream filter
// while buffers remain. The routing lock (innermost) guards the list of outputs
// and their maps against the application thread. Stop first decommits the
// outputs' buffers (an input thread waiting for one returns), then takes the
// receive lock, makes the pins inactive (their queues end) and drops what is
// half assembled.
//
// Output pins are deleted only while stopped. A deleted pin leaves the filter's
// pin list at once but lives on, unconnected, until the filter is destroyed,
// since the application may still hold it.

#include "DemuxInputPin.h"
#include "DemuxOutputPin.h"
#include "PesRouter.h"
#include "ProgramStreamParser.h"

#include "streams.h"

#include <memory>
#include <mutex>
#include <span>
#include <vector>

class CMpeg2DemuxFilter : public CBaseFilter, public IMpeg2Demultiplexer
{
public:
    CMpeg2DemuxFilter(LPUNKNOWN pUnk, HRESULT* phr);
    ~CMpeg2DemuxFilter() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;

    HRESULT Stop() override;
    HRESULT Pause() override;

    // IMpeg2Demultiplexer
    HRESULT CreateOutputPin(AM_MEDIA_TYPE* pMediaType, LPWSTR pszPinName, IPin** ppIPin) override;
    HRESULT SetOutputPinMediaType(LPWSTR pszPinName, AM_MEDIA_TYPE* pMediaType) override;
    HRESULT DeleteOutputPin(LPWSTR pszPinName) override;

    // Called by the input pin on the upstream thread.
    HRESULT ReceiveBytes(std::span<const BYTE> bytes);
    HRESULT EndOfInput();
    void BeginFlushOutputs();
    void EndFlushOutputs();
    void NewSegmentOnOutputs(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate);

    CDemuxInputPin* InputPin() { return &m_InputPin; }
    std::mutex& RoutingLock() { return m_RoutingLock; }

private:
    CDemuxOutputPin* FindOutput(LPCWSTR pszPinName);
    // A new stream starts: the parser and the outputs forget what they hold
    // (receive lock held).
    void RestartStreaming();
    template <class Call> void ForEachOutput(Call call);

    static constexpr size_t kMaxOutputs = 32;

    CCritSec m_csFilter;
    CCritSec m_csReceive;
    std::mutex m_RoutingLock;
    CDemuxInputPin m_InputPin;
    PesRouter::PinList m_Outputs;
    PesRouter::PinList m_RetiredOutputs;
    PesRouter m_Router;
    ProgramStreamParser m_Parser;
};
