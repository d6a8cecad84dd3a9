// The capture pin in a graph (device -> Infinite Pin Tee -> sink) with the stand-in
// source: pacing, time stamps, the stream's clean end, dropped frames, settings
// that change while running, failures, and many start/stop cycles.

#include "DeviceFilter.h"
#include "DeviceTestSupport.h"
#include "ProbedSource.h"
#include "SettingsRules.h"
#include "TemporaryRegistry.h"
#include "TestFilters.h"
#include "VirtualCaptureDevice.h"
#include "tee/InfTeeFilter.h"

#include <com/ComRuntime.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace
{
using namespace std::chrono_literals;
constexpr std::size_t kPackSize = PackStandInSource::kPackSize;
constexpr std::uint8_t kEndCode[] = {0x00, 0x00, 0x01, 0xB9};

class CaptureGraph : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, CoInitialize(nullptr));
        ::unsetenv(kPacingEnvironmentVariable);
        HRESULT hr = S_OK;
        m_pDevice = new CDeviceFilter(nullptr, &hr, ProbedFactory(m_probe));
        m_device = static_cast<IBaseFilter*>(m_pDevice);
        m_pSink = new CTestSink(&hr);
        m_sink = static_cast<IBaseFilter*>(m_pSink);
        ComPtr<IBaseFilter> tee = static_cast<IBaseFilter*>(new CInfTeeFilter(nullptr, &hr));
        ASSERT_EQ(S_OK, hr);
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_PPV_ARGS(&m_graph)));
        ASSERT_EQ(S_OK, m_graph->AddFilter(m_device.Get(), L"Device"));
        ASSERT_EQ(S_OK, m_graph->AddFilter(tee.Get(), L"Infinite Tee"));
        ASSERT_EQ(S_OK, m_graph->AddFilter(m_sink.Get(), L"Sink"));
        ASSERT_EQ(S_OK, m_graph->ConnectDirect(FindPin(m_device.Get(), PINDIR_OUTPUT),
                                               FindPin(tee.Get(), PINDIR_INPUT), nullptr));
        ASSERT_EQ(S_OK, m_graph->ConnectDirect(FindPin(tee.Get(), PINDIR_OUTPUT), m_pSink->Pin(),
                                               nullptr));
        ASSERT_EQ(S_OK, m_graph.As(&m_control));
        ASSERT_EQ(S_OK, m_graph.As(&m_events));
        ASSERT_EQ(S_OK,
                  FindPin(m_device.Get(), PINDIR_OUTPUT)->QueryInterface(IID_PPV_ARGS(&m_dropped)));
    }

    void TearDown() override
    {
        m_control->Stop();
        m_dropped.Reset();
        m_events.Reset();
        m_control.Reset();
        m_graph.Reset();
        m_device.Reset();
        m_sink.Reset();
        CoUninitialize();
    }

    void SetFastPacing() { ::setenv(kPacingEnvironmentVariable, "fast", 1); }

    // Runs the graph for a while, then stops it; the time from Run to Stop.
    std::chrono::duration<double> RunFor(std::chrono::milliseconds duration)
    {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(S_OK, m_control->Run());
        std::this_thread::sleep_for(duration);
        const auto stop = std::chrono::steady_clock::now();
        EXPECT_EQ(S_OK, m_control->Stop());
        return stop - start;
    }

    LONG Dropped()
    {
        LONG dropped = -1;
        m_dropped->GetNumDropped(&dropped);
        return dropped;
    }
    LONG Captured()
    {
        LONG captured = -1;
        m_dropped->GetNumNotDropped(&captured);
        return captured;
    }

    TemporaryRegistry m_registry;
    std::shared_ptr<SourceProbe> m_probe = std::make_shared<SourceProbe>();
    CDeviceFilter* m_pDevice = nullptr;
    CTestSink* m_pSink = nullptr;
    ComPtr<IBaseFilter> m_device;
    ComPtr<IBaseFilter> m_sink;
    ComPtr<IGraphBuilder> m_graph;
    ComPtr<IMediaControl> m_control;
    ComPtr<IMediaEventEx> m_events;
    ComPtr<IAMDroppedFrames> m_dropped;
};
} // namespace

