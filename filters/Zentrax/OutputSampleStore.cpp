#include "OutputSampleStore.h"

#include "AudioGate.h"

#include <com/ComPtr.h>

#include <cstddef>

namespace
{
// The part of the sample properties read before the times, and the part written back.
constexpr DWORD kPropertiesBeforeTimes = offsetof(AM_SAMPLE2_PROPERTIES, tStart);
constexpr DWORD kPropertiesThroughTimes = offsetof(AM_SAMPLE2_PROPERTIES, dwStreamId);

bool HasFlag(const AM_SAMPLE2_PROPERTIES& props, DWORD dwFlag)
{
    return (props.dwSampleFlags & dwFlag) != 0;
}
} // namespace

OutputSampleStore::OutputSampleStore(CBaseOutputPin& output, InternQueue& openQueue,
                                     InternQueue& readyQueue, CStreamFailure& failure,
                                     IMediaSample* pInput, const AM_SAMPLE2_PROPERTIES& inputProps,
                                     std::size_t cbMinBuffer, AudioGate* pVideoReady)
    : m_output(output), m_openQueue(openQueue), m_readyQueue(readyQueue), m_failure(failure),
      m_pInput(pInput), m_inputProps(inputProps), m_cbMinBuffer(cbMinBuffer),
      m_pVideoReady(pVideoReady)
{
}

// A cutter always ends the unit it takes; one left current would be a lost buffer.
OutputSampleStore::~OutputSampleStore()
{
    if (m_pCurrent)
        m_pCurrent->Release();
}

HRESULT OutputSampleStore::DeliverReady()
{
    while (IMediaSample* pSample = m_readyQueue.Get())
    {
        if (m_failure.Result() == S_OK)
            m_failure.FromDelivery(m_output.Deliver(pSample));
        pSample->Release();
    }
    return m_failure.Result();
}

bool OutputSampleStore::TakeOpen(UnitBuffer& unit)
{
    IMediaSample* pSample = m_openQueue.Get();
    return pSample && MakeCurrent(pSample, unit);
}

bool OutputSampleStore::TakeFresh(UnitBuffer& unit, const UnitTimes& times)
{
    m_hr = DeliverReady();
    if (m_hr != S_OK)
        return false;
    IMediaSample* pSample = nullptr;
    m_hr = GetBuffer(&pSample);
    if (SUCCEEDED(m_hr) && static_cast<std::size_t>(pSample->GetSize()) < m_cbMinBuffer)
    {
        pSample->Release();
        m_hr = VFW_E_BUFFER_OVERFLOW;
    }
    if (FAILED(m_hr))
    {
        m_failure.FromOwnWork(m_hr);
        return false;
    }
    CopyProperties(pSample, times);
    return MakeCurrent(pSample, unit);
}

HRESULT OutputSampleStore::GetBuffer(IMediaSample** ppSample)
{
    REFERENCE_TIME rtStart = m_inputProps.tStart;
    REFERENCE_TIME rtStop = m_inputProps.tStop;
    const DWORD dwFlags = HasFlag(m_inputProps, AM_SAMPLE_SPLICEPOINT) ? 0 : AM_GBF_NOTASYNCPOINT;
    return m_output.GetDeliveryBuffer(
        ppSample, HasFlag(m_inputProps, AM_SAMPLE_TIMEVALID) ? &rtStart : nullptr,
        HasFlag(m_inputProps, AM_SAMPLE_STOPVALID) ? &rtStop : nullptr, dwFlags);
}

