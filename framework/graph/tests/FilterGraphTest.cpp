#include "GraphFixture.h"

#include <algorithm>

using namespace graphtest;

namespace
{

DEFINE_GUID(CLSID_NamedTestFilter, 0x2c0f5a41, 0x7d11, 0x4c3e, 0x8f, 0x52, 0x1a, 0x9b, 0x60, 0x3d,
            0xe4, 0x77);

class FilterGraphTest : public GraphFixture
{
};

/// Position of an entry in the log (the log's size when absent).
std::size_t IndexOf(const std::vector<std::string>& log, const std::string& entry)
{
    return std::size_t(std::find(log.begin(), log.end(), entry) - log.begin());
}

} // namespace

TEST_F(FilterGraphTest, NamesAreMadeUniqueAndFound)
{
    ComPtr<TestFilter> first = MakeComObject<TestFilter>("a", 0, 1);
    ComPtr<TestFilter> second = MakeComObject<TestFilter>("b", 0, 1);
    ComPtr<TestFilter> third = MakeComObject<TestFilter>("c", 0, 1);
    EXPECT_EQ(m_graph->AddFilter(first.Get(), L"Infinite Tee"), S_OK);
    EXPECT_EQ(m_graph->AddFilter(second.Get(), L"Infinite Tee"), VFW_S_DUPLICATE_NAME);
    EXPECT_EQ(m_graph->AddFilter(third.Get(), L"Infinite Tee"), VFW_S_DUPLICATE_NAME);
    EXPECT_EQ(second->m_graphName, L"Infinite Tee 0001");
    EXPECT_EQ(third->m_graphName, L"Infinite Tee 0002");
    EXPECT_EQ(second->m_graph, static_cast<IFilterGraph*>(m_graph.Get()));
    EXPECT_EQ(m_graph->AddFilter(first.Get(), L"Again"), E_INVALIDARG);

    ComPtr<IBaseFilter> found;
    ASSERT_EQ(m_graph->FindFilterByName(L"Infinite Tee 0001", &found), S_OK);
    EXPECT_EQ(found.Get(), static_cast<IBaseFilter*>(second.Get()));
    EXPECT_EQ(m_graph->FindFilterByName(L"infinite tee", &found), VFW_E_NOT_FOUND);

    // Removing frees the name for the next filter.
    EXPECT_EQ(m_graph->RemoveFilter(first.Get()), S_OK);
    EXPECT_EQ(first->m_graph, nullptr);
    EXPECT_EQ(m_graph->RemoveFilter(first.Get()), VFW_E_NOT_FOUND);
    EXPECT_EQ(m_graph->AddFilter(first.Get(), L"Infinite Tee"), S_OK);

    ComPtr<IEnumFilters> filters;
    ASSERT_EQ(m_graph->EnumFilters(&filters), S_OK);
    IBaseFilter* fetched[4] = {};
    ULONG count = 0;
    EXPECT_EQ(filters->Next(4, fetched, &count), S_FALSE);
    EXPECT_EQ(count, 3u);
    for (ULONG i = 0; i < count; ++i)
        fetched[i]->Release();
}

TEST_F(FilterGraphTest, UnnamedFilterTakesItsRegisteredClassName)
{
    std::wstring key = L"CLSID\\" + GuidToString(CLSID_NamedTestFilter);
    ASSERT_EQ(RegWriteString(HKEY_CLASSES_ROOT, key.c_str(), nullptr, L"Orvastation Capture"),
              ERROR_SUCCESS);
    ComPtr<TestFilter> device = MakeComObject<TestFilter>("device", 1, 1);
    device->m_classId = CLSID_NamedTestFilter;
    ComPtr<TestFilter> anonymous = MakeComObject<TestFilter>("anonymous", 0, 1);

    EXPECT_EQ(m_graph->AddFilter(device.Get(), nullptr), S_OK);
    EXPECT_EQ(device->m_graphName, L"Orvastation Capture");
    EXPECT_EQ(m_graph->AddFilter(anonymous.Get(), L""), S_OK);
    EXPECT_FALSE(anonymous->m_graphName.empty());
}

TEST_F(FilterGraphTest, ConnectionsAreCheckedAndRemovedWithTheFilter)
{
    ComPtr<TestFilter> source = Add("source", 0, 2);
    ComPtr<TestFilter> sink = Add("sink", 1, 1);
    ComPtr<TestFilter> outsider = MakeComObject<TestFilter>("outsider", 1, 0);

    EXPECT_EQ(m_graph->ConnectDirect(sink->Input(), source->Output(), nullptr),
              VFW_E_INVALID_DIRECTION);
    EXPECT_EQ(m_graph->ConnectDirect(source->Output(), outsider->Input(), nullptr),
              VFW_E_NOT_IN_GRAPH);
    ASSERT_EQ(m_graph->Connect(source->Output(0), sink->Input()), S_OK);
    EXPECT_EQ(m_graph->ConnectDirect(source->Output(1), sink->Input(), nullptr),
              VFW_E_ALREADY_CONNECTED);

    // sink -> tee -> loop, and loop back into sink would close a circle.
    ComPtr<TestFilter> tee = Add("tee", 1, 1);
    Join(sink.Get(), 0, tee.Get(), 0);
    ComPtr<TestFilter> loopBack = Add("loop", 1, 1);
    Join(tee.Get(), 0, loopBack.Get(), 0);
    EXPECT_EQ(m_graph->ConnectDirect(loopBack->Output(), sink->Input(), nullptr),
              VFW_E_CIRCULAR_GRAPH);

    ASSERT_EQ(m_control->Run(), S_OK);
    EXPECT_EQ(m_graph->ConnectDirect(source->Output(1), outsider->Input(), nullptr),
              VFW_E_NOT_IN_GRAPH);
    EXPECT_EQ(m_graph->Disconnect(sink->Input()), VFW_E_NOT_STOPPED);
    ASSERT_EQ(m_control->Stop(), S_OK);

    ASSERT_EQ(m_graph->RemoveFilter(sink.Get()), S_OK);
    ComPtr<IPin> peer;
    EXPECT_EQ(source->Output(0)->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);
    EXPECT_EQ(tee->Input()->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);
}

