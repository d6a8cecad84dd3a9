#include "BaseAllocator.h"

#include "MediaSample.h"

CBaseAllocator::CBaseAllocator(LPCTSTR pName, LPUNKNOWN pUnk, HRESULT* /*phr*/)
    : CUnknown(pName, pUnk)
{
}

CBaseAllocator::~CBaseAllocator() = default;

HRESULT CBaseAllocator::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IMemAllocator)
        return GetInterface(static_cast<IMemAllocator*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CBaseAllocator::SetProperties(ALLOCATOR_PROPERTIES* pRequest, ALLOCATOR_PROPERTIES* pActual)
{
    if (!pRequest || !pActual)
        return E_POINTER;
    if (pRequest->cBuffers < 0 || pRequest->cbBuffer < 0 || pRequest->cbPrefix < 0)
        return E_INVALIDARG;
    if (pRequest->cbAlign <= 0 || (pRequest->cbAlign & (pRequest->cbAlign - 1)) != 0)
        return VFW_E_BADALIGN;

    std::lock_guard<std::mutex> lock(m_csAllocator);
    if (m_bCommitted)
        return VFW_E_ALREADY_COMMITTED;
    if (!AllSamplesFree())
        return VFW_E_BUFFERS_OUTSTANDING;

    if (pRequest->cBuffers != m_lCount || pRequest->cbBuffer != m_lSize ||
        pRequest->cbAlign != m_lAlignment || pRequest->cbPrefix != m_lPrefix)
        m_bChanged = TRUE;
    m_lCount = pRequest->cBuffers;
    m_lSize = pRequest->cbBuffer;
    m_lAlignment = pRequest->cbAlign;
    m_lPrefix = pRequest->cbPrefix;
    *pActual = *pRequest;
    return S_OK;
}

HRESULT CBaseAllocator::GetProperties(ALLOCATOR_PROPERTIES* pProps)
{
    if (!pProps)
        return E_POINTER;
    std::lock_guard<std::mutex> lock(m_csAllocator);
    pProps->cBuffers = m_lCount;
    pProps->cbBuffer = m_lSize;
    pProps->cbAlign = m_lAlignment;
    pProps->cbPrefix = m_lPrefix;
    return S_OK;
}

HRESULT CBaseAllocator::Commit()
{
    std::lock_guard<std::mutex> lock(m_csAllocator);
    if (m_bCommitted)
        return S_OK;
    if (m_bDecommitInProgress)
    {
        // The samples still out simply stay in use.
        m_bDecommitInProgress = FALSE;
        m_bCommitted = TRUE;
        return S_OK;
    }
    if (m_lCount <= 0 || m_lSize <= 0)
        return VFW_E_SIZENOTSET;
    const HRESULT hr = Alloc();
    if (FAILED(hr))
        return hr;
    m_bChanged = FALSE;
    m_bCommitted = TRUE;
    return S_OK;
}

HRESULT CBaseAllocator::Decommit()
{
    {
        std::lock_guard<std::mutex> lock(m_csAllocator);
        if (!m_bCommitted)
            return S_OK;
        m_bCommitted = FALSE;
        if (AllSamplesFree())
            Free();
        else
            m_bDecommitInProgress = TRUE;
    }
    m_evFree.notify_all();
    return S_OK;
}

HRESULT CBaseAllocator::GetBuffer(IMediaSample** ppBuffer, REFERENCE_TIME* pStartTime,
                                  REFERENCE_TIME* pEndTime, DWORD dwFlags)
{
    if (!ppBuffer)
        return E_POINTER;
    *ppBuffer = nullptr;
    CMediaSample* pSample = nullptr;
    {
        std::unique_lock<std::mutex> lock(m_csAllocator);
        for (;;)
        {
            if (!m_bCommitted)
                return VFW_E_NOT_COMMITTED;
            pSample = RemoveFree();
            if (pSample)
                break;
            if (dwFlags & AM_GBF_NOWAIT)
                return VFW_E_TIMEOUT;
            m_evFree.wait(lock);
        }
        pSample->m_cRef = 1;
    }
    // The sample keeps the allocator alive until it comes back.
    NonDelegatingAddRef();
    pSample->SetTime(pStartTime, pEndTime);
    *ppBuffer = pSample;
    return S_OK;
}

HRESULT CBaseAllocator::ReleaseBuffer(IMediaSample* pBuffer)
{
    CMediaSample* pSample = dynamic_cast<CMediaSample*>(pBuffer);
    if (!pSample || pSample->m_pAllocator != this)
        return E_INVALIDARG;
    {
        std::lock_guard<std::mutex> lock(m_csAllocator);
        AddFree(pSample);
        if (m_bDecommitInProgress && AllSamplesFree())
        {
            m_bDecommitInProgress = FALSE;
            Free();
        }
    }
    m_evFree.notify_one();
    // Drops the reference taken by GetBuffer; this may destroy the allocator,
    // so nothing of it is touched afterwards.
    NonDelegatingRelease();
    return S_OK;
}

void CBaseAllocator::AddFree(CMediaSample* pSample)
{
    pSample->m_pNext = m_pFreeList;
    m_pFreeList = pSample;
    ++m_lFree;
}

CMediaSample* CBaseAllocator::RemoveFree()
{
    CMediaSample* pSample = m_pFreeList;
    if (pSample)
    {
        m_pFreeList = pSample->m_pNext;
        pSample->m_pNext = nullptr;
        --m_lFree;
    }
    return pSample;
}
