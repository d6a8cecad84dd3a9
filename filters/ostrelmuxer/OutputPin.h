#pragma once

#include "streams.h"

class OstrelMuxerFilter;

// "8888CAFE Output": the C3 stream as a byte stream. Full output samples are delivered
// through an output queue, which runs a thread of its own when the downstream pin says
// its Receive may block, so the upstream threads need not wait for a slow downstream.
// Seeking requests are passed upstream through "Video In".
class OutputPin : public CBaseOutputPin
{
public:
    OutputPin(OstrelMuxerFilter* pFilter, CCritSec* pLock, HRESULT* phr);
    ~OutputPin() override;

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    HRESULT Active() override;
    HRESULT Inactive() override;
    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT SetMediaType(const CMediaType* pmt) override;
    HRESULT CheckConnect(IPin* pPin) override;
    HRESULT GetMediaType(int iPosition, CMediaType* pmt) override;
    HRESULT DecideBufferSize(IMemAllocator* pAllocator, ALLOCATOR_PROPERTIES* pRequest) override;

    // Without an output queue (inactive or unconnected) samples are dropped and stream
    // calls other than end of stream ignored; all report S_OK.
    HRESULT Deliver(IMediaSample* pSample) override;
    HRESULT DeliverEndOfStream() override;
    HRESULT DeliverBeginFlush() override;
    HRESULT DeliverEndFlush() override;
    HRESULT DeliverNewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

    // Quality messages are ignored.
    HRESULT Notify(IBaseFilter* pSender, Quality q) override;

private:
    HRESULT CreatePositionPassThru();

    OstrelMuxerFilter* const m_pMuxer;
    COutputQueue* m_pOutputQueue = nullptr;
    IUnknown* m_pPosition = nullptr;
};
