#include "GraphFixture.h"

using namespace graphtest;

namespace
{

class CaptureGraphBuilderTest : public GraphFixture
{
protected:
    void SetUp() override
    {
        GraphFixture::SetUp();
        ASSERT_EQ(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&m_builder)),
                  S_OK);
    }
    void TearDown() override
    {
        m_builder.Reset();
        GraphFixture::TearDown();
    }

    ComPtr<ICaptureGraphBuilder2> m_builder;
};

} // namespace

TEST_F(CaptureGraphBuilderTest, TakesOneGraph)
{
    ASSERT_EQ(m_builder->SetFiltergraph(m_graph.Get()), S_OK);
    EXPECT_EQ(m_builder->SetFiltergraph(m_graph.Get()), E_UNEXPECTED);
    ComPtr<IGraphBuilder> graph;
    ASSERT_EQ(m_builder->GetFiltergraph(&graph), S_OK);
    EXPECT_EQ(graph, m_graph);
}

TEST_F(CaptureGraphBuilderTest, FindsInterfacesAndPinsAroundAFilter)
{
    // device -> tee -> writer; only the device answers IBaseFilter-independent
    // queries we can tell apart: IReferenceClock is never offered, IPin always is.
    ComPtr<TestFilter> device = Add("device", 0, 2);
    ComPtr<TestFilter> tee = Add("tee", 1, 1);
    ComPtr<TestFilter> writer = Add("writer", 1, 0);
    Join(device.Get(), 0, tee.Get(), 0);
    Join(tee.Get(), 0, writer.Get(), 0);

    ComPtr<IBaseFilter> found;
    ASSERT_EQ(m_builder->FindInterface(&LOOK_DOWNSTREAM_ONLY, nullptr, device.Get(),
                                       IID_PPV_ARGS(&found)),
              S_OK);
    EXPECT_EQ(found.Get(), static_cast<IBaseFilter*>(tee.Get())); // the nearest downstream filter
    ASSERT_EQ(
        m_builder->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, writer.Get(), IID_PPV_ARGS(&found)),
        S_OK);
    EXPECT_EQ(found.Get(), static_cast<IBaseFilter*>(tee.Get()));
    EXPECT_EQ(
        m_builder->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, device.Get(), IID_PPV_ARGS(&found)),
        E_NOINTERFACE);
    ASSERT_EQ(m_builder->FindInterface(&PIN_CATEGORY_CAPTURE, nullptr, writer.Get(),
                                       IID_PPV_ARGS(&found)),
              S_OK);
    EXPECT_EQ(found.Get(), static_cast<IBaseFilter*>(writer.Get())); // the search starts there
    ComPtr<IReferenceClock> clock;
    EXPECT_EQ(m_builder->FindInterface(nullptr, nullptr, tee.Get(), IID_PPV_ARGS(&clock)),
              E_NOINTERFACE);
    EXPECT_EQ(m_builder->FindInterface(&PIN_CATEGORY_CAPTURE, nullptr, device.Get(),
                                       IID_PPV_ARGS(&clock)),
              E_NOINTERFACE);

    ComPtr<IPin> pin;
    ASSERT_EQ(m_builder->FindPin(device.Get(), PINDIR_OUTPUT, nullptr, nullptr, TRUE, 0, &pin),
              S_OK);
    EXPECT_EQ(pin.Get(), device->Output(1)); // the first unconnected output
    EXPECT_EQ(m_builder->FindPin(device.Get(), PINDIR_OUTPUT, nullptr, nullptr, FALSE, 2, &pin),
              E_FAIL);
}
