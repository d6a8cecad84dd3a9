#pragma once

#include "streams.h"

#include <atomic>

class OstrelMuxerFilter;

// What the muxer's two input pins share: each sample passes the pin's gate, then is muxed
// under the filter's receive lock; stream calls go to the filter.
class MuxerInputPin : public CBaseInputPin
{
public:
    MuxerInputPin(OstrelMuxerFilter* pFilter, CCritSec* pLock, HRESULT* phr, LPCWSTR pName);

    HRESULT Receive(IMediaSample* pSample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;
    HRESULT CheckStreaming() override;
    HRESULT ReceiveCanBlock() override { return S_OK; }

    // End of stream was received and accepted; cleared by EndFlush.
    bool IsAtEndOfStream() const { return m_bEndOfStream; }

protected:
    // Waits for this pin's turn; false when the sample must not be muxed.
    virtual bool PassGate() = 0;
    // Muxes one sample (receive lock held).
    virtual HRESULT Mux(IMediaSample* pSample) = 0;

    OstrelMuxerFilter* const m_pMuxer;

private:
    bool CanFlush() const;

    std::atomic<bool> m_bEndOfStream{false};
};
