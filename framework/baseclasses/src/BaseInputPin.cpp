#include "BaseInputPin.h"

#include "BaseFilter.h"
#include "MemAllocator.h"

#include <com/ComPtr.h>

CBaseInputPin::CBaseInputPin(LPCTSTR pObjectName, CBaseFilter* pFilter, CCritSec* pLock,
                             HRESULT* phr, LPCWSTR pName)
    : CBasePin(pObjectName, pFilter, pLock, phr, pName, PINDIR_INPUT)
{
}

CBaseInputPin::~CBaseInputPin()
{
    if (m_pAllocator)
        m_pAllocator->Release();
}

HRESULT CBaseInputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IMemInputPin)
        return GetInterface(static_cast<IMemInputPin*>(this), ppv);
    return CBasePin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CBaseInputPin::GetAllocator(IMemAllocator** ppAllocator)
{
    if (!ppAllocator)
        return E_POINTER;
    CAutoLock lock(m_pLock);
    if (!m_pAllocator)
    {
        const HRESULT hr = CreateMemoryAllocator(&m_pAllocator);
        if (FAILED(hr))
        {
            *ppAllocator = nullptr;
            return hr;
        }
    }
    *ppAllocator = m_pAllocator;
    m_pAllocator->AddRef();
    return S_OK;
}

HRESULT CBaseInputPin::NotifyAllocator(IMemAllocator* pAllocator, BOOL bReadOnly)
{
    if (!pAllocator)
        return E_POINTER;
    CAutoLock lock(m_pLock);
    pAllocator->AddRef();
    if (m_pAllocator)
        m_pAllocator->Release();
    m_pAllocator = pAllocator;
    m_bReadOnly = bReadOnly;
    return S_OK;
}

HRESULT CBaseInputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES* /*pProps*/)
{
    return E_NOTIMPL;
}

HRESULT CBaseInputPin::CheckStreaming()
{
    if (!IsConnected())
        return VFW_E_NOT_CONNECTED;
    if (IsStopped())
        return VFW_E_WRONG_STATE;
    if (m_bFlushing)
        return S_FALSE;
    if (m_bRunTimeError)
        return VFW_E_RUNTIME_ERROR;
    return S_OK;
}

HRESULT CBaseInputPin::ReadSampleProperties(IMediaSample* pSample)
{
    ComPtr<IMediaSample2> pSample2;
    if (SUCCEEDED(pSample->QueryInterface(
            IID_IMediaSample2, reinterpret_cast<void**>(pSample2.ReleaseAndGetAddressOf()))))
    {
        return pSample2->GetProperties(sizeof(m_SampleProps),
                                       reinterpret_cast<BYTE*>(&m_SampleProps));
    }

    // A sample without IMediaSample2: gather the same facts one by one.
    m_SampleProps = AM_SAMPLE2_PROPERTIES{};
    m_SampleProps.cbData = sizeof(m_SampleProps);
    const HRESULT hrTime = pSample->GetTime(&m_SampleProps.tStart, &m_SampleProps.tStop);
    if (SUCCEEDED(hrTime))
        m_SampleProps.dwSampleFlags |=
            AM_SAMPLE_TIMEVALID | (hrTime == S_OK ? AM_SAMPLE_STOPVALID : 0);
    AM_MEDIA_TYPE* pType = nullptr;
    if (pSample->GetMediaType(&pType) == S_OK && pType)
    {
        const HRESULT hrType = m_mtReceived.Set(*pType);
        DeleteMediaType(pType);
        if (FAILED(hrType))
            return hrType;
        m_SampleProps.pMediaType = &m_mtReceived;
        m_SampleProps.dwSampleFlags |= AM_SAMPLE_TYPECHANGED;
    }
    if (pSample->IsSyncPoint() == S_OK)
        m_SampleProps.dwSampleFlags |= AM_SAMPLE_SPLICEPOINT;
    if (pSample->IsPreroll() == S_OK)
        m_SampleProps.dwSampleFlags |= AM_SAMPLE_PREROLL;
    if (pSample->IsDiscontinuity() == S_OK)
        m_SampleProps.dwSampleFlags |= AM_SAMPLE_DATADISCONTINUITY;
    m_SampleProps.lActual = pSample->GetActualDataLength();
    m_SampleProps.cbBuffer = pSample->GetSize();
    pSample->GetPointer(&m_SampleProps.pbBuffer);
    return S_OK;
}

