#include "AsyncIo.h"

#include <dshow/dshow.h>

#include <chrono>
#include <cstdint>
#include <new>
#include <system_error>

CAsyncIo::CAsyncIo(CAsyncStream* pStream) : m_pStream(pStream)
{
}

LONG CAsyncIo::Alignment() const
{
    const DWORD dwAlign = m_pStream->Alignment();
    // Only powers of two make sense; anything else reads unaligned.
    return dwAlign > 0 && (dwAlign & (dwAlign - 1)) == 0 && dwAlign <= 0x40000000 ? LONG(dwAlign)
                                                                                  : 1;
}

CAsyncIo::~CAsyncIo()
{
    StopThread();
    for (CGenericList<CRequest>* pList : {&m_listWork, &m_listDone, &m_listFree})
        while (pList->GetCount() > 0)
            delete pList->RemoveHead();
}

HRESULT CAsyncIo::AsyncActive()
{
    std::lock_guard<std::mutex> lock(m_csLists);
    if (m_thread.joinable())
        return S_OK;
    m_bStopWorker = false;
    try
    {
        m_thread = std::thread(&CAsyncIo::ThreadProc, this);
    }
    catch (const std::system_error&)
    {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CAsyncIo::AsyncInactive()
{
    BeginFlush();
    StopThread();
    EndFlush();
    return S_OK;
}

void CAsyncIo::StopThread()
{
    {
        std::lock_guard<std::mutex> lock(m_csLists);
        if (!m_thread.joinable())
            return;
        m_bStopWorker = true;
    }
    m_evWork.notify_all();
    m_thread.join();
}

void CAsyncIo::ThreadProc()
{
    std::unique_lock<std::mutex> lock(m_csLists);
    for (;;)
    {
        m_evWork.wait(lock, [this] { return m_bStopWorker || m_listWork.GetCount() > 0; });
        if (m_bStopWorker)
            return;
        CRequest* pRequest = m_listWork.RemoveHead();
        ++m_cItemsOut;
        lock.unlock();
        Complete(*pRequest);
        lock.lock();
        --m_cItemsOut;
        if (!m_listDone.AddTail(pRequest))
            delete pRequest;
        m_evDone.notify_all();
    }
}

void CAsyncIo::Complete(CRequest& request)
{
    m_pStream->Lock();
    HRESULT hr = m_pStream->SetPointer(request.llPos);
    DWORD cbRead = 0;
    if (hr == S_OK)
    {
        hr = m_pStream->Read(request.pBuffer, static_cast<DWORD>(request.lLength), request.bAligned,
                             &cbRead);
        if (cbRead > static_cast<DWORD>(request.lLength))
            cbRead = static_cast<DWORD>(request.lLength);
        if (hr == S_OK && cbRead != static_cast<DWORD>(request.lLength))
            hr = S_FALSE;
    }
    m_pStream->Unlock();
    request.hr = hr;
    request.cbActual = static_cast<LONG>(cbRead);
}

HRESULT CAsyncIo::CheckRequest(LONGLONG llPos, LONG lLength, BOOL bAligned, const BYTE* pBuffer)
{
    if (!pBuffer)
        return E_POINTER;
    if (llPos < 0 || lLength < 0)
        return E_INVALIDARG;
    if (bAligned && (!IsAligned(llPos) || !IsAligned(lLength) ||
                     !IsAligned(static_cast<LONGLONG>(reinterpret_cast<std::uintptr_t>(pBuffer)))))
        return VFW_E_BADALIGN;

    LONGLONG llAvailable = 0;
    if (llPos >= m_pStream->Size(&llAvailable))
        return HRESULT_FROM_WIN32(ERROR_HANDLE_EOF);
    return S_OK;
}

CAsyncIo::CRequest* CAsyncIo::NewRequest()
{
    CRequest* pRequest = m_listFree.RemoveHead();
    return pRequest ? pRequest : new (std::nothrow) CRequest{};
}

HRESULT CAsyncIo::Request(LONGLONG llPos, LONG lLength, BOOL bAligned, BYTE* pBuffer,
                          void* pContext, DWORD_PTR dwUser)
{
    const HRESULT hr = CheckRequest(llPos, lLength, bAligned, pBuffer);
    if (FAILED(hr))
        return hr;
    {
        std::lock_guard<std::mutex> lock(m_csLists);
        if (m_bFlushing)
            return VFW_E_WRONG_STATE;
        CRequest* pRequest = NewRequest();
        if (!pRequest)
            return E_OUTOFMEMORY;
        *pRequest = CRequest{llPos, lLength, bAligned, pBuffer, pContext, dwUser, S_OK, 0};
        if (!m_listWork.AddTail(pRequest))
        {
            delete pRequest;
            return E_OUTOFMEMORY;
        }
    }
    m_evWork.notify_one();
    return S_OK;
}

HRESULT CAsyncIo::WaitForNext(DWORD dwTimeout, void** ppContext, DWORD_PTR* pdwUser,
                              LONG* pcbActual)
{
    if (!ppContext || !pdwUser || !pcbActual)
        return E_POINTER;
    *ppContext = nullptr;
    *pdwUser = 0;
    *pcbActual = 0;

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(dwTimeout);
    std::unique_lock<std::mutex> lock(m_csLists);
    for (;;)
    {
        if (m_listDone.GetCount() > 0)
        {
            CRequest* pRequest = m_listDone.RemoveHead();
            *ppContext = pRequest->pContext;
            *pdwUser = pRequest->dwUser;
            *pcbActual = pRequest->cbActual;
            const HRESULT hr = pRequest->hr;
            if (!m_listFree.AddTail(pRequest))
                delete pRequest;
            return hr;
        }
        if (m_bFlushing && m_listWork.GetCount() == 0 && m_cItemsOut == 0)
            return VFW_E_WRONG_STATE;
        if (dwTimeout == INFINITE)
            m_evDone.wait(lock);
        else if (m_evDone.wait_until(lock, deadline) == std::cv_status::timeout &&
                 m_listDone.GetCount() == 0)
            return VFW_E_TIMEOUT;
    }
}

HRESULT CAsyncIo::SyncReadAligned(LONGLONG llPos, LONG lLength, BYTE* pBuffer, LONG* pcbActual,
                                  void* pvContext)
{
    if (!pcbActual)
        return E_POINTER;
    *pcbActual = 0;
    const HRESULT hr = CheckRequest(llPos, lLength, TRUE, pBuffer);
    if (FAILED(hr))
        return hr;
    CRequest request{llPos, lLength, TRUE, pBuffer, pvContext, 0, S_OK, 0};
    Complete(request);
    *pcbActual = request.cbActual;
    return request.hr;
}

HRESULT CAsyncIo::SyncRead(LONGLONG llPos, LONG lLength, BYTE* pBuffer)
{
    if (IsAligned(llPos) && IsAligned(lLength) &&
        IsAligned(static_cast<LONGLONG>(reinterpret_cast<std::uintptr_t>(pBuffer))))
    {
        LONG cbActual = 0;
        return SyncReadAligned(llPos, lLength, pBuffer, &cbActual, nullptr);
    }
    if (!pBuffer)
        return E_POINTER;
    if (llPos < 0 || lLength < 0)
        return E_INVALIDARG;
    CRequest request{llPos, lLength, FALSE, pBuffer, nullptr, 0, S_OK, 0};
    Complete(request);
    return request.hr;
}

HRESULT CAsyncIo::Length(LONGLONG* pllTotal, LONGLONG* pllAvailable)
{
    if (!pllTotal || !pllAvailable)
        return E_POINTER;
    *pllTotal = m_pStream->Size(pllAvailable);
    return S_OK;
}

HRESULT CAsyncIo::BeginFlush()
{
    {
        std::lock_guard<std::mutex> lock(m_csLists);
        m_bFlushing = true;
        while (m_listWork.GetCount() > 0)
        {
            CRequest* pRequest = m_listWork.RemoveHead();
            pRequest->hr = VFW_E_WRONG_STATE;
            pRequest->cbActual = 0;
            if (!m_listDone.AddTail(pRequest))
                delete pRequest;
        }
    }
    m_evDone.notify_all();
    return S_OK;
}

HRESULT CAsyncIo::EndFlush()
{
    {
        std::lock_guard<std::mutex> lock(m_csLists);
        m_bFlushing = false;
    }
    m_evDone.notify_all();
    return S_OK;
}