// The sample takes the input's flags, keeps its own type-change flag, and gets the unit's
// times, whatever times the input carried.
void OutputSampleStore::CopyProperties(IMediaSample* pSample, const UnitTimes& times) const
{
    ComPtr<IMediaSample2> pSample2;
    if (FAILED(pSample->QueryInterface(
            IID_IMediaSample2, reinterpret_cast<void**>(pSample2.ReleaseAndGetAddressOf()))))
    {
        CopyPropertiesWithoutSample2(pSample, times);
        return;
    }
    AM_SAMPLE2_PROPERTIES props{};
    pSample2->GetProperties(kPropertiesBeforeTimes, reinterpret_cast<BYTE*>(&props));
    props.dwTypeSpecificFlags = m_inputProps.dwTypeSpecificFlags;
    props.dwSampleFlags = (m_inputProps.dwSampleFlags & ~AM_SAMPLE_TYPECHANGED) |
                          (props.dwSampleFlags & AM_SAMPLE_TYPECHANGED) | AM_SAMPLE_TIMEVALID |
                          AM_SAMPLE_STOPVALID;
    props.lActual = 0;
    props.tStart = times.rtStart;
    props.tStop = times.rtStop;
    pSample2->SetProperties(kPropertiesThroughTimes, reinterpret_cast<const BYTE*>(&props));
}

void OutputSampleStore::CopyPropertiesWithoutSample2(IMediaSample* pSample,
                                                     const UnitTimes& times) const
{
    REFERENCE_TIME rtStart = times.rtStart;
    REFERENCE_TIME rtStop = times.rtStop;
    pSample->SetTime(&rtStart, &rtStop);
    if (HasFlag(m_inputProps, AM_SAMPLE_SPLICEPOINT))
        pSample->SetSyncPoint(TRUE);
    if (HasFlag(m_inputProps, AM_SAMPLE_DATADISCONTINUITY))
        pSample->SetDiscontinuity(TRUE);
    LONGLONG llMediaStart = 0;
    LONGLONG llMediaStop = 0;
    if (m_pInput && m_pInput->GetMediaTime(&llMediaStart, &llMediaStop) == S_OK)
        pSample->SetMediaTime(&llMediaStart, &llMediaStop);
    pSample->SetActualDataLength(0);
}

bool OutputSampleStore::MakeCurrent(IMediaSample* pSample, UnitBuffer& unit)
{
    BYTE* pData = nullptr;
    const LONG cbSize = pSample->GetSize();
    const LONG cbActual = pSample->GetActualDataLength();
    if (FAILED(pSample->GetPointer(&pData)) || !pData || cbActual < 0 || cbActual > cbSize)
    {
        pSample->Release();
        m_hr = m_failure.FromOwnWork(E_UNEXPECTED);
        return false;
    }
    REFERENCE_TIME rtStart = 0;
    REFERENCE_TIME rtStop = 0;
    if (FAILED(pSample->GetTime(&rtStart, &rtStop)))
        rtStart = 0;
    m_pCurrent = pSample;
    unit.pData = pData;
    unit.cbSize = static_cast<std::size_t>(cbSize);
    unit.cbActual = static_cast<std::size_t>(cbActual);
    unit.rtStart = rtStart;
    return true;
}

void OutputSampleStore::KeepOpen(const UnitBuffer& unit)
{
    PutCurrent(m_openQueue, unit.cbActual);
}

void OutputSampleStore::SetTimes(const UnitTimes* pTimes)
{
    if (!pTimes)
    {
        m_pCurrent->SetTime(nullptr, nullptr);
        return;
    }
    REFERENCE_TIME rtStart = pTimes->rtStart;
    REFERENCE_TIME rtStop = pTimes->rtStop;
    m_pCurrent->SetTime(&rtStart, &rtStop);
}

void OutputSampleStore::Complete(const UnitBuffer& unit)
{
    PutCurrent(m_readyQueue, unit.cbActual);
    if (m_pVideoReady)
        m_pVideoReady->SetVideoReady(true);
}

void OutputSampleStore::Discard()
{
    m_pCurrent->Release();
    m_pCurrent = nullptr;
}

// Put takes over the reference, and releases the sample itself when it cannot queue it.
void OutputSampleStore::PutCurrent(InternQueue& queue, std::size_t cbActual)
{
    m_pCurrent->SetActualDataLength(static_cast<LONG>(cbActual));
    queue.Put(m_pCurrent);
    m_pCurrent = nullptr;
}
