#include "StockRendererFilter.h"

CStockRendererFilter::CStockRendererFilter(LPCTSTR pName, LPUNKNOWN pUnk, REFCLSID clsid,
                                           HRESULT* phr, LPCWSTR pPinName)
    : CBaseFilter(pName, pUnk, &m_csFilter, clsid), m_InputPin(this, &m_csFilter, phr, pPinName)
{
}

CStockRendererFilter::~CStockRendererFilter()
{
    ReleaseStreamClock();
}

void CStockRendererFilter::ReleaseStreamClock()
{
    if (m_pStreamClock)
        m_pStreamClock->Release();
    m_pStreamClock = nullptr;
}

HRESULT CStockRendererFilter::Pause()
{
    CAutoLock lock(&m_csFilter);
    if (IsStopped())
    {
        CAutoLock receiveLock(&m_csReceive);
        ReleaseStreamClock();
        m_pStreamClock = m_pClock;
        if (m_pStreamClock)
            m_pStreamClock->AddRef();
        m_bHasLastStop = false;
        if (m_InputPin.IsConnected())
        {
            const HRESULT hr = StartStreaming();
            if (FAILED(hr))
                return hr;
        }
    }
    const HRESULT hr = CBaseFilter::Pause();
    m_Pacer.Interrupt();
    return hr;
}

HRESULT CStockRendererFilter::Run(REFERENCE_TIME tStart)
{
    CAutoLock lock(&m_csFilter);
    m_tBase = tStart;
    const HRESULT hr = CBaseFilter::Run(tStart);
    m_Pacer.Interrupt();
    return hr;
}

HRESULT CStockRendererFilter::Stop()
{
    CAutoLock lock(&m_csFilter);
    const HRESULT hr = CBaseFilter::Stop();
    m_Pacer.Interrupt();
    CAutoLock receiveLock(&m_csReceive);
    StopStreaming();
    ReleaseStreamClock();
    return hr;
}

void CStockRendererFilter::OnStreamBreak()
{
    m_Pacer.Interrupt();
    CAutoLock receiveLock(&m_csReceive);
    m_bHasLastStop = false;
}

bool CStockRendererFilter::ClockTime(REFERENCE_TIME* pNow)
{
    return m_pStreamClock && SUCCEEDED(m_pStreamClock->GetTime(pNow));
}

bool CStockRendererFilter::WaitForStreamTime(REFERENCE_TIME tStream)
{
    for (;;)
    {
        const uint64_t epoch = m_Pacer.Epoch();
        if (IsStreamInterrupted())
            return false;
        if (m_State == State_Paused)
            m_Pacer.WaitForInterrupt(epoch);
        else if (!m_pStreamClock || m_Pacer.WaitUntil(m_pStreamClock, m_tBase, tStream, epoch))
            return true;
    }
}

HRESULT CStockRendererFilter::ReceiveSample(IMediaSample* pSample,
                                            const AM_SAMPLE2_PROPERTIES& props)
{
    CAutoLock receiveLock(&m_csReceive);
    const bool bHasTime = (props.dwSampleFlags & AM_SAMPLE_TIMEVALID) != 0;
    const REFERENCE_TIME tStart = bHasTime ? props.tStart : 0;
    if (!WaitForStreamTime(tStart))
        return S_FALSE;
    REFERENCE_TIME tNow = 0;
    REFERENCE_TIME tLate = 0;
    if (bHasTime && ClockTime(&tNow))
        tLate = tNow - ReferenceTimeOf(tStart);
    if (bHasTime && (props.dwSampleFlags & AM_SAMPLE_STOPVALID))
    {
        m_bHasLastStop = true;
        m_tLastStop = props.tStop;
    }
    return Present(pSample, props, tLate);
}

bool CStockRendererFilter::WaitForEndOfLastSample()
{
    CAutoLock receiveLock(&m_csReceive);
    return !m_bHasLastStop || WaitForStreamTime(m_tLastStop);
}
