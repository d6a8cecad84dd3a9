#include "TestFilters.h"

#include <algorithm>
#include <chrono>
#include <cstring>

const GUID kSubtypeA{0x1A, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}};
const GUID kSubtypeB{0x1B, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}};
const GUID kSubtypeC{0x1C, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}};

CMediaType TestType(const GUID& subtype)
{
    CMediaType mt(&MEDIATYPE_Stream);
    mt.SetSubtype(&subtype);
    mt.SetFormatType(&FORMAT_None);
    return mt;
}

namespace
{
bool Contains(const std::vector<GUID>& list, const GUID& guid)
{
    return std::find(list.begin(), list.end(), guid) != list.end();
}

HRESULT OfferType(const std::vector<CMediaType>& offered, int iPosition, CMediaType* pmt)
{
    if (iPosition < 0)
        return E_INVALIDARG;
    if (iPosition >= static_cast<int>(offered.size()))
        return VFW_S_NO_MORE_ITEMS;
    return pmt->Set(offered[iPosition]);
}

int SequenceOf(IMediaSample* pSample)
{
    BYTE* pData = nullptr;
    int nSequence = -1;
    if (SUCCEEDED(pSample->GetPointer(&pData)) && pSample->GetActualDataLength() >= 4)
        std::memcpy(&nSequence, pData, sizeof nSequence);
    return nSequence;
}
} // namespace

HRESULT ConnectPins(IPin* pOutput, IPin* pInput, const AM_MEDIA_TYPE* pmt)
{
    return pOutput->Connect(pInput, pmt);
}

// ---- source

CTestSource::CPin::CPin(CTestSource* pFilter, HRESULT* phr)
    : CBaseOutputPin(NAME("Test source pin"), pFilter, &pFilter->m_csFilter, phr, L"Out")
{
}

CTestSource::CPin::~CPin()
{
    delete m_pQueue;
}

HRESULT CTestSource::CPin::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IMediaSeeking && m_pSeeking)
        return GetInterface(m_pSeeking, ppv);
    return CBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CTestSource::CPin::CheckMediaType(const CMediaType* pmt)
{
    return Contains(m_Accepted, *pmt->Subtype()) ? S_OK : S_FALSE;
}

HRESULT CTestSource::CPin::GetMediaType(int iPosition, CMediaType* pmt)
{
    return OfferType(m_Offered, iPosition, pmt);
}