TEST_F(CaptureGraph, FastCaptureDeliversEveryFrameStampedAndEndsTheStreamAtStop)
{
    SetFastPacing();
    ASSERT_EQ(S_OK, m_control->Run());
    ASSERT_TRUE(m_probe->WaitForFrames(60, 10s));
    ASSERT_EQ(S_OK, m_control->Stop());

    const std::int64_t frames = m_probe->framesEncoded;
    const std::size_t packsPerFrame = (4200000 / 8 * 1001 / 30000 + kPackSize - 1) / kPackSize;
    const std::vector<std::uint8_t> bytes = m_pSink->Bytes();
    ASSERT_EQ(frames * packsPerFrame * kPackSize + sizeof kEndCode, bytes.size());
    EXPECT_TRUE(std::equal(std::begin(kEndCode), std::end(kEndCode), bytes.end() - 4));
    EXPECT_EQ(1, m_probe->finishes);

    const std::vector<ReceivedSample> samples = m_pSink->Samples();
    ASSERT_FALSE(samples.empty());
    EXPECT_TRUE(samples.front().bDiscontinuity);
    std::vector<REFERENCE_TIME> frameStarts;
    for (const ReceivedSample& sample : samples)
    {
        ASSERT_TRUE(sample.bHasTime);
        if (sample.bSyncPoint)
            frameStarts.push_back(sample.tStart);
    }
    ASSERT_FALSE(frameStarts.empty());
    // Frame 0 starts when the device was told to run, right at the stream's start.
    EXPECT_GE(frameStarts.front(), 0);
    EXPECT_LT(frameStarts.front(), 10'000'000);
    for (std::size_t i = 1; i < frameStarts.size(); ++i)
        EXPECT_NEAR(333667, frameStarts[i] - frameStarts[i - 1], 1) << "frame " << i;
    const auto cFrameStarts = std::int64_t(frameStarts.size());
    EXPECT_EQ(frames, cFrameStarts);

    EXPECT_EQ(frames, Captured());
    EXPECT_EQ(0, Dropped());
    LONG average = 0;
    m_dropped->GetAverageFrameSize(&average);
    EXPECT_EQ(LONG(packsPerFrame * kPackSize), average);

    // Stop stored the run's counts; the next run adds its own.
    const DeviceCounters stored = ReadStatus(m_device.Get());
    EXPECT_EQ(std::uint64_t(frames), stored.framesCaptured);
    EXPECT_EQ(std::uint64_t(bytes.size()), stored.bytesCaptured);
    m_probe->framesEncoded = 0;
    ASSERT_EQ(S_OK, m_control->Run());
    ASSERT_TRUE(m_probe->WaitForFrames(5, 10s));
    ASSERT_EQ(S_OK, m_control->Stop());
    EXPECT_EQ(std::uint64_t(frames + m_probe->framesEncoded),
              ReadStatus(m_device.Get()).framesCaptured);
}

TEST_F(CaptureGraph, RealTimeCaptureKeepsTheFrameRate)
{
    const double seconds = RunFor(1000ms).count();
    // The frame that is ready when the run ends may or may not have gone out.
    const double expected = seconds * 30000.0 / 1001.0;
    EXPECT_NEAR(expected, Captured() + Dropped(), 2.0);
    // A loaded machine may keep the thread waiting more than a frame now and then.
    EXPECT_GT(Captured(), expected / 2);
}

