// The muxer in a graph: sources push C3 video packets and audio units on threads of their
// own, a sink keeps the output, which is read back with the C3 stream library.

#include "MuxerTestGraph.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
constexpr LONG kOutputBuffer = 614400;

LONG AudioRoom(uint32_t nAudioPerVideo)
{
    return nAudioPerVideo == 2 ? 6448 : 7776;
}

// Runs the graph until both sources have pushed everything and end of stream has reached
// the sink, which must be once, behind every sample.
TestSink::Received RunToEnd(MuxerTestGraph::Setup setup)
{
    MuxerTestGraph graph(std::move(setup));
    EXPECT_EQ(graph.ConnectResult(), S_OK);
    EXPECT_EQ(graph.Run(), S_OK);
    graph.JoinSources();
    EXPECT_TRUE(graph.Sink()->WaitForEndOfStream(1));
    graph.Stop();
    const TestSink::Received received = graph.Sink()->Snapshot();
    EXPECT_EQ(received.samplesBeforeEndOfStream,
              std::vector<std::size_t>{received.sampleLengths.size()});
    return received;
}

// The output as the samples delivered it; each must read as whole packets.
std::vector<Bytes> SplitSamples(const TestSink::Received& received)
{
    std::vector<Bytes> samples;
    auto next = received.bytes.begin();
    for (LONG cbSample : received.sampleLengths)
    {
        samples.emplace_back(next, next + cbSample);
        next += cbSample;
        EXPECT_EQ(ReadC3Stream(samples.back()).cbRead, samples.back().size())
            << "sample " << samples.size() - 1 << " does not hold whole packets";
    }
    return samples;
}

// Each packet carries the video it came with and exactly its own audio units, its header
// states that audio, keeps only the picture type in flags and links to the packet before.
void ExpectInterleaved(const Bytes& output, const MuxInput& input)
{
    const ParsedStream parsed = ReadC3Stream(output);
    ASSERT_EQ(parsed.cbRead, output.size()) << "bytes after the last well-formed packet";
    ASSERT_EQ(parsed.packets.size(), input.video.size());
    const uint32_t n = input.nAudioPerVideo;
    uint64_t cbPrevious = 0;
    for (size_t k = 0; k < parsed.packets.size(); ++k)
    {
        SCOPED_TRACE("packet " + std::to_string(k));
        const CC3Packet& packet = *parsed.packets[k];
        const CC3Header& header = *packet.C3Header();
        const Bytes& video = input.video[k];
        EXPECT_EQ(PayloadOf(packet.VideoData()),
                  Bytes(video.begin() + kC3HeaderLength, video.end()));
        Bytes audio;
        for (uint32_t u = 0; u < n && k * n + u < input.audio.size(); ++u)
            audio.insert(audio.end(), input.audio[k * n + u].begin(), input.audio[k * n + u].end());
        EXPECT_EQ(PayloadOf(packet.AudioData()), audio);
        EXPECT_EQ(header.m_cbAudioLength, audio.size());
        EXPECT_EQ(header.m_nFlags, video[19] & 0x7u);
        EXPECT_EQ(header.m_cbPreviousLength, cbPrevious);
        cbPrevious = header.TotalLength();
    }
}

struct InterleaveCase
{
    uint32_t nAudioPerVideo;
    bool bSinkCanBlock; // the output queue then delivers on its own thread

    friend void PrintTo(const InterleaveCase& c, std::ostream* os)
    {
        *os << c.nAudioPerVideo << " per video, sink can block: " << c.bSinkCanBlock;
    }
};

class MuxerInterleaving : public testing::TestWithParam<InterleaveCase>
{
};

