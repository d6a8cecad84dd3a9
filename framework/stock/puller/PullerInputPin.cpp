#include "PullerInputPin.h"

#include "AsyncPullerFilter.h"

CPullerInputPin::CPullerInputPin(CAsyncPullerFilter* pFilter, CCritSec* pLock, HRESULT* phr)
    : CBasePin(NAME("Puller input"), pFilter, pLock, phr, L"Input", PINDIR_INPUT)
{
}

CPullerInputPin::~CPullerInputPin()
{
    if (m_pReader)
        m_pReader->Release();
}

HRESULT CPullerInputPin::CheckMediaType(const CMediaType* pmt)
{
    return pmt->majortype == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CPullerInputPin::CheckConnect(IPin* pPin)
{
    HRESULT hr = CBasePin::CheckConnect(pPin);
    if (FAILED(hr))
        return hr;
    // Asking for IAsyncReader is also what lets the reader's pin connect.
    hr = pPin->QueryInterface(IID_IAsyncReader, reinterpret_cast<void**>(&m_pReader));
    return FAILED(hr) ? VFW_E_NO_TRANSPORT : S_OK;
}

HRESULT CPullerInputPin::BreakConnect()
{
    if (m_pReader)
    {
        m_pReader->Release();
        m_pReader = nullptr;
    }
    return CBasePin::BreakConnect();
}
