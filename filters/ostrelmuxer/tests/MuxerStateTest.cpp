// State changes and flushing around the muxer's gates: a thread waiting for its turn is
// let go by Stop and BeginFlush, end of stream and flushes go downstream once.

#include "MuxerTestGraph.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{
// A graph in which the second video sample must wait at its gate: the audio source
// connects but delivers nothing.
MuxerTestGraph::Setup VideoWaitingForAudio()
{
    MuxerTestGraph::Setup setup;
    setup.input = MakeMuxInput(3, 100, 2);
    setup.input.audio.clear();
    setup.bAudioEndOfStream = false;
    return setup;
}

void WaitUntilDeliveriesBegun(const TestPushSource* pSource, int n)
{
    while (pSource->DeliveriesBegun() < n)
        std::this_thread::yield();
}

TEST(MuxerGates, StopLetsGoOfAThreadWaitingForItsTurn)
{
    MuxerTestGraph graph(VideoWaitingForAudio());
    ASSERT_EQ(graph.Run(), S_OK);
    WaitUntilDeliveriesBegun(graph.Video(), 2);
    graph.Stop();
    EXPECT_EQ(graph.Video()->Results(), (std::vector<HRESULT>{S_OK, S_FALSE}));
}

TEST(MuxerGates, BeginFlushLetsGoOfAThreadWaitingForItsTurnAndIsPassedOnOnce)
{
    MuxerTestGraph graph(VideoWaitingForAudio());
    ASSERT_EQ(graph.Run(), S_OK);
    WaitUntilDeliveriesBegun(graph.Video(), 2);
    IPin* pVideoIn = graph.Muxer()->GetPin(0);
    IPin* pAudioIn = graph.Muxer()->GetPin(1);

    EXPECT_EQ(pVideoIn->BeginFlush(), S_OK);
    graph.Video()->Join();
    EXPECT_EQ(graph.Video()->Results(), (std::vector<HRESULT>{S_OK, S_FALSE}));
    EXPECT_EQ(pAudioIn->BeginFlush(), S_OK);
    EXPECT_EQ(pVideoIn->EndFlush(), S_OK);
    EXPECT_EQ(pAudioIn->EndFlush(), S_OK);

    const TestSink::Received received = graph.Sink()->Snapshot();
    EXPECT_EQ(received.nBeginFlush, 1);
    EXPECT_EQ(received.nEndFlush, 1);
    EXPECT_TRUE(received.bytes.empty()) << "the flushed sample must not be delivered";
}

TEST(MuxerGates, PauseWithNoInputConnectedSendsEndOfStreamOnce)
{
    MuxerTestGraph graph(MuxerTestGraph::Setup{});
    ASSERT_EQ(graph.ConnectResult(), S_OK);
    graph.Video()->OutputPin()->Disconnect();
    graph.Muxer()->GetPin(0)->Disconnect();
    graph.Audio()->OutputPin()->Disconnect();
    graph.Muxer()->GetPin(1)->Disconnect();

    graph.Sink()->Pause();
    EXPECT_EQ(graph.Muxer()->Pause(), S_OK);
    EXPECT_EQ(graph.Muxer()->Pause(), S_OK);
    EXPECT_EQ(graph.Sink()->Snapshot().samplesBeforeEndOfStream.size(), 1u);
    graph.Stop();
    graph.Sink()->Pause();
    EXPECT_EQ(graph.Muxer()->Pause(), S_OK);
    EXPECT_EQ(graph.Sink()->Snapshot().samplesBeforeEndOfStream.size(), 2u);
}

// A repeated end of stream is not passed on; a flush starts a new stream, whose end goes
// downstream again.
TEST(MuxerGates, EndOfStreamGoesOncePerStreamAndAgainAfterAFlush)
{
    MuxerTestGraph::Setup setup;
    setup.input = MakeMuxInput(3, 100, 2);
    MuxerTestGraph graph(setup);
    ASSERT_EQ(graph.Run(), S_OK);
    graph.JoinSources();
    IPin* pVideoIn = graph.Muxer()->GetPin(0);
    IPin* pAudioIn = graph.Muxer()->GetPin(1);
    EXPECT_EQ(pVideoIn->EndOfStream(), S_OK);
    EXPECT_EQ(graph.Sink()->Snapshot().samplesBeforeEndOfStream.size(), 1u);

    for (IPin* pInput : {pVideoIn, pAudioIn})
        EXPECT_EQ(pInput->BeginFlush(), S_OK);
    for (IPin* pInput : {pVideoIn, pAudioIn})
        EXPECT_EQ(pInput->EndFlush(), S_OK);
    EXPECT_EQ(pVideoIn->EndOfStream(), S_OK);
    EXPECT_EQ(graph.Sink()->Snapshot().samplesBeforeEndOfStream.size(), 2u);
}

// A filter released while running hands its queued output samples back to the allocator.
TEST(MuxerLifetime, DestroyingARunningMuxerReleasesItsQueuedSamples)
{
    MuxerTestGraph::Setup setup;
    setup.input = MakeMuxInput(4, 1000, 2);
    setup.bVideoEndOfStream = false;
    setup.bAudioEndOfStream = false;
    MuxerTestGraph graph(setup);
    ComPtr<IMemInputPin> pSinkPin;
    ASSERT_EQ(graph.Sink()->InputPin()->QueryInterface(IID_PPV_ARGS(&pSinkPin)), S_OK);
    ComPtr<IMemAllocator> pAllocator;
    ASSERT_EQ(pSinkPin->GetAllocator(&pAllocator), S_OK);
    ASSERT_EQ(graph.Run(), S_OK);
    graph.JoinSources();
    ASSERT_TRUE(graph.Sink()->Snapshot().bytes.empty()) << "the muxed packets stay open";

    graph.DestroyMuxerWithoutStopping();

    ALLOCATOR_PROPERTIES properties{};
    ASSERT_EQ(pAllocator->GetProperties(&properties), S_OK);
    ASSERT_EQ(pAllocator->Commit(), S_OK);
    std::vector<IMediaSample*> samples(size_t(properties.cBuffers), nullptr);
    for (IMediaSample*& pSample : samples)
        EXPECT_EQ(pAllocator->GetBuffer(&pSample, nullptr, nullptr, AM_GBF_NOWAIT), S_OK);
    for (IMediaSample* pSample : samples)
        if (pSample)
            pSample->Release();
    pAllocator->Decommit();
}
} // namespace
