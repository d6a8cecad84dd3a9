#include "TeeInputPin.h"

#include "InfTeeFilter.h"

CTeeInputPin::CTeeInputPin(CInfTeeFilter* pTee, CCritSec* pLock, HRESULT* phr)
    : CBaseInputPin(NAME("Tee input"), pTee, pLock, phr, L"Input"), m_pTee(pTee)
{
}

HRESULT CTeeInputPin::CheckMediaType(const CMediaType* pmt)
{
    return m_pTee->CheckOutputsAccept(pmt);
}

HRESULT CTeeInputPin::Receive(IMediaSample* pSample)
{
    const HRESULT hr = CBaseInputPin::Receive(pSample);
    if (hr != S_OK)
        return hr;
    return m_pTee->DeliverToOutputs(pSample);
}

HRESULT CTeeInputPin::EndOfStream()
{
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    return m_pTee->DeliverEndOfStream();
}

HRESULT CTeeInputPin::BeginFlush()
{
    CBaseInputPin::BeginFlush();
    return m_pTee->DeliverBeginFlush();
}

HRESULT CTeeInputPin::EndFlush()
{
    m_pTee->DeliverEndFlush();
    return CBaseInputPin::EndFlush();
}

HRESULT CTeeInputPin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    CBasePin::NewSegment(tStart, tStop, dRate);
    return m_pTee->DeliverNewSegment(tStart, tStop, dRate);
}