TEST_F(CaptureGraph, FramesASlowDownstreamCannotTakeAreDroppedAndCounted)
{
    m_pSink->SetGate([](const ReceivedSample&) { std::this_thread::sleep_for(100ms); });
    const double seconds = RunFor(1000ms).count();
    EXPECT_GT(Dropped(), 10);
    EXPECT_NEAR(seconds * 30000.0 / 1001.0, Captured() + Dropped(), 5.0);

    std::vector<LONG> numbers(static_cast<std::size_t>(Dropped()));
    LONG copied = 0;
    ASSERT_EQ(S_OK, m_dropped->GetDroppedInfo(LONG(numbers.size()), numbers.data(), &copied));
    EXPECT_EQ(Dropped(), copied);
    EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
    EXPECT_EQ(std::uint64_t(Dropped()), ReadStatus(m_device.Get()).framesDropped);
}

TEST_F(CaptureGraph, SettingsReachARunningCaptureWithinASecondOrAtTheNextRun)
{
    ComPtr<IPersistPropertyBag> persist;
    ASSERT_EQ(S_OK, m_device.As(&persist));
    ASSERT_EQ(S_OK, persist->Load(RegisterDeviceBag(kFirstDeviceName).Get(), nullptr));
    ComPtr<IAMVideoProcAmp> procAmp;
    ASSERT_EQ(S_OK, m_device.As(&procAmp));
    ComPtr<IAMAnalogVideoDecoder> decoder;
    ASSERT_EQ(S_OK, m_device.As(&decoder));
    ASSERT_EQ(S_OK, m_control->Run());
    EXPECT_EQ("Orvastation", m_probe->LastCreated().deviceName);

    ASSERT_EQ(S_OK, procAmp->Set(VideoProcAmp_Brightness, 200, VideoProcAmp_Flags_Manual));
    EXPECT_TRUE(
        m_probe->WaitForUpdate([](const CaptureSettings& s) { return s.brightness == 200; }, 1s));

    // A filter bound to the same device elsewhere (here: a second state over the same
    // registry key) changes the volume.
    DeviceState elsewhere;
    elsewhere.Attach(RegisterDeviceBag(kFirstDeviceName).Get());
    ASSERT_EQ(DeviceState::ChangeResult::Accepted,
              elsewhere.Change([](DeviceSettings& s, const DeviceCaps& caps)
                               { return SettingsRules::ApplyVolume(s, caps, -20); }));
    EXPECT_TRUE(
        m_probe->WaitForUpdate([](const CaptureSettings& s) { return s.volume == -20; }, 1s));

    // The standard cannot change inside a stream: the next run is made with it.
    ASSERT_EQ(S_OK, decoder->put_TVFormat(AnalogVideo_PAL_B));
    ASSERT_EQ(S_OK, m_control->Stop());
    EXPECT_EQ(1, m_probe->LastCreated().standard);
    ASSERT_EQ(S_OK, m_control->Run());
    EXPECT_EQ(AnalogVideo_PAL_B, m_probe->LastCreated().standard);
    EXPECT_EQ(576, m_probe->LastCreated().height);
    EXPECT_EQ(-20, m_probe->LastCreated().volume);
}

TEST_F(CaptureGraph, HundredRunPauseStopCyclesEndEveryStream)
{
    SetFastPacing();
    for (int cycle = 0; cycle < 100; ++cycle)
    {
        ASSERT_EQ(S_OK, m_control->Run());
        std::this_thread::sleep_for(std::chrono::microseconds(300 * (cycle % 7)));
        if (cycle % 3 == 0)
        {
            ASSERT_EQ(S_OK, m_control->Pause());
            ASSERT_EQ(S_OK, m_control->Run());
        }
        ASSERT_EQ(S_OK, m_control->Stop());
    }
    // Every run's stream ended with its end code (a pause ends one too).
    EXPECT_EQ(100 + 34, m_probe->finishes.load());
    EXPECT_EQ(0, Dropped());
}

