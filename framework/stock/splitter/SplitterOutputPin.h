#pragma once

// An output of the MPEG splitter ("Video" or "Audio"). It offers exactly one
// media type, the one the filter built for its stream, and owns the packet queue
// that the demultiplexing thread fills. While the filter is active a delivery
// thread of its own takes packets from the queue, copies them into media samples
// (a packet bigger than a sample spans several; the first carries the time) and
// delivers them; once the queue has ended it delivers end of stream.
//
// If the downstream pin refuses a sample, this output takes no more packets (its
// queue discards them), so the other output is never held back by this one. After
// S_FALSE ("send no more") end of stream still follows once the source has been
// read; after a failure, which the filter where it began has reported, nothing
// more is delivered. An output buffer that cannot be had is reported here.

#include "PacketQueue.h"

#include "streams.h"

#include <atomic>
#include <thread>

class CMpegSplitterFilter;

class CSplitterOutputPin : public CBaseOutputPin
{
public:
    struct Buffering
    {
        size_t cbQueue; // packet queue
        LONG cbSample;  // media sample buffers
        LONG cSamples;
    };

    CSplitterOutputPin(CMpegSplitterFilter* pSplitter, CCritSec* pLock, HRESULT* phr, LPCWSTR pName,
                       const CMediaType& mtOffered, const Buffering& buffering);
    ~CSplitterOutputPin() override;

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT GetMediaType(int iPosition, CMediaType* pmt) override;
    HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) override;
    HRESULT BreakConnect() override;
    HRESULT Active() override;
    HRESULT Inactive() override;

    PacketQueue* Queue() { return &m_Queue; }
    // Bytes one media sample of this output holds.
    size_t SampleSize() const { return size_t(m_Buffering.cbSample); }
    // Time of the last sample delivered in this run, and whether the run has ended.
    REFERENCE_TIME DeliveredTime() const { return m_rtDelivered; }
    bool HasEnded() const { return m_bEnded; }

private:
    void DeliveryLoop();
    // Delivers one packet in as many samples as it takes, until a refusal (m_Failure).
    void DeliverPacket(const PacketInfo& info, const BYTE* pData, size_t cbData);

    CMpegSplitterFilter* const m_pSplitter;
    const CMediaType m_mtOffered;
    const Buffering m_Buffering;
    PacketQueue m_Queue;
    CStreamFailure m_Failure;
    std::thread m_Thread;
    std::atomic<REFERENCE_TIME> m_rtDelivered{0};
    std::atomic<bool> m_bEnded{false};
    bool m_bDiscontinuity = true; // delivery thread only
};
