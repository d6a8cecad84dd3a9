// Push streaming: output queue, end of stream, flushing and Stop with samples
// in flight.

#include "TestFilters.h"
#include "TestGraph.h"

#include <com/ComPtr.h>
#include <gtest/gtest.h>

#include <numeric>

namespace
{
class StreamingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        source->m_Pin.m_QueueMode = QueueMode::Thread;
        graph.Join({source.Get(), sink.Get()});
    }

    void Connect() { ASSERT_EQ(S_OK, ConnectPins(&source->m_Pin, &sink->m_Pin)); }

    void TearDown() override
    {
        graph.Stop();
        source->m_Pin.Disconnect();
        sink->m_Pin.Disconnect();
    }

    HRESULT hr = S_OK;
    ComPtr<CTestSource> source{new CTestSource(&hr)};
    ComPtr<CTestSink> sink{new CTestSink(&hr)};
    CTestGraph graph;
};

std::vector<int> Sequence(int count)
{
    std::vector<int> values(count);
    std::iota(values.begin(), values.end(), 0);
    return values;
}
} // namespace

TEST_F(StreamingTest, SamplesPassTheQueueThreadInOrderAndEndOfStreamCompletes)
{
    Connect();
    ASSERT_EQ(S_OK, graph.Run());
    ASSERT_TRUE(source->m_Pin.m_pQueue->IsQueued());
    source->StartStreaming(500);
    ASSERT_TRUE(graph.WaitForEvent(EC_COMPLETE));
    EXPECT_EQ(Sequence(500), sink->Received());
    EXPECT_EQ(1, graph.CountEvents(EC_COMPLETE));
}

TEST_F(StreamingTest, TransformInTheMiddle)
{
    HRESULT hrTransform = S_OK;
    ComPtr<CTestTransform> transform(new CTestTransform(&hrTransform));
    graph.Join({source.Get(), transform.Get(), sink.Get()});
    source->m_Pin.m_Accepted = {kSubtypeB};
    ASSERT_EQ(S_OK, ConnectPins(&source->m_Pin, &transform->m_Input));
    ASSERT_EQ(S_OK, ConnectPins(&transform->m_Output, &sink->m_Pin));
    ASSERT_EQ(S_OK, graph.Run());
    source->StartStreaming(100);
    ASSERT_TRUE(graph.WaitForEvent(EC_COMPLETE));
    EXPECT_EQ(Sequence(100), sink->Received());

    graph.Stop();
    transform->m_Input.Disconnect();
    transform->m_Output.Disconnect();
}

TEST_F(StreamingTest, AutoModeQueuesOnlyWhenReceiveCanBlock)
{
    Connect();
    for (HRESULT hrCanBlock : {S_OK, S_FALSE})
    {
        sink->m_Pin.m_hrCanBlock = hrCanBlock;
        HRESULT hrQueue = S_OK;
        COutputQueue queue(&sink->m_Pin, &hrQueue, TRUE, FALSE);
        ASSERT_EQ(S_OK, hrQueue);
        EXPECT_EQ(hrCanBlock == S_OK, queue.IsQueued() != FALSE);
    }
}

TEST_F(StreamingTest, EndOfStreamWhilePausedCompletesWhenRunning)
{
    source->m_Pin.m_QueueMode = QueueMode::None;
    Connect();
    ASSERT_EQ(S_OK, graph.Pause());
    ASSERT_EQ(S_OK, source->m_Pin.DeliverEndOfStream());
    EXPECT_EQ(0, graph.CountEvents(EC_COMPLETE));
    ASSERT_EQ(S_OK, graph.Run());
    EXPECT_EQ(1, graph.CountEvents(EC_COMPLETE));
    // Pausing and running again reports the ended stream again, once.
    ASSERT_EQ(S_OK, graph.Pause());
    ASSERT_EQ(S_OK, graph.Run());
    EXPECT_EQ(2, graph.CountEvents(EC_COMPLETE));
}

TEST_F(StreamingTest, FlushDropsQueuedSamplesAndReleasesABlockedReceive)
{
    sink->m_Pin.m_bBlock = true;
    Connect();
    ASSERT_EQ(S_OK, graph.Run());
    ASSERT_EQ(S_OK, source->PushSample(1));
    ASSERT_EQ(S_OK, source->PushSample(2)); // queued behind the blocked one
    ASSERT_TRUE(sink->WaitUntilBlocked());

    source->m_Pin.DeliverBeginFlush();
    EXPECT_EQ(S_FALSE, source->PushSample(3));
    sink->m_Pin.m_bBlock = false;
    source->m_Pin.DeliverEndFlush();
    EXPECT_TRUE(source->m_Pin.m_pQueue->IsIdle());

    ASSERT_EQ(S_OK, source->PushSample(4));
    ASSERT_TRUE(sink->WaitForSamples(1));
    EXPECT_EQ(std::vector<int>{4}, sink->Received());
}

TEST_F(StreamingTest, StopReturnsWhileTheQueueBlocksDownstreamAndTheSourceWaitsForBuffers)
{
    sink->m_Pin.m_bBlock = true;
    Connect();
    ASSERT_EQ(S_OK, graph.Run());
    source->StartStreaming(1000);
    ASSERT_TRUE(sink->WaitUntilBlocked());

    EXPECT_EQ(S_OK, graph.Stop());
    EXPECT_TRUE(sink->Received().empty());

    // Every sample came back to the allocator: it can be re-sized.
    ALLOCATOR_PROPERTIES props{2, 64, 1, 0};
    EXPECT_EQ(S_OK, source->m_Pin.Allocator()->SetProperties(&props, &props));
}

TEST_F(StreamingTest, ReceiveRefusesWhileStoppedOrFlushing)
{
    source->m_Pin.m_QueueMode = QueueMode::None;
    Connect();
    ASSERT_EQ(S_OK, graph.Pause());
    IMediaSample* pSample = nullptr;
    ASSERT_EQ(S_OK, source->m_Pin.GetDeliveryBuffer(&pSample, nullptr, nullptr, 0));
    EXPECT_EQ(S_OK, sink->m_Pin.Receive(pSample));
    sink->m_Pin.BeginFlush();
    EXPECT_EQ(S_FALSE, sink->m_Pin.Receive(pSample));
    sink->m_Pin.EndFlush();
    ASSERT_EQ(S_OK, sink->Stop());
    EXPECT_EQ(VFW_E_WRONG_STATE, sink->m_Pin.Receive(pSample));
    pSample->Release();
}
