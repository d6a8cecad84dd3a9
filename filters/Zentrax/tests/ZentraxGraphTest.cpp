// The conversion graph as the test utility builds it: push sources stand in for the MPEG
// splitter and the PCM converter and push an ffmpeg-made MPEG-2 elementary stream and its
// 48 kHz PCM into "Zentrax Filter", on into "Ostrel Muxer" and a sink. Both filters come from
// their registered modules through COM and are joined in the graph manager. The C3 stream
// that comes out passes the inspection tool's check.
#include "C3TestData.h"
#include "FfmpegMedia.h"
#include "ModuleRegistration.h"
#include "OstrelMuxerUUIDS.h"
#include "TemporaryRegistry.h"
#include "TestPushSource.h"
#include "TestSink.h"
#include "ZentraxTestGraph.h"
#include "ZentraxUUIDS.h"
#include "JoinedText.h"

#include <com/ComRuntime.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <thread>

namespace
{
constexpr int kPictures = 40;

TestPushSource::Options Source(CMediaType type, std::vector<Bytes> payloads, unsigned nSeed)
{
    TestPushSource::Options options;
    options.type = std::move(type);
    options.payloads = std::move(payloads);
    options.nMaxDelayMicros = 300;
    options.nSeed = nSeed;
    return options;
}

class ConversionGraph : public testing::Test
{
protected:
    void SetUp() override
    {
        if (!FfmpegMedia::Available())
            GTEST_SKIP() << "ffmpeg is needed to make the sample streams; it is not installed";
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        m_bComInitialised = true;
        ASSERT_EQ(RegisterModule(ZENTRAX_MODULE), S_OK);
        ASSERT_EQ(RegisterModule(MUXER_MODULE), S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&m_graph)),
                  S_OK);
        ASSERT_EQ(m_graph.As(&m_control), S_OK);
        ASSERT_EQ(m_graph.As(&m_events), S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_Zentrax, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&m_zentrax)),
                  S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_OstrelMuxer, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&m_muxer)),
                  S_OK);
    }

    void TearDown() override
    {
        if (m_control)
            m_control->Stop();
        m_control.Reset();
        m_events.Reset();
        m_graph.Reset();
        m_zentrax.Reset();
        m_muxer.Reset();
        m_video.Reset();
        m_audio.Reset();
        m_sink.Reset();
        if (m_bComInitialised)
            CoUninitialize();
    }

    // Builds the graph over the streams, cut into samples as a splitter would.
    void Build(const Bytes& video, const Bytes& pcm, TestSink::Options sink = {})
    {
        HRESULT hr = S_OK;
        m_video = new TestPushSource(Source(Mpeg2VideoType(), Chunks(video, 8192), 1), &hr);
        m_audio = new TestPushSource(Source(PcmType(), Chunks(pcm, 19200), 2), &hr);
        m_sink = new TestSink(sink, &hr);
        ASSERT_EQ(hr, S_OK);
        ASSERT_EQ(m_graph->AddFilter(m_video.Get(), L"Video Source"), S_OK);
        ASSERT_EQ(m_graph->AddFilter(m_audio.Get(), L"Audio Source"), S_OK);
        ASSERT_EQ(m_graph->AddFilter(m_zentrax.Get(), L"Zentrax Filter"), S_OK);
        ASSERT_EQ(m_graph->AddFilter(m_muxer.Get(), L"Ostrel Muxer"), S_OK);
        ASSERT_EQ(m_graph->AddFilter(m_sink.Get(), L"Dump File"), S_OK);

        Join(m_video->OutputPin(), m_zentrax.Get(), L"Video In");
        Join(m_audio->OutputPin(), m_zentrax.Get(), L"Audio In");
        Join(FindPin(m_zentrax.Get(), L"Xform Out"), m_muxer.Get(), L"Video In");
        Join(FindPin(m_zentrax.Get(), L"DeadCafe Out"), m_muxer.Get(), L"Audio In");
        Join(FindPin(m_muxer.Get(), L"8888CAFE Output"), m_sink.Get(), L"Input");
    }

    void Start()
    {
        ASSERT_TRUE(SUCCEEDED(m_control->Run()));
        m_audio->StartPushing();
        m_video->StartPushing();
    }

    IPin* FindPin(IBaseFilter* pFilter, const wchar_t* pszName)
    {
        ComPtr<IPin> pPin;
        EXPECT_EQ(pFilter->FindPin(pszName, pPin.ReleaseAndGetAddressOf()), S_OK) << pszName;
        m_pins.push_back(pPin);
        return pPin.Get();
    }

    void Join(IPin* pOutput, IBaseFilter* pFilter, const wchar_t* pszInput)
    {
        ASSERT_TRUE(pOutput);
        EXPECT_EQ(m_graph->ConnectDirect(pOutput, FindPin(pFilter, pszInput), nullptr), S_OK)
            << pszInput;
    }

    TemporaryRegistry m_registry;
    FfmpegMedia m_media;
    bool m_bComInitialised = false;
    ComPtr<IGraphBuilder> m_graph;
    ComPtr<IMediaControl> m_control;
    ComPtr<IMediaEventEx> m_events;
    ComPtr<IBaseFilter> m_zentrax;
    ComPtr<IBaseFilter> m_muxer;
    ComPtr<TestPushSource> m_video;
    ComPtr<TestPushSource> m_audio;
    ComPtr<TestSink> m_sink;
    std::vector<ComPtr<IPin>> m_pins;
};
} // namespace

