// Streaming through the filter on real threads: both paths in the system's own formats and
// in pass-through, the audio gate with Stop, flushing and the end of the video stream, end of
// stream on each path, and Stop while samples flow.
#include "ElementaryStream.h"
#include "ZentraxTestGraph.h"

#include "c3stream/buffer_rw.h"
#include "c3stream/c3_stream.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{
constexpr std::uint8_t kI = 1;
constexpr std::uint8_t kP = 2;
constexpr std::uint8_t kB = 3;

// nGroups groups of I B B P B B at 25 frames per second, the sequence header before each.
ElementaryStream Groups(int nGroups, std::size_t cbSlice = 300)
{
    ElementaryStream es;
    for (int i = 0; i < nGroups; ++i)
    {
        es.Sequence(3).Gop().Picture(kI, 2, cbSlice * 3).Picture(kB, 0, cbSlice);
        es.Picture(kB, 1, cbSlice).Picture(kP, 5, cbSlice * 2).Picture(kB, 3, cbSlice);
        es.Picture(kB, 4, cbSlice);
    }
    return es;
}

Bytes Pcm(std::size_t cbBytes)
{
    Bytes pcm(cbBytes);
    for (std::size_t i = 0; i < cbBytes; ++i)
        pcm[i] = static_cast<std::uint8_t>(i * 7);
    return pcm;
}

CC3Header PacketHeader(const Bytes& packet)
{
    CBufferReader reader(packet.data(), packet.size());
    CC3Header header;
    header.Read(reader);
    return header;
}

void WaitUntilDeliveriesBegun(const TestPushSource* pSource, int n)
{
    while (pSource->DeliveriesBegun() < n)
        std::this_thread::yield();
}

// A graph whose audio source waits at the gate: video is connected but sends nothing.
ZentraxTestGraph::Setup AudioWithoutVideo()
{
    ZentraxTestGraph::Setup setup;
    setup.audio = Chunks(Pcm(8000), 4000);
    setup.bVideoEndOfStream = false;
    return setup;
}
} // namespace

TEST(ZentraxStreaming, BothPathsDeliverTheirOwnFormatsAndTheLastPictureAtEndOfStream)
{
    const ElementaryStream es = Groups(3);
    ZentraxTestGraph::Setup setup;
    setup.video = Chunks(es.Data(), 1000);
    setup.audio = Chunks(Pcm(10 * 1920 + 700), 3000);
    setup.nMaxDelayMicros = 200;
    ZentraxTestGraph graph(setup);
    ASSERT_EQ(graph.ConnectResult(), S_OK);
    ASSERT_EQ(graph.Run(), S_OK);
    ASSERT_TRUE(graph.VideoSink()->WaitForEndOfStream(1));
    ASSERT_TRUE(graph.AudioSink()->WaitForEndOfStream(1));

    const auto video = graph.VideoSink()->Snapshot();
    ASSERT_EQ(video.samples.size(), 18u) << "every picture, the last one too";
    std::uint32_t cbPrevious = 0;
    for (const auto& sample : video.samples)
    {
        const CC3Header header = PacketHeader(sample.bytes);
        EXPECT_EQ(sample.bytes.size(), 28u + header.m_cbVideoLength);
        EXPECT_EQ(header.m_cbPreviousLength, cbPrevious);
        cbPrevious = static_cast<std::uint32_t>(sample.bytes.size());
    }
    EXPECT_EQ(PacketHeader(video.samples.back().bytes).m_nFlags, 32u | kB);

    // Ten whole units; the partly filled eleventh is not delivered.
    const auto audio = graph.AudioSink()->Snapshot();
    ASSERT_EQ(audio.samples.size(), 10u);
    for (std::size_t i = 0; i < audio.samples.size(); ++i)
    {
        EXPECT_EQ(audio.samples[i].bytes.size(), 1944u);
        EXPECT_EQ(audio.samples[i].start, static_cast<REFERENCE_TIME>(i) * 100000);
    }
}

TEST(ZentraxStreaming, PassThroughKeepsTheBytesCutIntoPicturesAndPcmUnits)
{
    const ElementaryStream es = Groups(2);
    const Bytes pcm = Pcm(4 * 1920 + 10);
    ZentraxTestGraph::Setup setup;
    setup.video = Chunks(es.Data(), 777);
    setup.audio = Chunks(pcm, 1000);
    setup.bOwnVideo = false;
    setup.bOwnAudio = false;
    ZentraxTestGraph graph(setup);
    ASSERT_EQ(graph.ConnectResult(), S_OK);
    EXPECT_EQ(graph.VideoSink()->ConnectionType(), Mpeg2VideoType());
    ASSERT_EQ(graph.Run(), S_OK);
    ASSERT_TRUE(graph.VideoSink()->WaitForEndOfStream(1));
    ASSERT_TRUE(graph.AudioSink()->WaitForEndOfStream(1));

    const auto video = graph.VideoSink()->Snapshot();
    ASSERT_EQ(video.samples.size(), 12u);
    Bytes joined;
    for (const auto& sample : video.samples)
        joined.insert(joined.end(), sample.bytes.begin(), sample.bytes.end());
    EXPECT_EQ(joined, es.Data());
    // The I-picture of the first group is shown fourth: (2 + 1 + 1) / 25 s.
    EXPECT_EQ(video.samples[0].start, 1600000);
    EXPECT_EQ(video.samples[0].stop, 1600000 + 333333);

    const auto audio = graph.AudioSink()->Snapshot();
    ASSERT_EQ(audio.samples.size(), 4u);
    EXPECT_EQ(audio.samples[1].bytes, Bytes(pcm.begin() + 1920, pcm.begin() + 3840));
}

