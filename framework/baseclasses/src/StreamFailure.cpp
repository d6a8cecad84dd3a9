#include "StreamFailure.h"

CStreamFailure::CStreamFailure(CBaseFilter* pFilter, std::function<void()> onEnd)
    : m_pFilter(pFilter), m_onEnd(std::move(onEnd))
{
}

bool CStreamFailure::IsStopping(HRESULT hr)
{
    return hr == S_FALSE || hr == VFW_E_WRONG_STATE || hr == VFW_E_NOT_COMMITTED;
}

bool CStreamFailure::Keep(HRESULT hr)
{
    HRESULT hrNone = S_OK;
    if (hr == S_OK || !m_hr.compare_exchange_strong(hrNone, hr))
        return false;
    if (m_onEnd)
        m_onEnd();
    return true;
}

HRESULT CStreamFailure::FromDelivery(HRESULT hr)
{
    Keep(hr);
    return hr;
}

HRESULT CStreamFailure::FromOwnWork(HRESULT hr)
{
    if (Keep(hr) && !IsStopping(hr))
        m_pFilter->NotifyEvent(EC_ERRORABORT, hr, 0);
    return hr;
}
