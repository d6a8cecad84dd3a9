#include "RecordingSink.h"

#include <chrono>

namespace
{
const CLSID CLSID_RecordingSink = {
    0x7a3f0c51, 0x2e4b, 0x4f0a, {0x8d, 0x17, 0x5b, 0x33, 0x60, 0x1c, 0x9e, 0x42}};
constexpr std::chrono::seconds kPatience{60};
} // namespace

class RecordingSink::Pin : public CBaseInputPin
{
public:
    Pin(RecordingSink* pFilter, HRESULT* phr)
        : CBaseInputPin(nullptr, pFilter, &pFilter->m_csFilter, phr, L"Input"), m_pSink(pFilter)
    {
    }

    HRESULT CheckMediaType(const CMediaType* pmt) override
    {
        return m_pSink->m_accepts(*pmt) ? S_OK : S_FALSE;
    }

    HRESULT Receive(IMediaSample* pSample) override
    {
        const HRESULT hr = CBaseInputPin::Receive(pSample);
        if (hr == S_OK)
            m_pSink->Record(pSample);
        return hr;
    }

    HRESULT ReceiveCanBlock() override { return S_OK; }

    HRESULT EndOfStream() override
    {
        m_pSink->Update([](Received& received) { ++received.nEndOfStream; });
        return S_OK;
    }

    HRESULT BeginFlush() override
    {
        m_pSink->Update([](Received& received) { ++received.nBeginFlush; });
        return CBaseInputPin::BeginFlush();
    }

    HRESULT EndFlush() override
    {
        m_pSink->Update([](Received& received) { ++received.nEndFlush; });
        return CBaseInputPin::EndFlush();
    }

    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override
    {
        m_pSink->Update([tStart](Received& received)
                        { received.newSegmentStarts.push_back(tStart); });
        return CBaseInputPin::NewSegment(tStart, tStop, dRate);
    }

private:
    RecordingSink* m_pSink;
};

RecordingSink::RecordingSink(TypeCheck accepts, HRESULT* phr)
    : CBaseFilter(nullptr, nullptr, &m_csFilter, CLSID_RecordingSink), m_accepts(accepts)
{
    m_pPin = new Pin(this, phr);
}

RecordingSink::~RecordingSink()
{
    delete m_pPin;
}

CBasePin* RecordingSink::GetPin(int n)
{
    return n == 0 ? m_pPin : nullptr;
}

IPin* RecordingSink::InputPin()
{
    return m_pPin;
}

CMediaType RecordingSink::ConnectionType() const
{
    return m_pPin->CurrentMediaType();
}

void RecordingSink::Record(IMediaSample* pSample)
{
    Sample sample;
    BYTE* pData = nullptr;
    pSample->GetPointer(&pData);
    sample.bytes.assign(pData, pData + pSample->GetActualDataLength());
    REFERENCE_TIME rtStart = 0;
    REFERENCE_TIME rtStop = 0;
    const HRESULT hr = pSample->GetTime(&rtStart, &rtStop);
    if (SUCCEEDED(hr))
        sample.start = rtStart;
    if (hr == S_OK)
        sample.stop = rtStop;
    Update([&sample](Received& received) { received.samples.push_back(std::move(sample)); });
}

template <class Change> void RecordingSink::Update(Change change)
{
    {
        std::lock_guard lock(m_lock);
        change(m_received);
    }
    m_changed.notify_all();
}

RecordingSink::Received RecordingSink::Snapshot() const
{
    std::lock_guard lock(m_lock);
    return m_received;
}

bool RecordingSink::WaitUntil(bool (*condition)(const Received&, std::size_t), std::size_t n) const
{
    std::unique_lock lock(m_lock);
    return m_changed.wait_for(lock, kPatience, [&] { return condition(m_received, n); });
}

bool RecordingSink::WaitForEndOfStream(int n) const
{
    return WaitUntil([](const Received& received, std::size_t n)
                     { return static_cast<std::size_t>(received.nEndOfStream) >= n; },
                     static_cast<std::size_t>(n));
}

bool RecordingSink::WaitForSamples(std::size_t n) const
{
    return WaitUntil(
        [](const Received& received, std::size_t n) { return received.samples.size() >= n; }, n);
}

bool RecordingSink::WaitForNewSegments(std::size_t n) const
{
    return WaitUntil([](const Received& received, std::size_t n)
                     { return received.newSegmentStarts.size() >= n; },
                     n);
}
