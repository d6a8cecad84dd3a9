#pragma once

// The input and output pins of the stock filters that turn one input stream
// into one output stream on the upstream thread (the audio decoder, the ACM
// wrapper, the video decoder). Both pins hand their work to the filter through
// StockTransform; the output answers seeking by passing it upstream.

#include "SeekingPassThrough.h"

#include "streams.h"

// What the transform pins ask of their filter.
class StockTransform
{
public:
    // Media types: what the input takes, what the output offers by position for
    // the connected input type, and whether an output type fits.
    virtual HRESULT CheckInputType(const CMediaType* pmt) = 0;
    virtual HRESULT GetOutputType(const CMediaType& mtIn, int iPosition, CMediaType* pmt) = 0;
    virtual HRESULT CheckOutputType(const CMediaType& mtIn, const CMediaType* pmt) = 0;
    virtual HRESULT DecideOutputBuffers(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) = 0;

    // Streaming calls, on the upstream thread.
    virtual HRESULT ReceiveSample(IMediaSample* pSample, const AM_SAMPLE2_PROPERTIES& props) = 0;
    virtual HRESULT EndOfInput() = 0;
    // Forgets buffered input (a flush ended, or a new segment starts).
    virtual void FlushInput() = 0;
    // A flush ended: also lets a stream that a refused delivery ended go on again.
    virtual void EndFlush() { FlushInput(); }

protected:
    ~StockTransform() = default;
};

class CTransformOutputPin;

class CTransformInputPin : public CBaseInputPin
{
public:
    CTransformInputPin(CBaseFilter* pFilter, StockTransform* pTransform,
                       CTransformOutputPin* pOutput, CCritSec* pLock, HRESULT* phr, LPCWSTR pName);

    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT Receive(IMediaSample* pSample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

private:
    StockTransform* const m_pTransform;
    CTransformOutputPin* const m_pOutput;
};

class CTransformOutputPin : public CBaseOutputPin
{
public:
    CTransformOutputPin(CBaseFilter* pFilter, StockTransform* pTransform,
                        CTransformInputPin* pInput, CCritSec* pLock, HRESULT* phr, LPCWSTR pName);

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT CheckConnect(IPin* pPin) override;
    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT GetMediaType(int iPosition, CMediaType* pmt) override;
    HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) override;

private:
    StockTransform* const m_pTransform;
    CTransformInputPin* const m_pInput;
    SeekingPassThrough m_Seeking;
};
