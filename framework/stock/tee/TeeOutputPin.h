#pragma once

// An output of the Infinite Pin Tee. It connects only once the input is, offers
// exactly the input's media type, and gives the downstream pin the input's
// allocator as read-only: the samples it delivers are the upstream's own. It
// neither commits nor decommits that allocator, which belongs to the upstream pin.
//
// Once its peer refuses a sample, the output delivers no more samples until the
// filter leaves Stopped or a flush ends; the refusal is its answer meanwhile.

#include "SeekingPassThrough.h"

#include "streams.h"

class CInfTeeFilter;

class CTeeOutputPin : public CBaseOutputPin
{
public:
    CTeeOutputPin(CInfTeeFilter* pTee, CCritSec* pLock, HRESULT* phr, LPCWSTR pName);

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT CheckConnect(IPin* pPin) override;
    HRESULT CompleteConnect(IPin* pReceivePin) override;
    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT GetMediaType(int iPosition, CMediaType* pmt) override;
    HRESULT DecideAllocator(IMemInputPin* pPin, IMemAllocator** ppAlloc) override;
    HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) override;
    HRESULT Active() override;
    HRESULT Inactive() override { return S_OK; }
    HRESULT DeliverEndFlush() override;

    HRESULT DeliverSample(IMediaSample* pSample);

private:
    CInfTeeFilter* const m_pTee;
    SeekingPassThrough m_Seeking;
    CStreamFailure m_Refusal;
};
