#pragma once

// The puller's output: offers the source's type and, while active, runs the
// thread that reads the source in order and pushes what it read. A read error
// ends the run with EC_ERRORABORT; a source that ends before its announced length
// ends the stream there; a refused delivery ends the pushing (the filter that
// refused reports why). Inactive ends the thread: it leaves at its next
// check, or when decommitting the allocator ends its wait for a buffer.

#include "streams.h"

#include <atomic>
#include <thread>

class CAsyncPullerFilter;

class CPullerOutputPin : public CBaseOutputPin
{
public:
    // Bytes read into one sample, and samples in flight.
    static constexpr LONG kSampleBytes = 64 * 1024;
    static constexpr LONG kSampleCount = 4;

    CPullerOutputPin(CAsyncPullerFilter* pFilter, CCritSec* pLock, HRESULT* phr);
    ~CPullerOutputPin() override;

    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT GetMediaType(int iPosition, CMediaType* pmt) override;
    HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) override;
    HRESULT Active() override;
    HRESULT Inactive() override;

private:
    void PullLoop();
    // Reads the next piece of the source into a sample and delivers it; false
    // when the run is over (end of the source, a failure, or the pin stopping).
    bool PushNext(IAsyncReader* pReader, LONGLONG llTotal);
    void JoinThread();

    CAsyncPullerFilter* const m_pPuller;
    std::thread m_Thread;
    std::atomic<bool> m_bStopping{false};
    LONGLONG m_llPosition = 0;
};
