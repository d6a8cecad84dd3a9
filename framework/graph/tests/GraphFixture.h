#pragma once
// Common set-up of the graph tests: COM initialised on the test thread, a
// temporary registry, and a filter graph created through CoCreateInstance.

#include "TemporaryRegistry.h"
#include "TestFilters.h"

#include <gtest/gtest.h>

namespace graphtest
{

class GraphFixture : public ::testing::Test
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
    }

    void TearDown() override
    {
        m_events.Reset();
        m_control.Reset();
        m_graph.Reset();
        CoUninitialize();
    }

    ComPtr<TestFilter> Add(const std::string& name, int inputs, int outputs)
    {
        ComPtr<TestFilter> filter = MakeComObject<TestFilter>(name, inputs, outputs, &m_log);
        std::wstring wide(name.begin(), name.end());
        EXPECT_TRUE(SUCCEEDED(m_graph->AddFilter(filter.Get(), wide.c_str())));
        return filter;
    }

    void Join(TestFilter* upstream, int output, TestFilter* downstream, int input)
    {
        ASSERT_EQ(
            m_graph->ConnectDirect(upstream->Output(output), downstream->Input(input), nullptr),
            S_OK);
    }

    TemporaryRegistry m_registry;
    CallLog m_log;
    ComPtr<IGraphBuilder> m_graph;
    ComPtr<IMediaControl> m_control;
    ComPtr<IMediaEventEx> m_events;
};

} // namespace graphtest