TEST_P(MuxerInterleaving, EveryPacketIsFollowedByExactlyItsAudioAndNothingIsLost)
{
    MuxerTestGraph::Setup setup;
    setup.input = MakeMuxInput(150, 9000, GetParam().nAudioPerVideo);
    setup.sink.bReceiveCanBlock = GetParam().bSinkCanBlock;
    const MuxInput input = setup.input;

    const TestSink::Received received = RunToEnd(std::move(setup));

    ExpectInterleaved(received.bytes, input);
    SplitSamples(received);
    const int nFormat = GetParam().nAudioPerVideo == 2 ? 1 : 2;
    for (int nFormatByte : received.formatBytes)
        EXPECT_EQ(nFormatByte, nFormat);
}

INSTANTIATE_TEST_SUITE_P(FrameRateClassesAndQueueModes, MuxerInterleaving,
                         testing::Values(InterleaveCase{2, false}, InterleaveCase{4, false},
                                         InterleaveCase{2, true}, InterleaveCase{4, true}),
                         [](const testing::TestParamInfo<InterleaveCase>& info)
                         {
                             return std::to_string(info.param.nAudioPerVideo) + "PerVideo" +
                                    (info.param.bSinkCanBlock ? "QueueThread" : "CallerThread");
                         });

// A sample closes only when the next packet with the room kept for its audio no longer
// fits; samples hold whole packets.
TEST(MuxerOutputSamples, CloseWhenTheNextPacketAndItsAudioRoomNoLongerFit)
{
    MuxerTestGraph::Setup setup;
    setup.input = MakeMuxInput(120, 10000 - kC3HeaderLength, 2);
    const TestSink::Received received = RunToEnd(std::move(setup));

    // Each group takes 10000 + 2 x 3224 = 16448 bytes: 37 fit, a 38th would not.
    ASSERT_EQ(received.sampleLengths.size(), 4u);
    for (size_t i = 0; i + 1 < received.sampleLengths.size(); ++i)
        EXPECT_EQ(received.sampleLengths[i], 37 * 16448);
    EXPECT_EQ(received.sampleLengths.back(), (120 - 3 * 37) * 16448);
}

// Groups that fill a buffer to its last byte: the full sample is delivered as soon as the
// audio that filled it is muxed, not held until the next video sample arrives.
TEST(MuxerOutputSamples, ExactlyFullSampleIsDeliveredAtOnce)
{
    MuxerTestGraph::Setup setup;
    setup.input = MakeMuxInput(16, kOutputBuffer / 16 - AudioRoom(2) - kC3HeaderLength, 2);
    setup.bVideoEndOfStream = false;
    setup.bAudioEndOfStream = false;
    MuxerTestGraph graph(std::move(setup));
    ASSERT_EQ(graph.Run(), S_OK);
    graph.JoinSources();
    EXPECT_EQ(graph.Sink()->Snapshot().sampleLengths, std::vector<LONG>{kOutputBuffer});
    graph.Stop();
}

// Video units of several sizes: every sample but the last was closed for want of room for
// the next packet, and each one on its own reads as whole packets.
TEST(MuxerOutputSamples, HoldWholePacketsOfVaryingSize)
{
    MuxInput input = MakeMuxInput(0, 0, 4);
    uint32_t cbPrevious = 0;
    for (uint32_t i = 0; i < 200; ++i)
    {
        const uint32_t cbVideo = 4 + (i * 7919) % 120000;
        input.video.push_back(MakeVideoPacket(i, cbVideo, 4, 2, cbPrevious));
        cbPrevious = kC3HeaderLength + cbVideo;
        for (uint32_t u = 0; u < 4; ++u)
            input.audio.push_back(MakeAudioUnit(i * 4 + u, kAudioUnitForFour));
    }
    MuxerTestGraph::Setup setup;
    setup.input = input;
    const TestSink::Received received = RunToEnd(std::move(setup));
    ExpectInterleaved(received.bytes, input);

    size_t nPacket = 0;
    const std::vector<Bytes> samples = SplitSamples(received);
    for (size_t s = 0; s + 1 < samples.size(); ++s)
    {
        nPacket += ReadC3Stream(samples[s]).packets.size();
        EXPECT_GT(LONG(samples[s].size() + input.video[nPacket].size()) + AudioRoom(4),
                  kOutputBuffer);
    }
}

