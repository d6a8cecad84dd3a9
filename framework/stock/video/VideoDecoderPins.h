#pragma once

// The input and output pins of the video decoder. Both call back into the
// filter; the output answers seeking by passing it upstream.

#include "SeekingPassThrough.h"

#include "streams.h"

class CVideoDecoderFilter;

class CVideoDecoderInputPin : public CBaseInputPin
{
public:
    CVideoDecoderInputPin(CVideoDecoderFilter* pFilter, CCritSec* pLock, HRESULT* phr);

    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT Receive(IMediaSample* pSample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

private:
    CVideoDecoderFilter* const m_pDecoder;
};

class CVideoDecoderOutputPin : public CBaseOutputPin
{
public:
    CVideoDecoderOutputPin(CVideoDecoderFilter* pFilter, CCritSec* pLock, HRESULT* phr);

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT CheckConnect(IPin* pPin) override;
    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT GetMediaType(int iPosition, CMediaType* pmt) override;
    HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) override;

private:
    CVideoDecoderFilter* const m_pDecoder;
    SeekingPassThrough m_Seeking;
};
