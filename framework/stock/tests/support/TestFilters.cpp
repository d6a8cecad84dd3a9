#include "TestFilters.h"

#include <algorithm>
#include <chrono>
#include <cstring>

CTestAsyncSource::CTestAsyncSource(std::vector<uint8_t> bytes, HRESULT* phr)
    : CBufferStreamHolder(std::move(bytes)),
      CAsyncReader(NAME("Test async source"), nullptr, &m_Stream, phr)
{
    m_mt.SetType(&MEDIATYPE_Stream);
    m_mt.SetSubtype(&MEDIASUBTYPE_MPEG2_PROGRAM);
}

HRESULT CBufferStream::SetPointer(LONGLONG llPos)
{
    if (llPos < 0 || llPos > LONGLONG(m_Bytes.size()))
        return S_FALSE;
    m_llPosition = llPos;
    return S_OK;
}

HRESULT CBufferStream::Read(BYTE* pbBuffer, DWORD dwBytesToRead, BOOL /*bAlign*/,
                            DWORD* pdwBytesRead)
{
    const LONGLONG cbLeft = LONGLONG(m_Bytes.size()) - m_llPosition;
    const DWORD cbRead = DWORD(std::min<LONGLONG>(cbLeft, dwBytesToRead));
    std::memcpy(pbBuffer, m_Bytes.data() + m_llPosition, cbRead);
    m_llPosition += cbRead;
    *pdwBytesRead = cbRead;
    return cbRead == dwBytesToRead ? S_OK : S_FALSE;
}

LONGLONG CBufferStream::Size(LONGLONG* pSizeAvailable)
{
    if (pSizeAvailable)
        *pSizeAvailable = LONGLONG(m_Bytes.size());
    return LONGLONG(m_Bytes.size());
}

CTestPushSource::CTestPushSource(const CMediaType& mt, LONG cbBuffer, HRESULT* phr)
    : CBaseFilter(NAME("Test push source"), nullptr, &m_csFilter, GUID_NULL),
      m_Pin(this, mt, cbBuffer, phr)
{
}

CTestPushSource::CPin::CPin(CTestPushSource* pFilter, const CMediaType& mt, LONG cbBuffer,
                            HRESULT* phr)
    : CBaseOutputPin(NAME("Test push source pin"), pFilter, &pFilter->m_csFilter, phr, L"Output"),
      m_mt(mt), m_cbBuffer(cbBuffer)
{
}

HRESULT CTestPushSource::CPin::CheckMediaType(const CMediaType* pmt)
{
    return *pmt == m_mt ? S_OK : S_FALSE;
}

HRESULT CTestPushSource::CPin::GetMediaType(int iPosition, CMediaType* pmt)
{
    if (iPosition != 0)
        return VFW_S_NO_MORE_ITEMS;
    return pmt->Set(m_mt);
}

HRESULT CTestPushSource::CPin::DecideBufferSize(IMemAllocator* pAlloc,
                                                ALLOCATOR_PROPERTIES* pRequest)
{
    ALLOCATOR_PROPERTIES want = *pRequest;
    want.cBuffers = std::max(want.cBuffers, LONG(4));
    want.cbBuffer = std::max(want.cbBuffer, m_cbBuffer);
    want.cbAlign = std::max(want.cbAlign, LONG(1));
    ALLOCATOR_PROPERTIES actual{};
    return pAlloc->SetProperties(&want, &actual);
}

HRESULT CTestPushSource::Push(const uint8_t* pData, size_t cbData, const REFERENCE_TIME* pStart)
{
    IMediaSample* pSample = nullptr;
    HRESULT hr = m_Pin.GetDeliveryBuffer(&pSample, nullptr, nullptr, 0);
    if (FAILED(hr))
        return hr;
    BYTE* pBuffer = nullptr;
    pSample->GetPointer(&pBuffer);
    if (cbData > size_t(pSample->GetSize()))
    {
        pSample->Release();
        return E_INVALIDARG;
    }
    std::memcpy(pBuffer, pData, cbData);
    pSample->SetActualDataLength(LONG(cbData));
    if (pStart)
    {
        REFERENCE_TIME tStart = *pStart;
        pSample->SetTime(&tStart, nullptr);
    }
    hr = m_Pin.Deliver(pSample);
    pSample->Release();
    return hr;
}

CTestSink::CTestSink(HRESULT* phr, TypeFilter accept)
    : CBaseFilter(NAME("Test sink"), nullptr, &m_csFilter, GUID_NULL), m_Pin(this, phr),
      m_Accept(std::move(accept))
{
}

CTestSink::CPin::CPin(CTestSink* pSink, HRESULT* phr)
    : CRenderedInputPin(NAME("Test sink pin"), pSink, &pSink->m_csFilter, phr, L"Input"),
      m_pSink(pSink)
{
}

HRESULT CTestSink::CPin::CheckMediaType(const CMediaType* pmt)
{
    return !m_pSink->m_Accept || m_pSink->m_Accept(*pmt) ? S_OK : S_FALSE;
}