TEST_F(CaptureGraph, StopIsPromptWhenTheDownstreamBlocksUntilItStops)
{
    SetFastPacing();
    IBaseFilter* pSink = m_sink.Get();
    m_pSink->SetGate(
        [pSink](const ReceivedSample&)
        {
            FILTER_STATE state = State_Running;
            while (pSink->GetState(0, &state), state != State_Stopped)
                std::this_thread::sleep_for(1ms);
        });
    ASSERT_EQ(S_OK, m_control->Run());
    ASSERT_TRUE(m_probe->WaitForFrames(1, 5s));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(S_OK, m_control->Stop());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
}

TEST_F(CaptureGraph, AFailingSourceFailsTheRunOrAbortsItAndEndsTheStream)
{
    SetFastPacing();
    m_probe->bFailCreate = true;
    EXPECT_EQ(E_FAIL, m_control->Run());
    m_probe->bFailCreate = false;
    m_probe->failAtFrame = 5;
    ASSERT_EQ(S_OK, m_control->Run());
    LONG_PTR result = 0;
    EXPECT_TRUE(WaitForEvent(m_events.Get(), EC_ERRORABORT, 5000, &result));
    EXPECT_TRUE(FAILED(HRESULT(result)));
    EXPECT_TRUE(m_pSink->WaitForEndOfStream());
    EXPECT_EQ(5, Captured());
    EXPECT_EQ(S_OK, m_control->Stop());
}

// One second into the run the pin stalls, telling the graph, then drops frames; its
// stream is damaged all along; three seconds in it stops with the plan's event and
// ends its stream. Every fault is counted.
TEST_F(CaptureGraph, InjectedFaultsStallDropDamageAndStopTheCapture)
{
    SetFastPacing();
    ASSERT_EQ(S_OK, SetFaults(m_device.Get(), "stall=50 drop-frames=5 flip-bits=1000 "
                                              "capture-stop=3:stream-error:0x8007001F"));
    ASSERT_EQ(S_OK, m_control->Run());
    EXPECT_TRUE(WaitForEvent(m_events.Get(), EC_STARVATION, 5000));
    LONG_PTR result = 0;
    EXPECT_TRUE(WaitForEvent(m_events.Get(), EC_STREAM_ERROR_STOPPED, 5000, &result));
    EXPECT_EQ(HRESULT(0x8007001F), HRESULT(result));
    ASSERT_TRUE(m_pSink->WaitForEndOfStream());
    // Frames 0 to 89 start before three seconds at 29.97 a second.
    EXPECT_EQ(5, Dropped());
    EXPECT_EQ(85, Captured());
    EXPECT_EQ(0, m_probe->finishes); // an error stop does not end the source's stream
    const std::size_t cbStream = m_pSink->Bytes().size();
    const std::size_t packsPerFrame = (4200000 / 8 * 1001 / 30000 + kPackSize - 1) / kPackSize;
    EXPECT_EQ(85 * packsPerFrame * kPackSize, cbStream);
    ASSERT_EQ(S_OK, m_control->Stop());

    const DeviceCounters counters = ReadStatus(m_device.Get());
    EXPECT_EQ(1u, counters.stalls);
    EXPECT_EQ(1u, counters.captureStops);
    EXPECT_EQ(5u, counters.framesDropped);
    EXPECT_EQ(cbStream / 1000, counters.bitsFlipped);
}

// A stop without an error ends the source's stream as Pause does.
TEST_F(CaptureGraph, AnInjectedEndOfStreamEndsTheSourcesStreamFirst)
{
    SetFastPacing();
    ASSERT_EQ(S_OK, SetFaults(m_device.Get(), "capture-stop=0.5:end"));
    ASSERT_EQ(S_OK, m_control->Run());
    ASSERT_TRUE(m_pSink->WaitForEndOfStream());
    EXPECT_EQ(1, m_probe->finishes);
    const std::vector<std::uint8_t> bytes = m_pSink->Bytes();
    EXPECT_TRUE(std::equal(std::begin(kEndCode), std::end(kEndCode), bytes.end() - 4));
    EXPECT_EQ(S_OK, m_control->Stop());
}
