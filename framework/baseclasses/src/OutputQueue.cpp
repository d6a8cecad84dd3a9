#include "OutputQueue.h"

#include <new>
#include <system_error>

COutputQueue::COutputQueue(IPin* pInputPin, HRESULT* phr, BOOL bAuto, BOOL bQueue, LONG lBatchSize,
                           BOOL bBatchExact, LONG lListSize, DWORD /*dwPriority*/,
                           bool /*bFlushingOpt*/)
    : m_bQueue(bQueue), m_lBatchSize(lBatchSize < 1 ? 1 : lBatchSize), m_bBatchExact(bBatchExact),
      m_List(nullptr, lListSize), m_Controls(nullptr, 1)
{
    const auto fail = [phr](HRESULT hr)
    {
        if (phr)
            *phr = hr;
    };
    if (!pInputPin)
    {
        fail(E_POINTER);
        return;
    }
    m_pPin = pInputPin;
    m_pPin->AddRef();
    if (FAILED(pInputPin->QueryInterface(IID_IMemInputPin, reinterpret_cast<void**>(&m_pInputPin))))
    {
        fail(E_NOINTERFACE);
        return;
    }
    if (bAuto)
    {
        const HRESULT hr = m_pInputPin->ReceiveCanBlock();
        if (SUCCEEDED(hr))
            m_bQueue = hr == S_OK;
    }

    m_ppBatch = new (std::nothrow) IMediaSample*[m_lBatchSize];
    m_ppSending = new (std::nothrow) IMediaSample*[m_lBatchSize];
    if (!m_ppBatch || !m_ppSending)
    {
        fail(E_OUTOFMEMORY);
        return;
    }

    if (m_bQueue)
    {
        try
        {
            m_thread = std::thread(&COutputQueue::ThreadProc, this);
        }
        catch (const std::system_error&)
        {
            {
                fail(E_OUTOFMEMORY);
                return;
            }
        }
    }
}

COutputQueue::~COutputQueue()
{
    if (m_thread.joinable())
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_bTerminate = true;
        }
        m_evWork.notify_all();
        m_thread.join();
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        DropQueued();
    }
    delete[] m_ppBatch;
    delete[] m_ppSending;
    if (m_pInputPin)
        m_pInputPin->Release();
    if (m_pPin)
        m_pPin->Release();
}

void COutputQueue::ThreadProc()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;)
    {
        LONG nSamples = 0;
        Control* pControl = nullptr;
        if (!TakeWork(lock, nSamples, pControl))
            return;
        m_bDelivering = true;
        lock.unlock();

        if (nSamples > 0)
            RecordResult(DeliverBatch(m_ppSending, nSamples));
        if (pControl)
        {
            DeliverControl(*pControl);
            delete pControl;
        }

        lock.lock();
        m_bDelivering = false;
        m_evIdle.notify_all();
    }
}

bool COutputQueue::TakeWork(std::unique_lock<std::mutex>& lock, LONG& nSamples, Control*& pControl)
{
    for (;;)
    {
        if (m_bTerminate)
            return false;
        while (m_List.GetCount() > 0 && m_nBatched < m_lBatchSize)
        {
            IMediaSample* pSample = m_List.RemoveHead();
            if (!pSample)
            {
                pControl = m_Controls.RemoveHead();
                if (pControl && pControl->kind == Control::SendAnyway)
                {
                    delete pControl;
                    pControl = nullptr;
                    if (m_nBatched == 0)
                        continue;
                }
                break;
            }
            m_ppBatch[m_nBatched++] = pSample;
        }

        const bool bBatchReady =
            m_nBatched == m_lBatchSize || (m_nBatched > 0 && (!m_bBatchExact || pControl));
        if (bBatchReady || pControl)
        {
            nSamples = bBatchReady ? m_nBatched : 0;
            for (LONG i = 0; i < nSamples; ++i)
                m_ppSending[i] = m_ppBatch[i];
            if (bBatchReady)
                m_nBatched = 0;
            return true;
        }
        m_evWork.wait(lock);
    }
}

HRESULT COutputQueue::DeliverBatch(IMediaSample** ppSamples, LONG nSamples)
{
    HRESULT hr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        hr = m_bFlushing ? S_FALSE : m_hr;
    }
    if (hr == S_OK)
    {
        if (nSamples == 1)
        {
            hr = m_pInputPin->Receive(ppSamples[0]);
        }
        else
        {
            LONG nProcessed = 0;
            hr = m_pInputPin->ReceiveMultiple(ppSamples, nSamples, &nProcessed);
        }
    }
    for (LONG i = 0; i < nSamples; ++i)
        ppSamples[i]->Release();
    return hr;
}