// Audio units larger than the room kept: when one no longer fits behind its packet, the
// packet moves to a new sample, so a header is always patched where it stands.
TEST(MuxerOutputSamples, AudioOutgrowingTheRoomMovesItsPacketToANewSample)
{
    MuxInput input = MakeMuxInput(30, 60000, 2);
    for (size_t i = 0; i < input.audio.size(); ++i)
        input.audio[i] = MakeAudioUnit(uint32_t(i), 9000);
    MuxerTestGraph::Setup setup;
    setup.input = input;
    const TestSink::Received received = RunToEnd(std::move(setup));

    ExpectInterleaved(received.bytes, input);
    // A packet takes 78028 bytes; the 8th packet's video still fits the first sample with
    // the room kept, its audio does not.
    EXPECT_EQ(received.sampleLengths.front(), 7 * 78028);
}

// Video samples that are no well-formed packet (too short for a header, no marker, a
// declared length other than the sample's) or too large for a buffer with their audio
// room are dropped; the turn order goes on, their audio joins the packet before, and the
// previous-length chain stays unbroken.
TEST(MuxerRobustness, MalformedAndOversizedVideoSamplesAreDropped)
{
    MuxInput input = MakeMuxInput(10, 1000, 2);
    input.video[3] = Bytes(20, 0x88);
    input.video[5][0] = 0x00;
    input.video[6].push_back(0);
    input.video[8] = MakeVideoPacket(8, kOutputBuffer, 2, 1, 1028);
    MuxerTestGraph::Setup setup;
    setup.input = input;
    const TestSink::Received received = RunToEnd(std::move(setup));

    MuxInput expected = input;
    expected.video = {input.video[0], input.video[1], input.video[2],
                      input.video[4], input.video[7], input.video[9]};
    const ParsedStream parsed = ReadC3Stream(received.bytes);
    ASSERT_EQ(parsed.cbRead, received.bytes.size());
    ASSERT_EQ(parsed.packets.size(), expected.video.size());
    const uint32_t audioUnitsPerPacket[] = {2, 2, 4, 6, 4, 2};
    uint64_t cbPrevious = 0;
    for (size_t k = 0; k < parsed.packets.size(); ++k)
    {
        const CC3Header& header = *parsed.packets[k]->C3Header();
        EXPECT_EQ(header.m_cbAudioLength, audioUnitsPerPacket[k] * kAudioUnitForTwo) << k;
        EXPECT_EQ(header.m_cbPreviousLength, cbPrevious) << k;
        cbPrevious = header.TotalLength();
    }
}

// The audio arriving before any video packet, or after the video ended, has no packet
// to go into and is dropped; nothing else is disturbed.
TEST(MuxerRobustness, AudioWithNoPacketToCarryItIsDropped)
{
    MuxInput input = MakeMuxInput(3, 500, 2);
    input.audio.resize(input.audio.size() + 6, MakeAudioUnit(99, kAudioUnitForTwo));
    MuxerTestGraph::Setup setup;
    setup.input = input;
    input.audio.resize(6);
    const TestSink::Received received = RunToEnd(std::move(setup));
    ExpectInterleaved(received.bytes, input);
}

// With only the video input connected every packet passes at once, without audio.
TEST(MuxerTurns, VideoAloneIsMuxedWithoutWaiting)
{
    MuxerTestGraph::Setup setup;
    setup.input = MakeMuxInput(40, 3000, 4);
    setup.bConnectAudio = false;
    MuxInput expected = setup.input;
    expected.audio.clear();
    const TestSink::Received received = RunToEnd(std::move(setup));
    ExpectInterleaved(received.bytes, expected);
}

