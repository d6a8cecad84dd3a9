#include "InfTeeFilter.h"

#include <cstdio>
#include <new>

CInfTeeFilter::CInfTeeFilter(LPUNKNOWN pUnk, HRESULT* phr)
    : CBaseFilter(NAME("Infinite Pin Tee"), pUnk, &m_csFilter, CLSID_InfTee),
      m_InputPin(this, &m_csFilter, phr)
{
    const HRESULT hr = AddOutput();
    if (FAILED(hr))
        *phr = hr;
}

CInfTeeFilter::~CInfTeeFilter() = default;

int CInfTeeFilter::GetPinCount()
{
    return 1 + m_cOutputs;
}

CBasePin* CInfTeeFilter::GetPin(int n)
{
    if (n == 0)
        return &m_InputPin;
    if (n < 1 || n > m_cOutputs)
        return nullptr;
    return m_Outputs[size_t(n - 1)].get();
}

HRESULT CInfTeeFilter::AddOutput()
{
    const int n = m_cOutputs;
    if (size_t(n) >= kMaxOutputs)
        return E_FAIL;
    wchar_t name[16];
    std::swprintf(name, std::size(name), L"Output%d", n + 1);
    HRESULT hr = S_OK;
    auto pPin = std::unique_ptr<CTeeOutputPin>(new (std::nothrow)
                                                   CTeeOutputPin(this, &m_csFilter, &hr, name));
    if (!pPin)
        return E_OUTOFMEMORY;
    if (FAILED(hr))
        return hr;
    m_Outputs[size_t(n)] = std::move(pPin);
    m_cOutputs = n + 1;
    IncrementPinVersion();
    return S_OK;
}

void CInfTeeFilter::OnOutputConnected()
{
    CAutoLock lock(&m_csFilter);
    for (int i = 0; i < m_cOutputs; ++i)
    {
        if (!m_Outputs[size_t(i)]->IsConnected())
            return;
    }
    AddOutput(); // at the pin limit the tee simply has no free output left
}

template <class Call> HRESULT CInfTeeFilter::ForEachConnectedOutput(Call call)
{
    HRESULT hrLast = S_OK;
    bool bAnyTook = false;
    bool bAnyConnected = false;
    const int cOutputs = m_cOutputs;
    for (int i = 0; i < cOutputs; ++i)
    {
        CTeeOutputPin* pPin = m_Outputs[size_t(i)].get();
        if (!pPin->IsConnected())
            continue;
        bAnyConnected = true;
        hrLast = call(pPin);
        bAnyTook = bAnyTook || hrLast == S_OK;
    }
    return !bAnyConnected || bAnyTook ? S_OK : hrLast;
}

HRESULT CInfTeeFilter::CheckOutputsAccept(const CMediaType* pmt)
{
    const int cOutputs = m_cOutputs;
    for (int i = 0; i < cOutputs; ++i)
    {
        IPin* pPeer = m_Outputs[size_t(i)]->GetConnected();
        if (pPeer && pPeer->QueryAccept(pmt) != S_OK)
            return VFW_E_TYPE_NOT_ACCEPTED;
    }
    return S_OK;
}

HRESULT CInfTeeFilter::DeliverToOutputs(IMediaSample* pSample)
{
    return ForEachConnectedOutput([pSample](CTeeOutputPin* pPin)
                                  { return pPin->DeliverSample(pSample); });
}

HRESULT CInfTeeFilter::DeliverEndOfStream()
{
    return ForEachConnectedOutput([](CTeeOutputPin* pPin) { return pPin->DeliverEndOfStream(); });
}

HRESULT CInfTeeFilter::DeliverBeginFlush()
{
    return ForEachConnectedOutput([](CTeeOutputPin* pPin) { return pPin->DeliverBeginFlush(); });
}

HRESULT CInfTeeFilter::DeliverEndFlush()
{
    return ForEachConnectedOutput([](CTeeOutputPin* pPin) { return pPin->DeliverEndFlush(); });
}

HRESULT CInfTeeFilter::DeliverNewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    return ForEachConnectedOutput([=](CTeeOutputPin* pPin)
                                  { return pPin->DeliverNewSegment(tStart, tStop, dRate); });
}
