#include "AsyncPullerFilter.h"

CAsyncPullerFilter::CAsyncPullerFilter(LPUNKNOWN pUnk, HRESULT* phr)
    : CBaseFilter(NAME("Async Puller"), pUnk, &m_csFilter, CLSID_AsyncPuller),
      m_InputPin(this, &m_csFilter, phr), m_OutputPin(this, &m_csFilter, phr)
{
}

CBasePin* CAsyncPullerFilter::GetPin(int n)
{
    switch (n)
    {
    case 0:
        return &m_InputPin;
    case 1:
        return &m_OutputPin;
    default:
        return nullptr;
    }
}
