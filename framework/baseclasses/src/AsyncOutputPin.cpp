#include "AsyncOutputPin.h"

#include "AsyncReader.h"
#include "MemAllocator.h"

#include <com/ComPtr.h>

CAsyncOutputPin::CAsyncOutputPin(HRESULT* phr, CAsyncReader* pReader, CAsyncIo* pIo,
                                 CCritSec* pLock)
    : CBasePin(NAME("Async output pin"), pReader, pLock, phr, L"Output", PINDIR_OUTPUT),
      m_pReader(pReader), m_pIo(pIo)
{
}

HRESULT CAsyncOutputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IAsyncReader)
    {
        m_bQueriedForAsyncReader = true;
        return GetInterface(static_cast<IAsyncReader*>(this), ppv);
    }
    return CBasePin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CAsyncOutputPin::GetMediaType(int iPosition, CMediaType* pMediaType)
{
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 0)
        return VFW_S_NO_MORE_ITEMS;
    return pMediaType->Set(*m_pReader->LoadType());
}

HRESULT CAsyncOutputPin::CheckMediaType(const CMediaType* pType)
{
    const CMediaType* pOffered = m_pReader->LoadType();
    return *pType->Type() == *pOffered->Type() && *pType->Subtype() == *pOffered->Subtype()
               ? S_OK
               : S_FALSE;
}

HRESULT CAsyncOutputPin::CheckConnect(IPin* pPin)
{
    // The peer proves it pulls by asking for IAsyncReader after this point.
    m_bQueriedForAsyncReader = false;
    return CBasePin::CheckConnect(pPin);
}

HRESULT CAsyncOutputPin::CompleteConnect(IPin* pReceivePin)
{
    if (!m_bQueriedForAsyncReader)
        return VFW_E_NO_TRANSPORT;
    return CBasePin::CompleteConnect(pReceivePin);
}

HRESULT CAsyncOutputPin::BreakConnect()
{
    m_bQueriedForAsyncReader = false;
    return CBasePin::BreakConnect();
}

HRESULT CAsyncOutputPin::Active()
{
    return m_pIo->AsyncActive();
}

HRESULT CAsyncOutputPin::Inactive()
{
    return m_pIo->AsyncInactive();
}

HRESULT CAsyncOutputPin::SetAllocatorProperties(IMemAllocator* pAllocator,
                                                ALLOCATOR_PROPERTIES* pProps)
{
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = pAllocator->SetProperties(pProps, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cbAlign > 0 && m_pIo->IsAligned(actual.cbAlign) ? S_OK : VFW_E_BADALIGN;
}

HRESULT CAsyncOutputPin::RequestAllocator(IMemAllocator* pPreferred, ALLOCATOR_PROPERTIES* pProps,
                                          IMemAllocator** ppActual)
{
    if (!pProps || !ppActual)
        return E_POINTER;
    *ppActual = nullptr;
    ALLOCATOR_PROPERTIES props = *pProps;
    if (props.cbAlign < m_pIo->Alignment())
        props.cbAlign = m_pIo->Alignment();

    if (pPreferred && SUCCEEDED(SetAllocatorProperties(pPreferred, &props)))
    {
        pPreferred->AddRef();
        *ppActual = pPreferred;
        return S_OK;
    }

    ComPtr<IMemAllocator> pOwn;
    HRESULT hr = CreateMemoryAllocator(pOwn.ReleaseAndGetAddressOf());
    if (SUCCEEDED(hr))
        hr = SetAllocatorProperties(pOwn.Get(), &props);
    if (FAILED(hr))
        return hr;
    *ppActual = pOwn.Detach();
    return S_OK;
}

HRESULT CAsyncOutputPin::ConvertSampleTimes(IMediaSample* pSample, LONGLONG& llPos, LONG& lLength,
                                            BYTE*& pBuffer)
{
    if (!pSample)
        return E_POINTER;
    REFERENCE_TIME tStart = 0;
    REFERENCE_TIME tStop = 0;
    HRESULT hr = pSample->GetTime(&tStart, &tStop);
    if (FAILED(hr))
        return hr;
    if (tStart < 0 || tStop < tStart)
        return E_INVALIDARG;
    llPos = tStart / UNITS;
    const LONGLONG llLength = (tStop - tStart) / UNITS;
    if (llLength > pSample->GetSize())
        return VFW_E_BUFFER_OVERFLOW;
    lLength = static_cast<LONG>(llLength);
    return pSample->GetPointer(&pBuffer);
}

void CAsyncOutputPin::SetReadResult(IMediaSample* pSample, LONG cbActual)
{
    REFERENCE_TIME tStart = 0;
    REFERENCE_TIME tStop = 0;
    if (SUCCEEDED(pSample->GetTime(&tStart, &tStop)))
    {
        tStop = tStart + cbActual * UNITS;
        pSample->SetTime(&tStart, &tStop);
    }
    pSample->SetActualDataLength(cbActual);
}

HRESULT CAsyncOutputPin::Request(IMediaSample* pSample, DWORD_PTR dwUser)
{
    LONGLONG llPos = 0;
    LONG lLength = 0;
    BYTE* pBuffer = nullptr;
    const HRESULT hr = ConvertSampleTimes(pSample, llPos, lLength, pBuffer);
    if (FAILED(hr))
        return hr;
    return m_pIo->Request(llPos, lLength, TRUE, pBuffer, pSample, dwUser);
}

HRESULT CAsyncOutputPin::WaitForNext(DWORD dwTimeout, IMediaSample** ppSample, DWORD_PTR* pdwUser)
{
    if (!ppSample || !pdwUser)
        return E_POINTER;
    void* pContext = nullptr;
    LONG cbActual = 0;
    const HRESULT hr = m_pIo->WaitForNext(dwTimeout, &pContext, pdwUser, &cbActual);
    IMediaSample* pSample = static_cast<IMediaSample*>(pContext);
    if (pSample && SUCCEEDED(hr))
        SetReadResult(pSample, cbActual);
    *ppSample = pSample;
    return hr;
}

HRESULT CAsyncOutputPin::SyncReadAligned(IMediaSample* pSample)
{
    LONGLONG llPos = 0;
    LONG lLength = 0;
    BYTE* pBuffer = nullptr;
    HRESULT hr = ConvertSampleTimes(pSample, llPos, lLength, pBuffer);
    if (FAILED(hr))
        return hr;
    LONG cbActual = 0;
    hr = m_pIo->SyncReadAligned(llPos, lLength, pBuffer, &cbActual, pSample);
    if (SUCCEEDED(hr))
        SetReadResult(pSample, cbActual);
    return hr;
}

HRESULT CAsyncOutputPin::SyncRead(LONGLONG llPosition, LONG lLength, BYTE* pBuffer)
{
    return m_pIo->SyncRead(llPosition, lLength, pBuffer);
}

HRESULT CAsyncOutputPin::Length(LONGLONG* pTotal, LONGLONG* pAvailable)
{
    return m_pIo->Length(pTotal, pAvailable);
}

HRESULT CAsyncOutputPin::BeginFlush()
{
    return m_pIo->BeginFlush();
}

HRESULT CAsyncOutputPin::EndFlush()
{
    return m_pIo->EndFlush();
}
