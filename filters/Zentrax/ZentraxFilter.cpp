#include "ZentraxFilter.h"

#include "ZentraxUUIDS.h"

#include <new>

CUnknown* ZentraxFilter::CreateInstance(LPUNKNOWN pUnk, HRESULT* phr)
{
    CUnknown* pFilter = new (std::nothrow) ZentraxFilter(pUnk, phr);
    if (!pFilter && phr)
        *phr = E_OUTOFMEMORY;
    return pFilter;
}

ZentraxFilter::ZentraxFilter(LPUNKNOWN pUnk, HRESULT* phr)
    : CBaseFilter(NAME("Ostrel ZENTRAX"), pUnk, &m_csFilter, CLSID_Zentrax)
{
    m_apPins[0] = new (std::nothrow) CPlaceholderInputPin(this, &m_csFilter, phr, L"Audio In");
    m_apPins[1] = new (std::nothrow) CPlaceholderOutputPin(this, &m_csFilter, phr, L"DeadCafe Out");
    m_apPins[2] = new (std::nothrow) CPlaceholderInputPin(this, &m_csFilter, phr, L"Video In");
    m_apPins[3] = new (std::nothrow) CPlaceholderOutputPin(this, &m_csFilter, phr, L"Xform Out");
    for (CBasePin* pPin : m_apPins)
        if (!pPin && phr)
            *phr = E_OUTOFMEMORY;
}

ZentraxFilter::~ZentraxFilter()
{
    for (CBasePin* pPin : m_apPins)
        delete pPin;
}

int ZentraxFilter::GetPinCount()
{
    int cPins = 0;
    for (CBasePin* pPin : m_apPins)
        cPins += pPin ? 1 : 0;
    return cPins;
}

CBasePin* ZentraxFilter::GetPin(int n)
{
    return n >= 0 && n < kPinCount ? m_apPins[n] : nullptr;
}
