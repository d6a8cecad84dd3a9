#pragma once

// The Infinite Pin Tee's input: takes any media type its connected outputs'
// peers also take, and hands every sample and stream call to the outputs.

#include "streams.h"

class CInfTeeFilter;

class CTeeInputPin : public CBaseInputPin
{
public:
    CTeeInputPin(CInfTeeFilter* pTee, CCritSec* pLock, HRESULT* phr);

    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT Receive(IMediaSample* pSample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

    // The allocator the upstream pin chose; the outputs pass it downstream.
    IMemAllocator* UpstreamAllocator() const { return m_pAllocator; }

private:
    CInfTeeFilter* const m_pTee;
};