TEST_F(FilterGraphTest, StateChangesReachDownstreamFiltersFirst)
{
    // source -> tee -> writer, and tee -> renderer; filters added upstream first.
    ComPtr<TestFilter> source = Add("source", 0, 1);
    ComPtr<TestFilter> tee = Add("tee", 1, 2);
    ComPtr<TestFilter> writer = Add("writer", 1, 0);
    ComPtr<TestFilter> renderer = Add("renderer", 1, 0);
    Join(source.Get(), 0, tee.Get(), 0);
    Join(tee.Get(), 0, writer.Get(), 0);
    Join(tee.Get(), 1, renderer.Get(), 0);

    ASSERT_EQ(m_control->Run(), S_OK);
    std::vector<std::string> log = m_log.Entries();
    for (const char* call : {":Pause", ":Run"})
    {
        SCOPED_TRACE(call);
        EXPECT_LT(IndexOf(log, std::string("writer") + call),
                  IndexOf(log, std::string("tee") + call));
        EXPECT_LT(IndexOf(log, std::string("renderer") + call),
                  IndexOf(log, std::string("tee") + call));
        EXPECT_LT(IndexOf(log, std::string("tee") + call),
                  IndexOf(log, std::string("source") + call));
    }
    EXPECT_LT(IndexOf(log, "source:Pause"), IndexOf(log, "writer:Run")); // paused before running

    // One clock for all, and one start time a little ahead of the clock.
    ASSERT_TRUE(source->m_clock);
    EXPECT_EQ(source->m_clock, renderer->m_clock);
    EXPECT_EQ(source->m_runStart, writer->m_runStart);
    EXPECT_GT(source->m_runStart, 0);

    OAFilterState state = -1;
    EXPECT_EQ(m_control->GetState(0, &state), S_OK);
    EXPECT_EQ(state, State_Running);

    m_log.Clear();
    ASSERT_EQ(m_control->Stop(), S_OK);
    log = m_log.Entries();
    EXPECT_LT(IndexOf(log, "renderer:Pause"), IndexOf(log, "source:Pause"));
    EXPECT_LT(IndexOf(log, "source:Pause"), IndexOf(log, "renderer:Stop"));
    EXPECT_LT(IndexOf(log, "writer:Stop"), IndexOf(log, "source:Stop"));
    EXPECT_EQ(source->m_state, State_Stopped);
}

TEST_F(FilterGraphTest, FailedPauseLeavesEveryFilterStopped)
{
    ComPtr<TestFilter> source = Add("source", 0, 1);
    ComPtr<TestFilter> sink = Add("sink", 1, 0);
    Join(source.Get(), 0, sink.Get(), 0);
    source->m_pauseResult = E_OUTOFMEMORY;

    EXPECT_EQ(m_control->Run(), E_OUTOFMEMORY);
    EXPECT_EQ(sink->m_state, State_Stopped);
    OAFilterState state = -1;
    m_control->GetState(0, &state);
    EXPECT_EQ(state, State_Stopped);
}

TEST_F(FilterGraphTest, PauseAfterRunKeepsStreamTime)
{
    ComPtr<TestFilter> source = Add("source", 0, 1);
    ASSERT_EQ(m_control->Run(), S_OK);
    REFERENCE_TIME firstStart = source->m_runStart;
    ASSERT_EQ(m_control->Pause(), S_OK);
    ASSERT_EQ(m_control->Run(), S_OK);
    // Resuming moves stream time 0 later by the time spent paused (never earlier).
    EXPECT_GE(source->m_runStart, firstStart);
}

TEST(FilterGraphObject, AnswersItsInterfacesWithOneIdentity)
{
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    {
        ComPtr<IUnknown> graph;
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&graph)),
                  S_OK);
        ComPtr<IFilterGraph> filterGraph;
        ComPtr<IMediaEvent> event;
        ComPtr<IMediaSeeking> seeking;
        ComPtr<IMediaPosition> position;
        EXPECT_EQ(graph.As(&filterGraph), S_OK);
        EXPECT_EQ(graph.As(&event), S_OK);
        EXPECT_EQ(graph.As(&seeking), S_OK);
        EXPECT_EQ(graph.As(&position), S_OK);
        ComPtr<IUnknown> back;
        ASSERT_EQ(event.As(&back), S_OK);
        EXPECT_EQ(back, graph);
    }
    CoUninitialize();
}
