#include "TestSink.h"

#include "OstrelMediaTypesUUIDS.h"

#include <chrono>

namespace
{
const CLSID CLSID_TestSink = {
    0x5b1c2a11, 0x7d3e, 0x4c11, {0x9a, 0x41, 0x0e, 0x53, 0x69, 0x6e, 0x6b, 0x00}};
constexpr std::chrono::seconds kPatience{60};
} // namespace

class TestSink::Pin : public CBaseInputPin
{
public:
    Pin(TestSink* pFilter, HRESULT* phr)
        : CBaseInputPin(nullptr, pFilter, &pFilter->m_csFilter, phr, L"Input"), m_pSink(pFilter)
    {
    }

    HRESULT CheckMediaType(const CMediaType* pmt) override
    {
        return *pmt->Type() == MEDIATYPE_Stream && *pmt->Subtype() == MEDIASUBTYPE_C3Stream
                   ? S_OK
                   : S_FALSE;
    }

    HRESULT Receive(IMediaSample* pSample) override
    {
        HRESULT hr = CBaseInputPin::Receive(pSample);
        if (hr == S_OK)
            hr = m_pSink->Refusal();
        if (hr == S_OK)
            m_pSink->Record(pSample);
        return hr;
    }

    HRESULT ReceiveCanBlock() override
    {
        return m_pSink->m_options.bReceiveCanBlock ? S_OK : S_FALSE;
    }

    HRESULT EndOfStream() override
    {
        m_pSink->CountEndOfStream();
        return S_OK;
    }

    HRESULT BeginFlush() override
    {
        m_pSink->CountFlush(true);
        return CBaseInputPin::BeginFlush();
    }

    HRESULT EndFlush() override
    {
        m_pSink->CountFlush(false);
        return CBaseInputPin::EndFlush();
    }

private:
    TestSink* m_pSink;
};

TestSink::TestSink(Options options, HRESULT* phr)
    : CBaseFilter(nullptr, nullptr, &m_csFilter, CLSID_TestSink), m_options(options)
{
    m_pPin = new Pin(this, phr);
}

TestSink::~TestSink()
{
    delete m_pPin;
}

CBasePin* TestSink::GetPin(int n)
{
    return n == 0 ? m_pPin : nullptr;
}

IPin* TestSink::InputPin()
{
    return m_pPin;
}

HRESULT TestSink::Refusal()
{
    {
        std::lock_guard lock(m_lock);
        if (m_nAccepted < m_options.nSamplesBeforeFailure)
            return S_OK;
        if (m_received.nRefused++ > 0)
            return m_options.hrFailure;
    }
    NotifyEvent(EC_ERRORABORT, m_options.hrFailure, 0);
    return m_options.hrFailure;
}

void TestSink::Record(IMediaSample* pSample)
{
    BYTE* pData = nullptr;
    pSample->GetPointer(&pData);
    const LONG cbData = pSample->GetActualDataLength();
    int nFormatByte = -1;
    AM_MEDIA_TYPE* pType = nullptr;
    if (pSample->GetMediaType(&pType) == S_OK && pType)
    {
        if (pType->cbFormat >= 1)
            nFormatByte = pType->pbFormat[0];
        DeleteMediaType(pType);
    }
    std::lock_guard lock(m_lock);
    if (m_options.bKeepBytes)
    {
        m_received.bytes.insert(m_received.bytes.end(), pData, pData + cbData);
        m_received.sampleLengths.push_back(cbData);
        m_received.formatBytes.push_back(nFormatByte);
    }
    m_received.cbTotal += cbData;
    ++m_nAccepted;
}

void TestSink::CountEndOfStream()
{
    {
        std::lock_guard lock(m_lock);
        m_received.samplesBeforeEndOfStream.push_back(m_nAccepted);
    }
    m_changed.notify_all();
}

void TestSink::CountFlush(bool bBegin)
{
    std::lock_guard lock(m_lock);
    ++(bBegin ? m_received.nBeginFlush : m_received.nEndFlush);
}

TestSink::Received TestSink::Snapshot() const
{
    std::lock_guard lock(m_lock);
    return m_received;
}

bool TestSink::WaitForEndOfStream(std::size_t n) const
{
    std::unique_lock lock(m_lock);
    return m_changed.wait_for(lock, kPatience,
                              [&] { return m_received.samplesBeforeEndOfStream.size() >= n; });
}