void COutputQueue::DeliverControl(const Control& control)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_bFlushing && control.kind == Control::EndOfStream)
            return;
    }
    if (control.kind == Control::EndOfStream)
        m_pPin->EndOfStream();
    else if (control.kind == Control::NewSegment)
        m_pPin->NewSegment(control.tStart, control.tStop, control.dRate);
}

void COutputQueue::RecordResult(HRESULT hr)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (hr != S_OK && m_hr == S_OK && !m_bFlushing)
        m_hr = hr;
}

void COutputQueue::DropQueued()
{
    while (m_List.GetCount() > 0)
    {
        IMediaSample* pSample = m_List.RemoveHead();
        if (pSample)
            pSample->Release();
        else
            delete m_Controls.RemoveHead();
    }
    for (LONG i = 0; i < m_nBatched; ++i)
        m_ppBatch[i]->Release();
    m_nBatched = 0;
}

HRESULT COutputQueue::Receive(IMediaSample* pSample)
{
    LONG nProcessed = 0;
    return ReceiveMultiple(&pSample, 1, &nProcessed);
}

HRESULT COutputQueue::ReceiveMultiple(IMediaSample** ppSamples, LONG nSamples,
                                      LONG* nSamplesProcessed)
{
    if (!ppSamples || !nSamplesProcessed || nSamples < 0)
        return E_POINTER;
    *nSamplesProcessed = 0;

    std::unique_lock<std::mutex> deliver(m_csDeliver, std::defer_lock);
    if (!m_bQueue)
        deliver.lock();

    HRESULT hrResult = S_OK;
    for (LONG i = 0; i < nSamples; ++i)
    {
        IMediaSample* pSample = ppSamples[i];
        bool bBatchFull = false;
        HRESULT hr = S_OK;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            hr = m_bFlushing ? S_FALSE : m_hr;
            if (hr != S_OK)
                pSample->Release();
            else if (m_bQueue && !m_List.AddTail(pSample))
            {
                pSample->Release();
                hr = E_OUTOFMEMORY;
            }
            else if (!m_bQueue)
            {
                m_ppBatch[m_nBatched++] = pSample;
                bBatchFull = m_nBatched == m_lBatchSize;
            }
        }
        if (m_bQueue && hr == S_OK)
            m_evWork.notify_one();
        if (bBatchFull)
            hr = DeliverGathered();
        if (hr == S_OK)
            ++*nSamplesProcessed;
        else if (hrResult == S_OK)
            hrResult = hr;
    }
    return hrResult;
}

HRESULT COutputQueue::DeliverGathered()
{
    LONG nSamples;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        nSamples = m_nBatched;
        for (LONG i = 0; i < nSamples; ++i)
            m_ppSending[i] = m_ppBatch[i];
        m_nBatched = 0;
    }
    if (nSamples == 0)
        return S_OK;
    const HRESULT hr = DeliverBatch(m_ppSending, nSamples);
    RecordResult(hr);
    return hr;
}

void COutputQueue::QueueControl(const Control& control)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_bFlushing && control.kind != Control::NewSegment)
            return;
        Control* pControl = new (std::nothrow) Control(control);
        if (!pControl)
            return;
        if (!m_Controls.AddTail(pControl))
        {
            delete pControl;
            return;
        }
        if (!m_List.AddTail(nullptr))
        {
            delete m_Controls.RemoveTail();
            return;
        }
    }
    m_evWork.notify_one();
}

void COutputQueue::CallOnCaller(const Control& control)
{
    std::lock_guard<std::mutex> deliver(m_csDeliver);
    DeliverGathered();
    DeliverControl(control);
}

void COutputQueue::EOS()
{
    const Control control{Control::EndOfStream, 0, 0, 0.0};
    m_bQueue ? QueueControl(control) : CallOnCaller(control);
}

void COutputQueue::SendAnyway()
{
    const Control control{Control::SendAnyway, 0, 0, 0.0};
    m_bQueue ? QueueControl(control) : CallOnCaller(control);
}

void COutputQueue::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    const Control control{Control::NewSegment, tStart, tStop, dRate};
    m_bQueue ? QueueControl(control) : CallOnCaller(control);
}

void COutputQueue::BeginFlush()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bFlushing = true;
        DropQueued();
    }
    // Directly, so that an input pin blocking the queue's thread lets it go.
    m_pPin->BeginFlush();
}

void COutputQueue::EndFlush()
{
    if (m_bQueue)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_evIdle.wait(lock, [this] { return !m_bDelivering; });
    }
    else
    {
        // Waits for a delivery on another caller's thread to finish.
        std::lock_guard<std::mutex> deliver(m_csDeliver);
    }
    m_pPin->EndFlush();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_bFlushing = false;
    m_hr = S_OK;
}

void COutputQueue::Reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_hr = S_OK;
}

BOOL COutputQueue::IsIdle()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_bDelivering && m_List.GetCount() == 0 && m_nBatched == 0;
}
