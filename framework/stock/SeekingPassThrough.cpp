#include "SeekingPassThrough.h"

SeekingPassThrough::~SeekingPassThrough()
{
    if (m_pPassThru)
        m_pPassThru->Release();
}

HRESULT SeekingPassThrough::QueryInterface(REFIID riid, void** ppv)
{
    std::lock_guard lock(m_mutex);
    if (!m_pPassThru)
    {
        const HRESULT hr = CreatePosPassThru(m_pOwner, FALSE, m_pInputPin, &m_pPassThru);
        if (FAILED(hr))
            return hr;
    }
    return m_pPassThru->QueryInterface(riid, ppv);
}