HRESULT CTestSink::CPin::Receive(IMediaSample* pSample)
{
    const HRESULT hr = CRenderedInputPin::Receive(pSample);
    if (hr != S_OK)
        return hr;
    ReceivedSample sample;
    sample.pSample = pSample;
    pSample->GetPointer(&sample.pBuffer);
    sample.cbData = pSample->GetActualDataLength();
    sample.bHasTime = SUCCEEDED(pSample->GetTime(&sample.tStart, &sample.tStop));
    sample.bSyncPoint = pSample->IsSyncPoint() == S_OK;
    sample.bDiscontinuity = pSample->IsDiscontinuity() == S_OK;
    if (m_pSink->m_Gate)
        m_pSink->m_Gate(sample);
    if (const HRESULT hrRefusal = m_pSink->Refusal(); FAILED(hrRefusal))
        return hrRefusal;
    m_pSink->Record(sample);
    return S_OK;
}

HRESULT CTestSink::CPin::EndOfStream()
{
    // The hook runs first: a test waiting for the end may then drop what it uses.
    if (m_pSink->m_EndOfStreamHook)
        m_pSink->m_EndOfStreamHook();
    const HRESULT hr =
        m_pSink->HasRefused() ? m_pSink->m_hrFailure : CRenderedInputPin::EndOfStream();
    {
        std::lock_guard lock(m_pSink->m_mutex);
        m_pSink->m_bEnded = true;
    }
    m_pSink->m_cvEnded.notify_all();
    return hr;
}

void CTestSink::FailAfter(size_t nAccepted, HRESULT hr)
{
    m_nAccepted = nAccepted;
    m_hrFailure = hr;
}

HRESULT CTestSink::Refusal()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_Samples.size() < m_nAccepted)
            return S_OK;
        if (m_nRefused++ > 0)
            return m_hrFailure;
    }
    NotifyEvent(EC_ERRORABORT, m_hrFailure, 0);
    return m_hrFailure;
}

bool CTestSink::HasRefused()
{
    std::lock_guard lock(m_mutex);
    return m_nRefused > 0;
}

int CTestSink::OfferedAfterFailure()
{
    std::lock_guard lock(m_mutex);
    return std::max(m_nRefused - 1, 0);
}

void CTestSink::Record(const ReceivedSample& sample)
{
    std::lock_guard lock(m_mutex);
    m_Bytes.insert(m_Bytes.end(), sample.pBuffer, sample.pBuffer + sample.cbData);
    m_Samples.push_back(sample);
}

bool CTestSink::WaitForEndOfStream()
{
    std::unique_lock lock(m_mutex);
    return m_cvEnded.wait_for(lock, std::chrono::minutes(1), [this] { return m_bEnded; });
}

bool CTestSink::HasEnded()
{
    std::lock_guard lock(m_mutex);
    return m_bEnded;
}

std::vector<uint8_t> CTestSink::Bytes()
{
    std::lock_guard lock(m_mutex);
    return m_Bytes;
}

std::vector<ReceivedSample> CTestSink::Samples()
{
    std::lock_guard lock(m_mutex);
    return m_Samples;
}

HRESULT ConnectPins(IPin* pOut, IPin* pIn, const AM_MEDIA_TYPE* pmt)
{
    if (!pOut || !pIn)
        return E_POINTER;
    return pOut->Connect(pIn, pmt);
}

IPin* FindPin(IBaseFilter* pFilter, PIN_DIRECTION direction, int n)
{
    IEnumPins* pEnum = nullptr;
    if (FAILED(pFilter->EnumPins(&pEnum)))
        return nullptr;
    IPin* pFound = nullptr;
    IPin* pPin = nullptr;
    while (!pFound && pEnum->Next(1, &pPin, nullptr) == S_OK)
    {
        PIN_DIRECTION dir;
        if (SUCCEEDED(pPin->QueryDirection(&dir)) && dir == direction && n-- == 0)
            pFound = pPin; // the filter holds its pins; the reference is dropped below
        pPin->Release();
    }
    pEnum->Release();
    return pFound;
}

void DisconnectAll(IBaseFilter* pFilter)
{
    // Pins are gathered first: breaking a connection may change a filter's pins.
    std::vector<IPin*> pins;
    IEnumPins* pEnum = nullptr;
    if (FAILED(pFilter->EnumPins(&pEnum)))
        return;
    IPin* pPin = nullptr;
    while (pEnum->Next(1, &pPin, nullptr) == S_OK)
        pins.push_back(pPin);
    pEnum->Release();
    for (auto it = pins.rbegin(); it != pins.rend(); ++it)
    {
        IPin* pPeer = nullptr;
        if (SUCCEEDED((*it)->ConnectedTo(&pPeer)) && pPeer)
        {
            pPeer->Disconnect();
            pPeer->Release();
        }
        (*it)->Disconnect();
        (*it)->Release();
    }
}
