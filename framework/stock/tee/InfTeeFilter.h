#pragma once

// Infinite Pin Tee: one input, any number of outputs. Whenever the last output is
// connected a new free one appears, so there is always one to connect. Every
// sample the input receives goes to every connected output, the same sample
// without a copy (the outputs hand the input's allocator downstream read-only).
// Delivery runs on the upstream thread, output after output.

#include "TeeInputPin.h"
#include "TeeOutputPin.h"

#include "streams.h"

#include <array>
#include <atomic>
#include <memory>

class CInfTeeFilter : public CBaseFilter
{
public:
    CInfTeeFilter(LPUNKNOWN pUnk, HRESULT* phr);
    ~CInfTeeFilter() override;

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;

    CTeeInputPin* InputPin() { return &m_InputPin; }
    int OutputCount() const { return m_cOutputs; }
    CTeeOutputPin* OutputPin(int n) const { return m_Outputs[size_t(n)].get(); }

    // Called by an output pin once it is connected: adds a free output when none
    // is left (pin lock held).
    void OnOutputConnected();

    // S_OK when every connected output's peer accepts the type.
    HRESULT CheckOutputsAccept(const CMediaType* pmt);

    // Passes a sample, or a stream call, to every connected output. The sample
    // result is S_OK when some output took the sample (or none is connected),
    // else the last output's answer: once every output has refused the stream,
    // the refusal goes upstream and ends the delivery there.
    HRESULT DeliverToOutputs(IMediaSample* pSample);
    HRESULT DeliverEndOfStream();
    HRESULT DeliverBeginFlush();
    HRESULT DeliverEndFlush();
    HRESULT DeliverNewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate);

private:
    // Outputs never go away while the filter lives: a pin that was handed out
    // stays valid. Pins are added only while stopped, and the count is published
    // after the pin, so streaming threads walk the array without a lock.
    static constexpr size_t kMaxOutputs = 64;

    HRESULT AddOutput();
    template <class Call> HRESULT ForEachConnectedOutput(Call call);

    CCritSec m_csFilter;
    CTeeInputPin m_InputPin;
    std::array<std::unique_ptr<CTeeOutputPin>, kMaxOutputs> m_Outputs;
    std::atomic<int> m_cOutputs{0};
};
