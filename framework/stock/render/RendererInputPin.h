#pragma once

// The input pin of the stock renderers: media types, samples and stream calls
// go to the filter, which paces them by the clock.

#include "streams.h"

class CStockRendererFilter;

class CRendererInputPin : public CRenderedInputPin
{
public:
    CRendererInputPin(CStockRendererFilter* pRenderer, CCritSec* pLock, HRESULT* phr,
                      LPCWSTR pName);

    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT Receive(IMediaSample* pSample) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

private:
    CStockRendererFilter* const m_pRenderer;
};
