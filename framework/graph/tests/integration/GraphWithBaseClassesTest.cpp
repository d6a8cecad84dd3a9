// The filter graph manager running push graphs of base-class filters: state
// changes, end of stream reaching the application as EC_COMPLETE, and many
// Run/Stop cycles with samples in flight.

#include "TemporaryRegistry.h"
#include "TestFilters.h"

#include <gtest/gtest.h>

namespace
{

class GraphWithBaseClassesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&m_graph)),
                  S_OK);
        ASSERT_EQ(m_graph.As(&m_control), S_OK);
        ASSERT_EQ(m_graph.As(&m_events), S_OK);
        m_source->m_Pin.m_QueueMode = QueueMode::Thread;
        m_sink->m_Pin.m_hrCanBlock = S_OK;
        ASSERT_EQ(m_graph->AddFilter(m_source.Get(), L"Source"), S_OK);
        ASSERT_EQ(m_graph->AddFilter(m_sink.Get(), L"Sink"), S_OK);
        ASSERT_EQ(m_graph->ConnectDirect(&m_source->m_Pin, &m_sink->m_Pin, nullptr), S_OK);
    }

    void TearDown() override
    {
        m_events.Reset();
        m_control.Reset();
        m_graph.Reset(); // stops, disconnects and releases the filters
        CoUninitialize();
    }

    TemporaryRegistry m_registry;
    HRESULT m_hr = S_OK;
    ComPtr<CTestSource> m_source{new CTestSource(&m_hr)};
    ComPtr<CTestSink> m_sink{new CTestSink(&m_hr)};
    ComPtr<IGraphBuilder> m_graph;
    ComPtr<IMediaControl> m_control;
    ComPtr<IMediaEventEx> m_events;
};

} // namespace

TEST_F(GraphWithBaseClassesTest, EndOfStreamReachesTheApplication)
{
    ASSERT_EQ(m_control->Run(), S_OK);
    m_source->StartStreaming(50);
    LONG code = 0;
    ASSERT_EQ(m_events->WaitForCompletion(LONG(INFINITE), &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    EXPECT_EQ(m_sink->Received().size(), 50u);
    ASSERT_EQ(m_control->Stop(), S_OK);
    EXPECT_EQ(m_events->WaitForCompletion(LONG(INFINITE), &code), VFW_E_WRONG_STATE);
}

TEST_F(GraphWithBaseClassesTest, RunStopCyclesWithSamplesInFlight)
{
    for (int cycle = 0; cycle < 300; ++cycle)
    {
        ASSERT_EQ(m_control->Run(), S_OK);
        m_source->StartStreaming(20);
        if (cycle % 3 == 0)
            m_sink->WaitForSamples(1);
        ASSERT_EQ(m_control->Stop(), S_OK);
        LONG code = 0;
        LONG_PTR p1 = 0;
        LONG_PTR p2 = 0;
        while (m_events->GetEvent(&code, &p1, &p2, 0) == S_OK)
        {
            EXPECT_EQ(code, EC_COMPLETE);
            m_events->FreeEventParams(code, p1, p2);
        }
    }
    EXPECT_GT(m_sink->Received().size(), 0u);
}