// The audio input ends while video is still coming, after a whole group or inside one:
// the packet that waited for its audio and every packet after it are muxed without audio,
// and end of stream goes downstream behind them. Packets 12 to 30 cannot be muxed before
// the audio has ended, since the 12th waits at its gate for audio that never comes.
// With the last packet one unit short the video may end first instead, and end of stream
// then waits for that unit or for the end of the audio.
TEST(MuxerTurns, VideoGoesOnAfterTheAudioInputEnds)
{
    for (const size_t nAudioUnits : {20, 21, 59})
    {
        for (const bool bSinkCanBlock : {false, true})
        {
            SCOPED_TRACE(std::to_string(nAudioUnits) +
                         " audio units, sink can block: " + std::to_string(bSinkCanBlock));
            MuxerTestGraph::Setup setup;
            setup.input = MakeMuxInput(30, 2000, 2);
            setup.input.audio.resize(nAudioUnits);
            setup.sink.bReceiveCanBlock = bSinkCanBlock;
            const MuxInput input = setup.input;
            ExpectInterleaved(RunToEnd(std::move(setup)).bytes, input);
        }
    }
}

TEST(MuxerTurns, RacingInputsKeepTheTurnOrder)
{
    for (unsigned nSeed = 1; nSeed <= 4; ++nSeed)
    {
        MuxerTestGraph::Setup setup;
        setup.input = MakeMuxInput(80, 700, nSeed % 2 ? 2 : 4);
        setup.nSeed = nSeed;
        setup.nMaxVideoDelayMicros = 300;
        setup.nMaxAudioDelayMicros = 150;
        setup.sink.bReceiveCanBlock = nSeed > 2;
        const MuxInput input = setup.input;
        const TestSink::Received received = RunToEnd(std::move(setup));
        ExpectInterleaved(received.bytes, input);
    }
}

// Both results as the sources saw them: S_OK up to the failure, then the failure for every
// later sample.
void ExpectRefusedFromTheFailureOn(const std::vector<HRESULT>& results, HRESULT hrFailure)
{
    const auto firstRefusal =
        std::find_if(results.begin(), results.end(), [](HRESULT hr) { return hr != S_OK; });
    ASSERT_NE(firstRefusal, results.end());
    EXPECT_TRUE(
        std::all_of(firstRefusal, results.end(), [&](HRESULT hr) { return hr == hrFailure; }));
}

// The sink fails its second sample, as a writer on a full disk does. The sources go on
// offering everything, without end of stream: each offer is refused with the failure at
// once, also on the input whose turn never comes again (the sources' threads end), and
// nothing more is delivered. The next run streams again.
TEST_P(MuxerInterleaving, FailedDeliveryEndsTheStreamOnBothInputsUntilTheNextRun)
{
    const HRESULT hrDiskFull = MakeHResult(0x80070070);
    MuxerTestGraph::Setup setup;
    setup.input = MakeMuxInput(150, 9000, GetParam().nAudioPerVideo);
    setup.sink.bReceiveCanBlock = GetParam().bSinkCanBlock;
    setup.sink.nSamplesBeforeFailure = 1;
    setup.sink.hrFailure = hrDiskFull;
    setup.bStopOnRefusal = false;
    setup.bVideoEndOfStream = false;
    setup.bAudioEndOfStream = false;
    MuxerTestGraph graph(std::move(setup));
    ASSERT_EQ(graph.Run(), S_OK);
    graph.JoinSources();
    ExpectRefusedFromTheFailureOn(graph.Video()->Results(), hrDiskFull);
    ExpectRefusedFromTheFailureOn(graph.Audio()->Results(), hrDiskFull);
    EXPECT_EQ(graph.Sink()->Snapshot().nRefused, 1);
    EXPECT_EQ(graph.Sink()->Snapshot().sampleLengths.size(), 1u);

    graph.Stop();
    ASSERT_EQ(graph.Run(), S_OK);
    graph.JoinSources();
    EXPECT_EQ(graph.Sink()->Snapshot().nRefused, 2);
    graph.Stop();
}
} // namespace
