#include "MuxerInputPin.h"

#include "OstrelMuxerFilter.h"

MuxerInputPin::MuxerInputPin(OstrelMuxerFilter* pFilter, CCritSec* pLock, HRESULT* phr,
                             LPCWSTR pName)
    : CBaseInputPin(nullptr, pFilter, pLock, phr, pName), m_pMuxer(pFilter)
{
}

// A sample that is refused at the gate (stopped, or the wait was cancelled) is not looked
// at; once the stream has ended on a failure, the failure is the answer.
HRESULT MuxerInputPin::Receive(IMediaSample* pSample)
{
    const bool bTurn = PassGate();
    HRESULT hr = m_pMuxer->StreamResult();
    if (hr != S_OK || !bTurn)
        return hr != S_OK ? hr : S_FALSE;
    {
        CAutoLock lock(m_pMuxer->ReceiveLock());
        hr = m_pMuxer->StreamResult();
        if (hr == S_OK)
            hr = CBaseInputPin::Receive(pSample);
        if (hr != S_OK)
            return hr;
        hr = Mux(pSample);
    }
    m_pMuxer->PassTurn();
    return hr;
}

HRESULT MuxerInputPin::EndOfStream()
{
    CAutoLock lock(m_pMuxer->ReceiveLock());
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    m_bEndOfStream = true;
    return m_pMuxer->OnEndOfStream();
}

bool MuxerInputPin::CanFlush() const
{
    return IsConnected() && m_pMuxer->IsOutputConnected();
}

HRESULT MuxerInputPin::BeginFlush()
{
    CAutoLock lock(m_pLock);
    if (!CanFlush())
        return VFW_E_NOT_CONNECTED;
    const HRESULT hr = CBaseInputPin::BeginFlush();
    return SUCCEEDED(hr) ? m_pMuxer->OnBeginFlush() : hr;
}

HRESULT MuxerInputPin::EndFlush()
{
    CAutoLock lock(m_pLock);
    if (!CanFlush())
        return VFW_E_NOT_CONNECTED;
    HRESULT hr = m_pMuxer->OnEndFlush();
    if (FAILED(hr))
        return hr;
    hr = CBaseInputPin::EndFlush();
    m_bEndOfStream = false;
    return hr;
}

HRESULT MuxerInputPin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    CBaseInputPin::NewSegment(tStart, tStop, dRate);
    return m_pMuxer->OnNewSegment(tStart, tStop, dRate);
}

HRESULT MuxerInputPin::CheckStreaming()
{
    return m_pMuxer->IsOutputConnected() ? CBaseInputPin::CheckStreaming() : VFW_E_NOT_CONNECTED;
}
