// Frames per second the capture pin delivers at fast pacing, with the stand-in source
// at the top bit rate and a sink that only counts bytes: the cost of the pin's thread,
// its one copy into samples and the graph around it, without an encoder; and the same
// with the stream damaged as injected faults do it, byte by byte.

#include "DeviceControlProperties.h"
#include "DeviceFilter.h"
#include "DeviceTestSupport.h"
#include "ProbedSource.h"

#include <benchmark/benchmark.h>
#include <com/ComRuntime.h>

#include <chrono>
#include <cstdlib>

namespace
{
using namespace std::chrono_literals;

// A renderer that counts what it receives.
class CCountingSink : public CBaseFilter
{
public:
    explicit CCountingSink(HRESULT* phr)
        : CBaseFilter(NAME("Counting sink"), nullptr, &m_csFilter, GUID_NULL), m_Pin(this, phr)
    {
    }
    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override { return n == 0 ? &m_Pin : nullptr; }
    IPin* Pin() { return &m_Pin; }
    std::uint64_t Bytes() const { return m_Pin.m_cbReceived; }

private:
    class CPin : public CRenderedInputPin
    {
    public:
        CPin(CCountingSink* pSink, HRESULT* phr)
            : CRenderedInputPin(NAME("Counting pin"), pSink, &pSink->m_csFilter, phr, L"In")
        {
        }
        HRESULT CheckMediaType(const CMediaType*) override { return S_OK; }
        HRESULT Receive(IMediaSample* pSample) override
        {
            const HRESULT hr = CRenderedInputPin::Receive(pSample);
            if (hr == S_OK)
                m_cbReceived += std::uint64_t(pSample->GetActualDataLength());
            return hr;
        }
        std::atomic<std::uint64_t> m_cbReceived{0};
    };

    CCritSec m_csFilter;
    CPin m_Pin;
};

void DeliverFrames(benchmark::State& state, const char* pszFaults)
{
    ::setenv("MARVEK_DEVICE_PACING", "fast", 1);
    CoInitialize(nullptr);
    auto probe = std::make_shared<SourceProbe>();
    HRESULT hr = S_OK;
    auto* pDevice = new CDeviceFilter(nullptr, &hr, ProbedFactory(probe));
    ComPtr<IBaseFilter> device = static_cast<IBaseFilter*>(pDevice);
    auto* pSink = new CCountingSink(&hr);
    ComPtr<IBaseFilter> sink = static_cast<IBaseFilter*>(pSink);
    ComPtr<IGraphBuilder> graph;
    ComPtr<IMediaControl> control;
    ComPtr<IKsPropertySet> properties;
    CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&graph));
    graph->AddFilter(device.Get(), L"Device");
    graph->AddFilter(sink.Get(), L"Sink");
    graph->ConnectDirect(pDevice->GetPin(0), pSink->Pin(), nullptr);
    graph.As(&control);

    // The top bit rate: 10 Mbit/s, 21 packs of 2048 bytes a frame.
    using namespace DeviceLayout;
    std::vector<std::uint8_t> encoder(EncoderSettings::kSize);
    const DWORD cbEncoder = EncoderSettings::kSize;
    device.As(&properties);
    DWORD cbReturned = 0;
    properties->Get(PROPSETID_DeviceControl, DEVICEPROP_ENCODER_SETTINGS, encoder.data(), cbEncoder,
                    encoder.data(), cbEncoder, &cbReturned);
    WriteDeviceField(encoder.data(), EncoderSettings::kBitRate, std::int32_t(10000000));
    WriteDeviceField(encoder.data(), EncoderSettings::kPeakBitRate, std::int32_t(10000000));
    properties->Set(PROPSETID_DeviceControl, DEVICEPROP_ENCODER_SETTINGS, encoder.data(), cbEncoder,
                    encoder.data(), cbEncoder);
    SetFaults(device.Get(), pszFaults);

    const std::int64_t frames = state.range(0);
    for (auto _ : state)
    {
        probe->framesEncoded = 0;
        control->Run();
        probe->WaitForFrames(frames, 60s);
        control->Stop();
    }
    state.SetItemsProcessed(state.iterations() * frames);
    state.counters["bytes"] = double(pSink->Bytes());
    graph.Reset();
    CoUninitialize();
}
} // namespace

// Argument: frames a run.
BENCHMARK_CAPTURE(DeliverFrames, clean, "")
    ->Arg(3000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(DeliverFrames, damaged, "flip-bits=1000 cut-pes=3")
    ->Arg(3000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