TEST(ZentraxStreaming, StopLetsGoOfAnAudioThreadWaitingForVideo)
{
    ZentraxTestGraph graph(AudioWithoutVideo());
    ASSERT_EQ(graph.Run(), S_OK);
    WaitUntilDeliveriesBegun(graph.Audio(), 1);
    graph.Stop();
    EXPECT_EQ(graph.Audio()->Results(), std::vector<HRESULT>{S_FALSE});
    EXPECT_TRUE(graph.AudioSink()->Snapshot().samples.empty());
}

TEST(ZentraxStreaming, AudioFlushLetsGoOfAWaitingThreadAndIsPassedOn)
{
    ZentraxTestGraph graph(AudioWithoutVideo());
    ASSERT_EQ(graph.Run(), S_OK);
    WaitUntilDeliveriesBegun(graph.Audio(), 1);
    EXPECT_EQ(graph.Pin(kAudioIn)->BeginFlush(), S_OK);
    graph.Audio()->Join();
    EXPECT_EQ(graph.Audio()->Results(), std::vector<HRESULT>{S_FALSE});
    EXPECT_EQ(graph.Pin(kAudioIn)->EndFlush(), S_OK);
    const auto received = graph.AudioSink()->Snapshot();
    EXPECT_EQ(received.nBeginFlush, 1);
    EXPECT_EQ(received.nEndFlush, 1);
}

TEST(ZentraxStreaming, EndOfTheVideoStreamLetsGoOfAnAudioThreadWaitingForItsFirstUnit)
{
    ZentraxTestGraph::Setup setup = AudioWithoutVideo();
    setup.bVideoEndOfStream = true;
    ZentraxTestGraph graph(setup);
    ASSERT_EQ(graph.Run(), S_OK);
    graph.JoinSources();
    EXPECT_EQ(graph.Audio()->Results(), std::vector<HRESULT>{S_FALSE});
    EXPECT_TRUE(graph.VideoSink()->WaitForEndOfStream(1));
}

TEST(ZentraxStreaming, VideoNewSegmentMakesAudioWaitForTheNextUnit)
{
    const ElementaryStream es = Groups(1);
    ZentraxTestGraph::Setup setup;
    setup.video = {es.Data()};
    setup.bVideoEndOfStream = false;
    ZentraxTestGraph graph(setup);
    ASSERT_EQ(graph.Run(), S_OK);
    graph.JoinSources();
    ASSERT_TRUE(graph.VideoSink()->WaitForSamples(5));

    EXPECT_EQ(graph.Pin(kVideoIn)->NewSegment(0, 10000000, 1.0), S_OK);
    EXPECT_TRUE(graph.VideoSink()->WaitForNewSegments(1));
    IMemInputPin* pAudioIn = nullptr;
    ASSERT_EQ(
        graph.Pin(kAudioIn)->QueryInterface(IID_IMemInputPin, reinterpret_cast<void**>(&pAudioIn)),
        S_OK);
    IMediaSample* pSample = nullptr;
    ASSERT_EQ(static_cast<CBaseOutputPin*>(graph.Audio()->OutputPin())
                  ->GetDeliveryBuffer(&pSample, nullptr, nullptr, 0),
              S_OK);
    std::thread audio([&] { EXPECT_EQ(pAudioIn->Receive(pSample), S_FALSE); });
    graph.Stop();
    audio.join();
    pSample->Release();
    pAudioIn->Release();
}

TEST(ZentraxStreaming, PauseWithVideoInUnconnectedSendsEndOfStreamOnXformOutOnce)
{
    ZentraxTestGraph graph(ZentraxTestGraph::Setup{});
    ASSERT_EQ(graph.ConnectResult(), S_OK);
    graph.Video()->OutputPin()->Disconnect();
    graph.Pin(kVideoIn)->Disconnect();

    graph.VideoSink()->Pause();
    EXPECT_EQ(graph.Filter()->Pause(), S_OK);
    EXPECT_EQ(graph.Filter()->Pause(), S_OK);
    EXPECT_EQ(graph.VideoSink()->Snapshot().nEndOfStream, 1);
    graph.Stop();
    graph.VideoSink()->Pause();
    EXPECT_EQ(graph.Filter()->Pause(), S_OK);
    EXPECT_EQ(graph.VideoSink()->Snapshot().nEndOfStream, 2);
}

TEST(ZentraxStreaming, StopWhileSamplesFlowEndsEveryThreadAndCanRunAgain)
{
    const ElementaryStream es = Groups(20, 2000);
    ZentraxTestGraph::Setup setup;
    setup.video = Chunks(es.Data(), 5000);
    setup.audio = Chunks(Pcm(400 * 1920), 7000);
    setup.nMaxDelayMicros = 300;
    ZentraxTestGraph graph(setup);
    ASSERT_EQ(graph.ConnectResult(), S_OK);
    for (int round = 0; round < 4; ++round)
    {
        const int nVideoBefore = graph.Video()->DeliveriesBegun();
        const int nAudioBefore = graph.Audio()->DeliveriesBegun();
        ASSERT_EQ(graph.Run(), S_OK);
        WaitUntilDeliveriesBegun(graph.Video(), nVideoBefore + 2 + 5 * round);
        WaitUntilDeliveriesBegun(graph.Audio(), nAudioBefore + 1 + 3 * round);
        graph.Stop();
        graph.JoinSources();
    }
    EXPECT_FALSE(graph.VideoSink()->Snapshot().samples.empty());
}