HRESULT CTestSource::CPin::DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest)
{
    ALLOCATOR_PROPERTIES props = *pRequest;
    props.cBuffers = std::max(props.cBuffers, m_Want.cBuffers);
    props.cbBuffer = std::max(props.cbBuffer, m_Want.cbBuffer);
    props.cbAlign = std::max(props.cbAlign, m_Want.cbAlign);
    props.cbPrefix = std::max(props.cbPrefix, m_Want.cbPrefix);
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = pAlloc->SetProperties(&props, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cBuffers < props.cBuffers || actual.cbBuffer < props.cbBuffer ? E_FAIL : S_OK;
}

HRESULT CTestSource::CPin::Active()
{
    if (m_QueueMode != QueueMode::None && !m_pQueue)
    {
        HRESULT hr = S_OK;
        m_pQueue = new COutputQueue(GetConnected(), &hr, m_QueueMode == QueueMode::Auto, TRUE);
        if (FAILED(hr))
        {
            delete m_pQueue;
            m_pQueue = nullptr;
            return hr;
        }
    }
    return CBaseOutputPin::Active();
}

HRESULT CTestSource::CPin::Inactive()
{
    delete m_pQueue;
    m_pQueue = nullptr;
    return CBaseOutputPin::Inactive();
}

HRESULT CTestSource::CPin::Deliver(IMediaSample* pSample)
{
    if (!m_pQueue)
        return CBaseOutputPin::Deliver(pSample);
    pSample->AddRef();
    return m_pQueue->Receive(pSample);
}

HRESULT CTestSource::CPin::DeliverEndOfStream()
{
    if (!m_pQueue)
        return CBaseOutputPin::DeliverEndOfStream();
    m_pQueue->EOS();
    return S_OK;
}

HRESULT CTestSource::CPin::DeliverBeginFlush()
{
    if (!m_pQueue)
        return CBaseOutputPin::DeliverBeginFlush();
    m_pQueue->BeginFlush();
    return S_OK;
}

HRESULT CTestSource::CPin::DeliverEndFlush()
{
    if (!m_pQueue)
        return CBaseOutputPin::DeliverEndFlush();
    m_pQueue->EndFlush();
    return S_OK;
}

CTestSource::CTestSource(HRESULT* phr)
    : CBaseFilter(NAME("Test source"), nullptr, &m_csFilter, GUID_NULL), m_Pin(this, phr)
{
    m_Pin.m_Offered = {TestType(kSubtypeA), TestType(kSubtypeB)};
    m_Pin.m_Accepted = {kSubtypeA, kSubtypeB, kSubtypeC};
}

CTestSource::~CTestSource()
{
    StopStreaming();
}

HRESULT CTestSource::Stop()
{
    // Release the streaming thread (it may wait for a buffer), then stop.
    m_bStopStreaming = true;
    if (IMemAllocator* pAllocator = m_Pin.Allocator())
        pAllocator->Decommit();
    StopStreaming();
    return CBaseFilter::Stop();
}

HRESULT CTestSource::PushSample(int nSequence)
{
    IMediaSample* pSample = nullptr;
    HRESULT hr = m_Pin.GetDeliveryBuffer(&pSample, nullptr, nullptr, 0);
    if (FAILED(hr))
        return hr;
    BYTE* pData = nullptr;
    pSample->GetPointer(&pData);
    std::memcpy(pData, &nSequence, sizeof nSequence);
    pSample->SetActualDataLength(sizeof nSequence);
    hr = m_Pin.Deliver(pSample);
    pSample->Release();
    ++m_cPushed;
    return hr;
}

void CTestSource::StartStreaming(int cSamples)
{
    m_bStopStreaming = false;
    m_thread = std::thread(
        [this, cSamples]
        {
            for (int i = 0; i < cSamples && !m_bStopStreaming; ++i)
                if (PushSample(i) != S_OK)
                    return;
            m_Pin.DeliverEndOfStream();
        });
}

void CTestSource::StopStreaming()
{
    m_bStopStreaming = true;
    if (m_thread.joinable())
        m_thread.join();
}

// ---- transform

CTestTransform::CInput::CInput(CTestTransform* pFilter, HRESULT* phr)
    : CBaseInputPin(NAME("Transform input"), pFilter, &pFilter->m_csFilter, phr, L"In"),
      m_pTransform(pFilter)
{
}

HRESULT CTestTransform::CInput::CheckMediaType(const CMediaType*)
{
    return S_OK;
}

HRESULT CTestTransform::CInput::Receive(IMediaSample* pSample)
{
    HRESULT hr = CBaseInputPin::Receive(pSample);
    if (hr != S_OK)
        return hr;
    IMediaSample* pOut = nullptr;
    hr = m_pTransform->m_Output.GetDeliveryBuffer(&pOut, nullptr, nullptr, 0);
    if (FAILED(hr))
        return hr;
    BYTE* pIn = nullptr;
    BYTE* pDest = nullptr;
    pSample->GetPointer(&pIn);
    pOut->GetPointer(&pDest);
    const LONG cb = std::min(pSample->GetActualDataLength(), pOut->GetSize());
    std::memcpy(pDest, pIn, cb);
    pOut->SetActualDataLength(cb);
    hr = m_pTransform->m_Output.Deliver(pOut);
    pOut->Release();
    return hr;
}

HRESULT CTestTransform::CInput::EndOfStream()
{
    const HRESULT hr = CheckStreaming();
    return hr == S_OK ? m_pTransform->m_Output.DeliverEndOfStream() : hr;
}

HRESULT CTestTransform::CInput::BeginFlush()
{
    CBaseInputPin::BeginFlush();
    return m_pTransform->m_Output.DeliverBeginFlush();
}

HRESULT CTestTransform::CInput::EndFlush()
{
    m_pTransform->m_Output.DeliverEndFlush();
    return CBaseInputPin::EndFlush();
}

CTestTransform::COutput::COutput(CTestTransform* pFilter, HRESULT* phr)
    : CBaseOutputPin(NAME("Transform output"), pFilter, &pFilter->m_csFilter, phr, L"Out"),
      m_pTransform(pFilter)
{
}

HRESULT CTestTransform::COutput::CheckMediaType(const CMediaType* pmt)
{
    return m_pTransform->m_Input.IsConnected() && *pmt == m_pTransform->m_Input.CurrentMediaType()
               ? S_OK
               : S_FALSE;
}

HRESULT CTestTransform::COutput::GetMediaType(int iPosition, CMediaType* pmt)
{
    if (!m_pTransform->m_Input.IsConnected())
        return VFW_S_NO_MORE_ITEMS;
    return OfferType({m_pTransform->m_Input.CurrentMediaType()}, iPosition, pmt);
}

HRESULT CTestTransform::COutput::DecideBufferSize(IMemAllocator* pAlloc,
                                                  ALLOCATOR_PROPERTIES* pRequest)
{
    ALLOCATOR_PROPERTIES props = *pRequest;
    props.cBuffers = std::max(props.cBuffers, 2);
    props.cbBuffer = std::max(props.cbBuffer, 64);
    ALLOCATOR_PROPERTIES actual{};
    return pAlloc->SetProperties(&props, &actual);
}

CTestTransform::CTestTransform(HRESULT* phr)
    : CBaseFilter(NAME("Test transform"), nullptr, &m_csFilter, GUID_NULL), m_Input(this, phr),
      m_Output(this, phr)
{
}

CBasePin* CTestTransform::GetPin(int n)
{
    if (n == 0)
        return &m_Input;
    return n == 1 ? &m_Output : nullptr;
}

// ---- sink

CTestSink::CPin::CPin(CTestSink* pFilter, HRESULT* phr)
    : CRenderedInputPin(NAME("Test sink pin"), pFilter, &pFilter->m_csFilter, phr, L"In"),
      m_pSink(pFilter)
{
}

HRESULT CTestSink::CPin::CheckMediaType(const CMediaType* pmt)
{
    return Contains(m_Accepted, *pmt->Subtype()) ? S_OK : S_FALSE;
}

HRESULT CTestSink::CPin::GetMediaType(int iPosition, CMediaType* pmt)
{
    return OfferType(m_Offered, iPosition, pmt);
}

HRESULT CTestSink::CPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES* pProps)
{
    if (!m_bHasRequirements)
        return E_NOTIMPL;
    *pProps = m_Requirements;
    return S_OK;
}

