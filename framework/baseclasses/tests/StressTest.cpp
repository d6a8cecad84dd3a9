// Many Run/Stop cycles of a push graph with samples in flight.

#include "TestFilters.h"
#include "TestGraph.h"

#include <com/ComPtr.h>
#include <gtest/gtest.h>

TEST(StressTest, ThousandRunStopCyclesWithSamplesInFlight)
{
    HRESULT hr = S_OK;
    ComPtr<CTestSource> source(new CTestSource(&hr));
    ComPtr<CTestTransform> transform(new CTestTransform(&hr));
    ComPtr<CTestSink> sink(new CTestSink(&hr));
    source->m_Pin.m_QueueMode = QueueMode::Thread;
    source->m_Pin.m_Accepted = {kSubtypeB};
    sink->m_Pin.m_hrCanBlock = S_OK;
    CTestGraph graph;
    graph.Join({source.Get(), transform.Get(), sink.Get()});
    ASSERT_EQ(S_OK, ConnectPins(&source->m_Pin, &transform->m_Input));
    ASSERT_EQ(S_OK, ConnectPins(&transform->m_Output, &sink->m_Pin));

    for (int cycle = 0; cycle < 1000; ++cycle)
    {
        ASSERT_EQ(S_OK, graph.Run());
        source->StartStreaming(20);
        if (cycle % 2)
            sink->WaitForSamples(1);
        ASSERT_EQ(S_OK, graph.Stop());
    }
    EXPECT_GT(sink->Received().size(), 0u);

    // No sample is left out of its allocator.
    ALLOCATOR_PROPERTIES props{2, 64, 1, 0};
    EXPECT_EQ(S_OK, source->m_Pin.Allocator()->SetProperties(&props, &props));
    source->m_Pin.Disconnect();
    transform->m_Input.Disconnect();
    transform->m_Output.Disconnect();
    sink->m_Pin.Disconnect();
}
