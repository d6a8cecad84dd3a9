#pragma once

// The common frame of the stock audio filters that turn one input stream into
// 16-bit PCM on one output: the audio decoder and the ACM wrapper.
//
// Samples are transformed on the upstream thread, under the receive lock, and the
// PCM they yield is delivered before Receive returns (PcmSampleWriter). End of
// stream first drains what the transform still holds. A refused delivery, or an
// output buffer that cannot be had (reported to the graph), ends the stream:
// later samples are refused with it until the filter leaves Stopped or a flush
// ends. Stop makes the pins
// inactive first (which releases a thread waiting for an output buffer), then
// takes the receive lock and ends streaming, so a transform never runs on a
// stopped filter.
//
// Derived filters say which types they take and offer, set up and tear down
// their codec state, and turn input bytes into PCM.

#include "PcmFormat.h"
#include "PcmSampleWriter.h"
#include "TransformPins.h"

#include "streams.h"

class CPcmTransformFilter : public CBaseFilter, public StockTransform
{
public:
    int GetPinCount() override { return 2; }
    CBasePin* GetPin(int n) override;

    HRESULT Stop() override;
    HRESULT Pause() override;

    // StockTransform: derived filters give the input and output types; an output
    // type fits when it is 16-bit PCM the filter offers itself.
    HRESULT CheckOutputType(const CMediaType& mtIn, const CMediaType* pmt) override;
    HRESULT DecideOutputBuffers(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) override;
    HRESULT ReceiveSample(IMediaSample* pSample, const AM_SAMPLE2_PROPERTIES& props) override;
    HRESULT EndOfInput() override;
    void FlushInput() override;
    // A flush ended: the buffered input is forgotten and the stream goes on again.
    void EndFlush() override;

    CTransformInputPin* InputPin() { return &m_InputPin; }
    CTransformOutputPin* OutputPin() { return &m_OutputPin; }

protected:
    CPcmTransformFilter(LPCTSTR pName, LPUNKNOWN pUnk, REFCLSID clsid, HRESULT* phr,
                        LONG cbOutputBuffer);

    // Streaming set-up for the connected types (under the receive lock).
    virtual HRESULT StartStreaming(const CMediaType& mtIn, const PcmFormat& out) = 0;
    virtual void StopStreaming() = 0;
    // Turns input bytes into PCM handed to Output(); bDiscontinuity marks a break
    // in the input.
    virtual HRESULT Transform(const BYTE* pData, LONG cbData, bool bDiscontinuity) = 0;
    // Hands over what the transform still holds at the end of the stream.
    virtual HRESULT Drain() = 0;
    // Forgets buffered input after a flush.
    virtual void ResetState() = 0;

    // Delivers PCM in the output format.
    HRESULT Output(std::span<const BYTE> pcm) { return m_Writer.Write(pcm); }

    CCritSec m_csFilter;
    CCritSec m_csReceive;

private:
    CTransformInputPin m_InputPin;
    CTransformOutputPin m_OutputPin;
    CStreamFailure m_Failure{this};
    PcmSampleWriter m_Writer;
    const LONG m_cbOutputBuffer;
    bool m_bStreaming = false; // guarded by m_csReceive
};
