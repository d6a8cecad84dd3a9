#pragma once

#include "streams.h"

class OstrelMuxerFilter;

// "8888CAFE Output": the C3 stream as a byte stream. Full output samples are delivered
// through an output queue, which runs a thread of its own when the downstream pin says
// its Receive may block, so the upstream threads need not wait for a slow downstream.
// Seeking requests are passed upstream through "Video In".
class OutputPin : public CQueuedOutputPin
{
public:
    OutputPin(OstrelMuxerFilter* pFilter, CCritSec* pLock, HRESULT* phr);

    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT SetMediaType(const CMediaType* pmt) override;
    HRESULT CheckConnect(IPin* pPin) override;
    HRESULT GetMediaType(int iPosition, CMediaType* pmt) override;
    HRESULT DecideBufferSize(IMemAllocator* pAllocator, ALLOCATOR_PROPERTIES* pRequest) override;

protected:
    // Seeking goes to the video source only: the audio follows the video's turns.
    IPin* SeekingUpstreamPin() const override;

private:
    OstrelMuxerFilter* const m_pMuxer;
};
