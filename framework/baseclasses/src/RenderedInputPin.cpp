#include "RenderedInputPin.h"

#include "BaseFilter.h"

CRenderedInputPin::CRenderedInputPin(LPCTSTR pObjectName, CBaseFilter* pFilter, CCritSec* pLock,
                                     HRESULT* phr, LPCWSTR pName)
    : CBaseInputPin(pObjectName, pFilter, pLock, phr, pName)
{
}

HRESULT CRenderedInputPin::EndOfStream()
{
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;
    {
        std::lock_guard<std::mutex> lock(m_csComplete);
        m_bAtEndOfStream = TRUE;
    }
    DoCompleteHandling();
    return S_OK;
}

HRESULT CRenderedInputPin::EndFlush()
{
    CAutoLock lock(m_pLock);
    ResetEndOfStream();
    return CBaseInputPin::EndFlush();
}

HRESULT CRenderedInputPin::Active()
{
    ResetEndOfStream();
    return CBaseInputPin::Active();
}

HRESULT CRenderedInputPin::Run(REFERENCE_TIME /*tStart*/)
{
    DoCompleteHandling();
    return S_OK;
}

void CRenderedInputPin::DoCompleteHandling()
{
    bool bReport = false;
    {
        std::lock_guard<std::mutex> lock(m_csComplete);
        // The filter counts the run before it becomes Running, so a pin that
        // sees Running also sees this run's count.
        FILTER_STATE state = State_Stopped;
        m_pFilter->GetState(0, &state);
        const LONG lRun = m_pFilter->GetRunCount();
        if (m_bAtEndOfStream && state == State_Running && m_lNotifiedRun != lRun)
        {
            m_lNotifiedRun = lRun;
            bReport = true;
        }
    }
    if (bReport)
        m_pFilter->NotifyEvent(EC_COMPLETE, S_OK, 0);
}

void CRenderedInputPin::ResetEndOfStream()
{
    std::lock_guard<std::mutex> lock(m_csComplete);
    m_bAtEndOfStream = FALSE;
    m_lNotifiedRun = kNotNotified;
}

BOOL CRenderedInputPin::IsAtEndOfStream()
{
    std::lock_guard<std::mutex> lock(m_csComplete);
    return m_bAtEndOfStream;
}