HRESULT CTestSink::CPin::Receive(IMediaSample* pSample)
{
    const HRESULT hr = CRenderedInputPin::Receive(pSample);
    if (hr != S_OK)
        return hr;
    if (m_bBlock)
    {
        {
            std::lock_guard<std::mutex> lock(m_pSink->m_mutex);
            m_pSink->m_bBlocked = true;
        }
        m_pSink->m_evReceived.notify_all();
        m_evRelease.Wait();
        if (IsFlushing() || m_bInactive)
            return S_FALSE;
    }
    m_pSink->Record(SequenceOf(pSample));
    return S_OK;
}

HRESULT CTestSink::CPin::BeginFlush()
{
    const HRESULT hr = CRenderedInputPin::BeginFlush();
    m_evRelease.Set();
    return hr;
}

HRESULT CTestSink::CPin::EndFlush()
{
    m_evRelease.Reset();
    return CRenderedInputPin::EndFlush();
}

HRESULT CTestSink::CPin::Inactive()
{
    m_bInactive = true;
    m_evRelease.Set();
    return CRenderedInputPin::Inactive();
}

HRESULT CTestSink::CPin::Active()
{
    m_bInactive = false;
    m_evRelease.Reset();
    return CRenderedInputPin::Active();
}

CTestSink::CTestSink(HRESULT* phr)
    : CBaseFilter(NAME("Test sink"), nullptr, &m_csFilter, GUID_NULL), m_Pin(this, phr)
{
    m_Pin.m_Accepted = {kSubtypeB};
}

void CTestSink::Record(int nSequence)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_Received.push_back(nSequence);
    }
    m_evReceived.notify_all();
}

std::vector<int> CTestSink::Received()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_Received;
}

bool CTestSink::WaitForSamples(int count)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_evReceived.wait_for(lock, std::chrono::seconds(30),
                                 [&] { return static_cast<int>(m_Received.size()) >= count; });
}

bool CTestSink::WaitUntilBlocked()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_evReceived.wait_for(lock, std::chrono::seconds(30), [&] { return m_bBlocked; });
}
