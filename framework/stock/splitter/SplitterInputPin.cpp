#include "SplitterInputPin.h"

#include "MpegSplitterFilter.h"

CSplitterInputPin::CSplitterInputPin(CMpegSplitterFilter* pSplitter, CCritSec* pLock, HRESULT* phr)
    : CBasePin(NAME("Splitter input"), pSplitter, pLock, phr, L"Input", PINDIR_INPUT),
      m_pSplitter(pSplitter)
{
}

CSplitterInputPin::~CSplitterInputPin()
{
    if (m_pReader)
        m_pReader->Release();
}

HRESULT CSplitterInputPin::CheckMediaType(const CMediaType* pmt)
{
    if (pmt->majortype != MEDIATYPE_Stream)
        return VFW_E_TYPE_NOT_ACCEPTED;
    const bool bKnown = pmt->subtype == MEDIASUBTYPE_MPEG2_PROGRAM ||
                        pmt->subtype == MEDIASUBTYPE_MPEG1System || pmt->subtype == GUID_NULL;
    return bKnown ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CSplitterInputPin::CheckConnect(IPin* pPin)
{
    HRESULT hr = CBasePin::CheckConnect(pPin);
    if (FAILED(hr))
        return hr;
    // Asking for IAsyncReader is also what lets the reader's pin connect.
    hr = pPin->QueryInterface(IID_IAsyncReader, reinterpret_cast<void**>(&m_pReader));
    return FAILED(hr) ? VFW_E_NO_TRANSPORT : S_OK;
}

HRESULT CSplitterInputPin::CompleteConnect(IPin* pReceivePin)
{
    const HRESULT hr = CBasePin::CompleteConnect(pReceivePin);
    if (FAILED(hr))
        return hr;
    return m_pSplitter->OpenSource(m_pReader);
}

HRESULT CSplitterInputPin::BreakConnect()
{
    m_pSplitter->CloseSource();
    if (m_pReader)
    {
        m_pReader->Release();
        m_pReader = nullptr;
    }
    return CBasePin::BreakConnect();
}