// The sound lasts as long as the pictures, or ends half-way through them; then the later
// pictures become packets without audio. Every picture is in the stream, and end of stream
// comes once, behind it: the graph is stopped as soon as it arrives, as the test utility
// stops at the completion it causes.
class ConversionGraphSound : public ConversionGraph, public testing::WithParamInterface<double>
{
};

TEST_P(ConversionGraphSound, C3StreamOfAnMpeg2StreamAndItsPcmPassesTheCheck)
{
    const Bytes video = m_media.Mpeg2Video("25", kPictures);
    const Bytes pcm = m_media.Pcm(GetParam() * kPictures / 25.0);
    ASSERT_FALSE(video.empty());
    ASSERT_FALSE(pcm.empty());
    ASSERT_NO_FATAL_FAILURE(Build(video, pcm));
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(m_sink->WaitForEndOfStream(1));
    m_control->Stop();

    const TestSink::Received received = m_sink->Snapshot();
    EXPECT_EQ(received.samplesBeforeEndOfStream,
              std::vector<std::size_t>{received.sampleLengths.size()});
    const ParsedStream stream = ReadC3Stream(received.bytes);
    EXPECT_EQ(stream.cbRead, received.bytes.size());
    EXPECT_EQ(stream.packets.size(), static_cast<std::size_t>(kPictures));

    const std::string strFile = m_media.Write("converted.c3s", received.bytes).string();
    const std::string strCheck = JoinedText({C3INFO_PATH, " --check --quiet ", strFile});
    EXPECT_EQ(std::system(strCheck.c_str()), 0) << strCheck;
}

INSTANTIATE_TEST_SUITE_P(SoundLengths, ConversionGraphSound, testing::Values(1.0, 0.5),
                         [](const testing::TestParamInfo<double>& info)
                         { return info.param < 1.0 ? "SoundEndsHalfWay" : "WholeSound"; });

// A sink that fails as a writer on a full disk does: the failure goes back through the muxer
// and the filter to both sources, whose deliveries end with it, and the graph hears of it
// once, with no completion.
TEST_F(ConversionGraph, FailedWriteEndsBothSourcesWithItsResultAndOneEvent)
{
    const HRESULT hrDiskFull = MakeHResult(0x80070070);
    ASSERT_NO_FATAL_FAILURE(Build(m_media.Mpeg2Video("30000/1001", 240), m_media.Pcm(8.0),
                                  {.nSamplesBeforeFailure = 0, .hrFailure = hrDiskFull}));
    ASSERT_NO_FATAL_FAILURE(Start());
    m_video->Join();
    m_audio->Join();
    EXPECT_EQ(m_video->Results().back(), hrDiskFull);
    EXPECT_EQ(m_audio->Results().back(), hrDiskFull);

    LONG code = 0;
    LONG_PTR param1 = 0;
    LONG_PTR param2 = 0;
    ASSERT_EQ(m_events->GetEvent(&code, &param1, &param2, 0), S_OK);
    EXPECT_EQ(code, EC_ERRORABORT);
    EXPECT_EQ(param1, hrDiskFull);
    EXPECT_TRUE(SUCCEEDED(m_control->Stop()));
    EXPECT_NE(m_events->GetEvent(&code, &param1, &param2, 0), S_OK) << "another event " << code;
}

TEST_F(ConversionGraph, StopWhileStreamingReturnsAndTheGraphRunsAgain)
{
    const Bytes video = m_media.Mpeg2Video("30000/1001", 120);
    const Bytes pcm = m_media.Pcm(4.0);
    ASSERT_NO_FATAL_FAILURE(Build(video, pcm));
    for (int round = 1; round <= 3; ++round)
    {
        const int nBegun = m_video->DeliveriesBegun();
        ASSERT_NO_FATAL_FAILURE(Start());
        while (m_video->DeliveriesBegun() < nBegun + 3 * round)
            std::this_thread::yield();
        EXPECT_TRUE(SUCCEEDED(m_control->Stop()));
        m_video->Join();
        m_audio->Join();
    }
    const std::vector<HRESULT> results = m_video->Results();
    EXPECT_GE(std::count(results.begin(), results.end(), S_OK), 6);
}