HRESULT CBaseInputPin::Receive(IMediaSample* pSample)
{
    if (!pSample)
        return E_POINTER;
    HRESULT hr = CheckStreaming();
    if (hr != S_OK)
        return hr;

    hr = ReadSampleProperties(pSample);
    if (FAILED(hr))
        return hr;

    const bool bTypeChanged = (m_SampleProps.dwSampleFlags & AM_SAMPLE_TYPECHANGED) != 0;
    const AM_MEDIA_TYPE* pNewType = m_SampleProps.pMediaType;
    hr = S_OK;
    if (bTypeChanged && pNewType)
    {
        CMediaType mt(*pNewType);
        if (CheckMediaType(&mt) != S_OK)
        {
            // A type the pin cannot take ends the stream with an error.
            m_bRunTimeError = TRUE;
            EndOfStream();
            m_pFilter->NotifyEvent(EC_ERRORABORT, VFW_E_TYPE_NOT_ACCEPTED, 0);
            hr = VFW_E_INVALIDMEDIATYPE;
        }
    }
    return hr;
}

HRESULT CBaseInputPin::ReceiveMultiple(IMediaSample** pSamples, LONG nSamples,
                                       LONG* nSamplesProcessed)
{
    if (!pSamples || !nSamplesProcessed)
        return E_POINTER;
    HRESULT hr = S_OK;
    *nSamplesProcessed = 0;
    while (nSamples-- > 0)
    {
        hr = Receive(pSamples[*nSamplesProcessed]);
        if (hr != S_OK)
            break;
        ++*nSamplesProcessed;
    }
    return hr;
}

HRESULT CBaseInputPin::ReceiveCanBlock()
{
    int cOutputPins = 0;
    const int cPins = m_pFilter->GetPinCount();
    for (int i = 0; i < cPins; ++i)
    {
        CBasePin* pPin = m_pFilter->GetPin(i);
        PIN_DIRECTION dir;
        if (!pPin || FAILED(pPin->QueryDirection(&dir)) || dir != PINDIR_OUTPUT)
            continue;
        ++cOutputPins;
        IPin* pConnected = pPin->GetConnected();
        if (!pConnected)
            continue;
        ComPtr<IMemInputPin> pInput;
        if (SUCCEEDED(pConnected->QueryInterface(
                IID_IMemInputPin, reinterpret_cast<void**>(pInput.ReleaseAndGetAddressOf()))) &&
            pInput->ReceiveCanBlock() != S_FALSE)
            return S_OK;
    }
    return cOutputPins == 0 ? S_OK : S_FALSE;
}

HRESULT CBaseInputPin::BeginFlush()
{
    CAutoLock lock(m_pLock);
    m_bFlushing = TRUE;
    return S_OK;
}

HRESULT CBaseInputPin::EndFlush()
{
    CAutoLock lock(m_pLock);
    m_bFlushing = FALSE;
    m_bRunTimeError = FALSE;
    return S_OK;
}

HRESULT CBaseInputPin::BreakConnect()
{
    if (m_pAllocator)
    {
        m_pAllocator->Decommit();
        m_pAllocator->Release();
        m_pAllocator = nullptr;
    }
    return S_OK;
}

HRESULT CBaseInputPin::Inactive()
{
    m_bRunTimeError = FALSE;
    m_bFlushing = FALSE;
    if (!m_pAllocator)
        return VFW_E_NO_ALLOCATOR;
    return m_pAllocator->Decommit();
}
