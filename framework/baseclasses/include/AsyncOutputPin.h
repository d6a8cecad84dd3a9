#pragma once

// CAsyncOutputPin: the output pin of a pull-model source (IAsyncReader).
//
// It connects only to a pin that asks it for IAsyncReader while connecting
// (else VFW_E_NO_TRANSPORT), offers the reader's one media type and accepts a
// type with the same major type and subtype. Sample requests carry byte
// positions in their times (bytes times UNITS); they are checked against the
// sample's buffer and served by the reader's CAsyncIo. The pin does not push:
// Active starts the I/O worker, Inactive cancels what is queued and ends it.

#include "AsyncIo.h"
#include "BasePin.h"

#include <atomic>

class CAsyncReader;

class CAsyncOutputPin : public IAsyncReader, public CBasePin
{
public:
    CAsyncOutputPin(HRESULT* phr, CAsyncReader* pReader, CAsyncIo* pIo, CCritSec* pLock);

    DECLARE_IUNKNOWN

    // Notes a request for IAsyncReader: the peer pulls from this pin.
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT GetMediaType(int iPosition, CMediaType* pMediaType) override;
    HRESULT CheckMediaType(const CMediaType* pType) override;
    HRESULT CheckConnect(IPin* pPin) override;
    HRESULT CompleteConnect(IPin* pReceivePin) override;
    HRESULT BreakConnect() override;
    HRESULT Active() override;
    HRESULT Inactive() override;

    // IAsyncReader
    // Sets the properties (alignment at least the stream's) on the preferred
    // allocator if it takes them, else on an allocator of the pin's own.
    HRESULT RequestAllocator(IMemAllocator* pPreferred, ALLOCATOR_PROPERTIES* pProps,
                             IMemAllocator** ppActual) override;
    HRESULT Request(IMediaSample* pSample, DWORD_PTR dwUser) override;
    HRESULT WaitForNext(DWORD dwTimeout, IMediaSample** ppSample, DWORD_PTR* pdwUser) override;
    HRESULT SyncReadAligned(IMediaSample* pSample) override;
    HRESULT SyncRead(LONGLONG llPosition, LONG lLength, BYTE* pBuffer) override;
    HRESULT Length(LONGLONG* pTotal, LONGLONG* pAvailable) override;
    // IAsyncReader and IPin flushing are the same: both flush the reads.
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

private:
    // Byte range of a sample from its times, checked against its buffer.
    HRESULT ConvertSampleTimes(IMediaSample* pSample, LONGLONG& llPos, LONG& lLength,
                               BYTE*& pBuffer);
    // Sets the sample's data length and stop time to what was read.
    static void SetReadResult(IMediaSample* pSample, LONG cbActual);
    HRESULT SetAllocatorProperties(IMemAllocator* pAllocator, ALLOCATOR_PROPERTIES* pProps);

    CAsyncReader* const m_pReader;
    CAsyncIo* const m_pIo;
    std::atomic<bool> m_bQueriedForAsyncReader{false};
};
