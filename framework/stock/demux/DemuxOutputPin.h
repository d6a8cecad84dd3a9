#pragma once

// An output pin of the MPEG-2 demultiplexer, made by CreateOutputPin with a
// name and a media type. It offers that type only and delivers, on a queue
// thread of its own, the payload of the PES packets its stream id map selects
// (IMPEG2StreamIdMap).
//
// Payload is copied once, from the input sample into the pin's own samples. A
// packet that carries a time stamp starts a new sample with that time; packets
// without one are appended to the open sample, and a sample that fills up is
// delivered and continued in the next. When every buffer is downstream the
// demultiplexer's input waits for one, so nothing is lost; the buffers hold a
// second or two of a typical stream, which covers the distance between a
// packet's arrival and its presentation.

#include "streams.h"

#include <optional>
#include <span>
#include <vector>

class CMpeg2DemuxFilter;

class CDemuxOutputPin : public CQueuedOutputPin, public IMPEG2StreamIdMap
{
public:
    CDemuxOutputPin(CMpeg2DemuxFilter* pDemux, CCritSec* pLock, HRESULT* phr, LPCWSTR pName,
                    const AM_MEDIA_TYPE& mt);
    ~CDemuxOutputPin() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT GetMediaType(int iPosition, CMediaType* pmt) override;
    HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) override;

    // IMPEG2StreamIdMap
    HRESULT MapStreamId(ULONG ulStreamId, DWORD MediaSampleContent, ULONG ulSubstreamFilterValue,
                        int iDataOffset) override;
    HRESULT UnmapStreamId(ULONG culStreamId, ULONG* pulStreamId) override;
    HRESULT EnumStreamIdMap(IEnumStreamIdMap** ppIEnumStreamIdMap) override;

    // The type offered for connections (filter lock held).
    HRESULT SetOfferedType(const CMediaType& mt);
    // The map entry for a stream id, if this pin delivers that stream (routing
    // lock held).
    std::optional<STREAM_ID_MAP> EntryFor(ULONG streamId) const;

    // Streaming, under the demultiplexer's receive lock.
    // A new stream: the next sample is a discontinuity; an open sample is dropped.
    void Restart();
    // Adds payload; a time starts a new sample that carries it.
    void Append(std::span<const BYTE> bytes, std::optional<REFERENCE_TIME> tStart);
    // Delivers the open sample.
    void DeliverOpenSample();
    // Decommits the pin's buffers, so that a thread waiting for one returns.
    void ReleaseBufferWait();

protected:
    IPin* SeekingUpstreamPin() const override;

private:
    bool OpenSample(std::optional<REFERENCE_TIME> tStart);

    CMpeg2DemuxFilter* const m_pDemux;
    CMediaType m_mtOffered;
    std::vector<STREAM_ID_MAP> m_Map; // guarded by the filter's routing lock

    // Streaming state (receive lock).
    IMediaSample* m_pOpen = nullptr;
    BYTE* m_pOpenData = nullptr;
    LONG m_cbOpen = 0;
    LONG m_cbOpenSize = 0;
    bool m_bDiscontinuity = true;
};
