#pragma once

#include "streams.h"

class ZentraxFilter;
class ZentraxInputPin;

// What "DeadCafe Out" and "Xform Out" share. Each gives out the stream of one input: it
// connects only once that input is connected, passes seeking to it, and delivers through an
// output queue with a thread of its own, so that the input's thread never waits for the
// downstream filter.
class ZentraxOutputPin : public CQueuedOutputPin
{
public:
    // pReceiveLock: the lock the pin's path works under.
    ZentraxOutputPin(ZentraxFilter* pFilter, CCritSec* pLock, CCritSec* pReceiveLock, HRESULT* phr,
                     LPCWSTR pName);

    HRESULT CheckConnect(IPin* pPin) override;
    // Records the type and hands it to the path, whose format it selects.
    HRESULT SetMediaType(const CMediaType* pmt) override;
    // At least the pin's buffer size, and enough buffers for one input buffer's worth of
    // units; E_FAIL when the allocator grants less.
    HRESULT DecideBufferSize(IMemAllocator* pAllocator, ALLOCATOR_PROPERTIES* pRequest) override;

    // Releases a streaming thread that waits for one of this pin's buffers: it gets an error.
    void ReleaseBufferWaiters();

protected:
    // IMediaPosition and IMediaSeeking go to the matching input's upstream pin.
    IPin* SeekingUpstreamPin() const override;
    virtual ZentraxInputPin* MatchingInput() const = 0;
    virtual HRESULT SetPathType(const CMediaType& mt) = 0;
    virtual LONG MinBufferSize() const = 0;
    // Buffers asked beyond those one input buffer's worth of units needs.
    virtual LONG ExtraBuffers() const = 0;

    ZentraxFilter* const m_pZentrax;
    CCritSec* const m_pReceiveLock;
};
