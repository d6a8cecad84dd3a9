#include "TestPushSource.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>

namespace
{
const CLSID CLSID_TestPushSource = {
    0x5b1c2a10, 0x7d3e, 0x4c11, {0x9a, 0x41, 0x0e, 0x52, 0x61, 0x70, 0x75, 0x73}};
}

class TestPushSource::Pin : public CBaseOutputPin
{
public:
    Pin(TestPushSource* pFilter, HRESULT* phr)
        : CBaseOutputPin(nullptr, pFilter, &pFilter->m_csFilter, phr, L"Output"), m_pSource(pFilter)
    {
    }

    HRESULT CheckMediaType(const CMediaType* pmt) override
    {
        return *pmt == m_pSource->m_options.type ? S_OK : S_FALSE;
    }

    HRESULT GetMediaType(int iPosition, CMediaType* pmt) override
    {
        if (iPosition != 0)
            return VFW_S_NO_MORE_ITEMS;
        return pmt->Set(m_pSource->m_options.type);
    }

    HRESULT DecideBufferSize(IMemAllocator* pAllocator, ALLOCATOR_PROPERTIES* pRequest) override
    {
        const auto& payloads = m_pSource->m_options.payloads;
        size_t cbLargest = 1;
        for (const auto& payload : payloads)
            cbLargest = std::max(cbLargest, payload.size());
        const LONG nWanted = m_pSource->m_options.bPrebuilt ? LONG(payloads.size()) + 1 : 4;
        pRequest->cbBuffer = std::max(pRequest->cbBuffer, LONG(cbLargest));
        pRequest->cBuffers = std::max(pRequest->cBuffers, nWanted);
        ALLOCATOR_PROPERTIES actual{};
        return pAllocator->SetProperties(pRequest, &actual);
    }

private:
    TestPushSource* m_pSource;
};

TestPushSource::TestPushSource(Options options, HRESULT* phr)
    : CBaseFilter(nullptr, nullptr, &m_csFilter, CLSID_TestPushSource),
      m_options(std::move(options))
{
    m_pPin = new Pin(this, phr);
}

TestPushSource::~TestPushSource()
{
    Join();
    delete m_pPin;
}

CBasePin* TestPushSource::GetPin(int n)
{
    return n == 0 ? m_pPin : nullptr;
}

IPin* TestPushSource::OutputPin()
{
    return m_pPin;
}

HRESULT TestPushSource::Stop()
{
    const HRESULT hr = CBaseFilter::Stop();
    Join();
    return hr;
}

void TestPushSource::StartPushing()
{
    Join();
    m_thread = std::thread([this] { Push(); });
}

void TestPushSource::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}

std::vector<HRESULT> TestPushSource::Results() const
{
    std::lock_guard lock(m_resultsLock);
    return m_results;
}

HRESULT TestPushSource::FillSample(const std::vector<BYTE>& payload, IMediaSample** ppSample)
{
    HRESULT hr = m_pPin->GetDeliveryBuffer(ppSample, nullptr, nullptr, 0);
    if (FAILED(hr))
        return hr;
    BYTE* pData = nullptr;
    (*ppSample)->GetPointer(&pData);
    if (!payload.empty())
        std::memcpy(pData, payload.data(), payload.size());
    return (*ppSample)->SetActualDataLength(LONG(payload.size()));
}

HRESULT TestPushSource::DeliverOne(IMediaSample* pSample)
{
    ++m_nBegun;
    const HRESULT hr = m_pPin->Deliver(pSample);
    std::lock_guard lock(m_resultsLock);
    m_results.push_back(hr);
    return hr;
}

void TestPushSource::Push()
{
    std::mt19937 random(m_options.nSeed);
    auto pause = [&]
    {
        if (m_options.nMaxDelayMicros)
            std::this_thread::sleep_for(
                std::chrono::microseconds(random() % (m_options.nMaxDelayMicros + 1)));
    };
    std::vector<IMediaSample*> prebuilt;
    if (m_options.bPrebuilt)
    {
        for (const auto& payload : m_options.payloads)
        {
            IMediaSample* pSample = nullptr;
            if (FAILED(FillSample(payload, &pSample)))
                break;
            prebuilt.push_back(pSample);
        }
    }

    bool bGoOn = true;
    for (int round = 0; bGoOn && round < m_options.nRounds; ++round)
    {
        for (size_t i = 0; bGoOn && i < m_options.payloads.size(); ++i)
        {
            pause();
            IMediaSample* pSample = nullptr;
            if (m_options.bPrebuilt)
                pSample = i < prebuilt.size() ? prebuilt[i] : nullptr;
            else if (FAILED(FillSample(m_options.payloads[i], &pSample)))
                pSample = nullptr;
            if (!pSample)
            {
                bGoOn = false;
                break;
            }
            const HRESULT hr = DeliverOne(pSample);
            if (!m_options.bPrebuilt)
                pSample->Release();
            bGoOn = hr == S_OK || !m_options.bStopOnRefusal;
        }
    }
    for (IMediaSample* pSample : prebuilt)
        pSample->Release();
    if (bGoOn && m_options.bEndOfStream)
        m_pPin->DeliverEndOfStream();
}
