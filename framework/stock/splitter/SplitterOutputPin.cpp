#include "SplitterOutputPin.h"

#include "AllocatorSizing.h"
#include "MpegSplitterFilter.h"

#include <algorithm>
#include <cstring>

CSplitterOutputPin::CSplitterOutputPin(CMpegSplitterFilter* pSplitter, CCritSec* pLock,
                                       HRESULT* phr, LPCWSTR pName, const CMediaType& mtOffered,
                                       const Buffering& buffering)
    : CBaseOutputPin(NAME("Splitter output"), pSplitter, pLock, phr, pName), m_pSplitter(pSplitter),
      m_mtOffered(mtOffered, phr), m_Buffering(buffering), m_Failure(pSplitter)
{
}

CSplitterOutputPin::~CSplitterOutputPin()
{
    m_Queue.Close();
    if (m_Thread.joinable())
        m_Thread.join();
}

HRESULT CSplitterOutputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (ppv && riid == IID_IMediaSeeking)
        return m_pSplitter->QuerySeeking(ppv);
    return CBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CSplitterOutputPin::CheckMediaType(const CMediaType* pmt)
{
    return *pmt == m_mtOffered ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CSplitterOutputPin::GetMediaType(int iPosition, CMediaType* pmt)
{
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition > 0)
        return VFW_S_NO_MORE_ITEMS;
    return pmt->Set(m_mtOffered);
}

HRESULT CSplitterOutputPin::DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest)
{
    return SetAllocatorAtLeast(pAlloc, *pRequest, m_Buffering.cSamples, m_Buffering.cbSample);
}

HRESULT CSplitterOutputPin::BreakConnect()
{
    m_Queue.Free();
    return CBaseOutputPin::BreakConnect();
}

HRESULT CSplitterOutputPin::Active()
{
    HRESULT hr = CBaseOutputPin::Active();
    if (FAILED(hr))
        return hr;
    if (!m_Queue.Allocate(m_Buffering.cbQueue))
        return E_OUTOFMEMORY;
    m_rtDelivered = 0;
    m_bEnded = false;
    m_bDiscontinuity = true;
    m_Failure.Reset();
    m_Thread = std::thread([this] { DeliveryLoop(); });
    return S_OK;
}

HRESULT CSplitterOutputPin::Inactive()
{
    // Closing the queue ends the thread's wait for packets; decommitting the
    // allocator ends its wait for a buffer.
    m_Queue.Close();
    const HRESULT hr = CBaseOutputPin::Inactive();
    if (m_Thread.joinable())
        m_Thread.join();
    return hr;
}

void CSplitterOutputPin::DeliveryLoop()
{
    PacketInfo info;
    const BYTE* pData = nullptr;
    size_t cbData = 0;
    while (m_Failure.Result() == S_OK && m_Queue.Front(&info, &pData, &cbData))
    {
        DeliverPacket(info, pData, cbData);
        m_Queue.Pop();
    }
    if (m_Failure.Result() != S_OK)
        m_Queue.Discard();
    if (m_Failure.Result() == S_FALSE)
        m_Queue.Front(&info, &pData, &cbData); // waits for the end of the source
    // The position counts this output as done once it has delivered everything.
    m_bEnded = true;
    if (SUCCEEDED(m_Failure.Result()) && !m_Queue.IsClosed())
        DeliverEndOfStream();
}

void CSplitterOutputPin::DeliverPacket(const PacketInfo& info, const BYTE* pData, size_t cbData)
{
    bool bFirst = true;
    while (cbData > 0)
    {
        IMediaSample* pSample = nullptr;
        const HRESULT hr = GetDeliveryBuffer(&pSample, nullptr, nullptr, 0);
        if (FAILED(hr))
        {
            m_Failure.FromOwnWork(hr);
            return;
        }
        BYTE* pBuffer = nullptr;
        pSample->GetPointer(&pBuffer);
        const size_t cbCopy = std::min(cbData, size_t(pSample->GetSize()));
        std::memcpy(pBuffer, pData, cbCopy);
        pSample->SetActualDataLength(LONG(cbCopy));
        if (bFirst && (info.dwFlags & PacketInfo::kHasTime))
        {
            REFERENCE_TIME tStart = info.tStart;
            pSample->SetTime(&tStart, nullptr);
            m_rtDelivered = tStart;
        }
        pSample->SetSyncPoint(bFirst && (info.dwFlags & PacketInfo::kSyncPoint));
        pSample->SetDiscontinuity(m_bDiscontinuity);
        m_bDiscontinuity = false;
        bFirst = false;
        pData += cbCopy;
        cbData -= cbCopy;
        const HRESULT hrDelivery = m_Failure.FromDelivery(Deliver(pSample));
        pSample->Release();
        if (hrDelivery != S_OK)
            return;
    }
}
