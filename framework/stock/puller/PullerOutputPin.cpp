#include "PullerOutputPin.h"

#include "AsyncPullerFilter.h"

#include <algorithm>

CPullerOutputPin::CPullerOutputPin(CAsyncPullerFilter* pFilter, CCritSec* pLock, HRESULT* phr)
    : CBaseOutputPin(NAME("Puller output"), pFilter, pLock, phr, L"Output"), m_pPuller(pFilter)
{
}

CPullerOutputPin::~CPullerOutputPin()
{
    JoinThread();
}

HRESULT CPullerOutputPin::CheckMediaType(const CMediaType* pmt)
{
    if (!m_pPuller->IsSourceConnected())
        return VFW_E_NOT_CONNECTED;
    return pmt->majortype == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CPullerOutputPin::GetMediaType(int iPosition, CMediaType* pmt)
{
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 0)
        return VFW_S_NO_MORE_ITEMS;
    if (!m_pPuller->IsSourceConnected())
        return VFW_E_NOT_CONNECTED;
    return pmt->Set(m_pPuller->SourceType());
}

HRESULT CPullerOutputPin::DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest)
{
    pRequest->cBuffers = std::max(pRequest->cBuffers, kSampleCount);
    pRequest->cbBuffer = std::max(pRequest->cbBuffer, kSampleBytes);
    pRequest->cbAlign = std::max<LONG>(pRequest->cbAlign, 1);
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = pAlloc->SetProperties(pRequest, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cbBuffer >= 1 ? S_OK : E_FAIL;
}

HRESULT CPullerOutputPin::Active()
{
    const HRESULT hr = CBaseOutputPin::Active();
    if (FAILED(hr) || !IsConnected() || !m_pPuller->Reader())
        return hr;
    m_bStopping = false;
    m_llPosition = 0;
    m_Thread = std::thread([this] { PullLoop(); });
    return S_OK;
}

HRESULT CPullerOutputPin::Inactive()
{
    m_bStopping = true;
    const HRESULT hr = CBaseOutputPin::Inactive();
    JoinThread();
    return hr;
}

void CPullerOutputPin::JoinThread()
{
    if (m_Thread.joinable())
        m_Thread.join();
}

void CPullerOutputPin::PullLoop()
{
    IAsyncReader* pReader = m_pPuller->Reader();
    LONGLONG llTotal = 0;
    LONGLONG llAvailable = 0;
    HRESULT hr = pReader->Length(&llTotal, &llAvailable);
    if (FAILED(hr))
    {
        m_pPuller->NotifyEvent(EC_ERRORABORT, hr, 0);
        return;
    }
    while (!m_bStopping && m_llPosition < llTotal && PushNext(pReader, llTotal))
    {
    }
    if (!m_bStopping && m_llPosition >= llTotal)
        DeliverEndOfStream();
}

bool CPullerOutputPin::PushNext(IAsyncReader* pReader, LONGLONG llTotal)
{
    IMediaSample* pSample = nullptr;
    if (FAILED(GetDeliveryBuffer(&pSample, nullptr, nullptr, 0)))
        return false;
    BYTE* pData = nullptr;
    pSample->GetPointer(&pData);
    const LONG cbRead = LONG(std::min<LONGLONG>(pSample->GetSize(), llTotal - m_llPosition));
    HRESULT hr = pReader->SyncRead(m_llPosition, cbRead, pData);
    if (hr != S_OK)
    {
        pSample->Release();
        if (FAILED(hr))
            m_pPuller->NotifyEvent(EC_ERRORABORT, hr, 0);
        else
            m_llPosition = llTotal; // the source ended early: the stream ends here
        return false;
    }
    pSample->SetActualDataLength(cbRead);
    pSample->SetTime(nullptr, nullptr);
    pSample->SetDiscontinuity(m_llPosition == 0);
    m_llPosition += cbRead;
    hr = Deliver(pSample);
    pSample->Release();
    return hr == S_OK;
}
