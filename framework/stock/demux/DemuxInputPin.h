#pragma once

// The demultiplexer's input: a pushed MPEG-2 program stream (or MPEG-1 system
// stream) as MEDIATYPE_Stream. Samples and stream calls go to the filter.

#include "streams.h"

class CMpeg2DemuxFilter;

class CDemuxInputPin : public CBaseInputPin
{
public:
    CDemuxInputPin(CMpeg2DemuxFilter* pDemux, CCritSec* pLock, HRESULT* phr);

    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT Receive(IMediaSample* pSample) override;
    // The outputs wait for buffers, so the upstream thread may be held.
    HRESULT ReceiveCanBlock() override { return S_OK; }
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

private:
    CMpeg2DemuxFilter* const m_pDemux;
};
