#include "RendererInputPin.h"

#include "StockRendererFilter.h"

CRendererInputPin::CRendererInputPin(CStockRendererFilter* pRenderer, CCritSec* pLock, HRESULT* phr,
                                     LPCWSTR pName)
    : CRenderedInputPin(NAME("Renderer input"), pRenderer, pLock, phr, pName),
      m_pRenderer(pRenderer)
{
}

HRESULT CRendererInputPin::CheckMediaType(const CMediaType* pmt)
{
    return m_pRenderer->CheckInputType(pmt);
}

HRESULT CRendererInputPin::Receive(IMediaSample* pSample)
{
    const HRESULT hr = CRenderedInputPin::Receive(pSample);
    if (hr != S_OK)
        return hr;
    return m_pRenderer->ReceiveSample(pSample, *SampleProps());
}

HRESULT CRendererInputPin::EndOfStream()
{
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    // The stream is complete once its last sample has been presented.
    if (!m_pRenderer->WaitForEndOfLastSample())
        return S_FALSE;
    return CRenderedInputPin::EndOfStream();
}

HRESULT CRendererInputPin::BeginFlush()
{
    CRenderedInputPin::BeginFlush();
    m_pRenderer->OnStreamBreak();
    return S_OK;
}

HRESULT CRendererInputPin::EndFlush()
{
    m_pRenderer->OnStreamBreak();
    return CRenderedInputPin::EndFlush();
}
