#include "OutputPin.h"
#include "MuxerTestGraph.h"
#include "OstrelMediaTypesUUIDS.h"

#include <gtest/gtest.h>

namespace
{
struct LoneMuxer
{
    LoneMuxer()
    {
        HRESULT hr = S_OK;
        pMuxer = new OstrelMuxerFilter(nullptr, &hr);
        EXPECT_EQ(hr, S_OK);
        pOutput = static_cast<OutputPin*>(pMuxer->GetPin(2));
    }
    ComPtr<OstrelMuxerFilter> pMuxer;
    OutputPin* pOutput = nullptr;
};

TEST(MuxerOutputPin, OffersOnlyTheC3StreamTypeWithItsFormatByte)
{
    LoneMuxer muxer;
    CMediaType type;
    ASSERT_EQ(muxer.pOutput->GetMediaType(0, &type), S_OK);
    EXPECT_EQ(*type.Type(), MEDIATYPE_Stream);
    EXPECT_EQ(*type.Subtype(), MEDIASUBTYPE_C3Stream);
    EXPECT_EQ(*type.FormatType(), FORMAT_C3Stream);
    ASSERT_EQ(type.FormatLength(), 1u);
    EXPECT_EQ(type.Format()[0], 0x41) << "no video parsed yet";
    EXPECT_EQ(muxer.pOutput->CheckMediaType(&type), S_OK);

    CMediaType other;
    EXPECT_EQ(muxer.pOutput->GetMediaType(1, &other), S_FALSE);
    EXPECT_EQ(muxer.pOutput->GetMediaType(-1, &other), S_FALSE);
    type.SetSubtype(&MEDIASUBTYPE_OstrelVideo);
    EXPECT_EQ(muxer.pOutput->CheckMediaType(&type), S_FALSE);
}

TEST(MuxerOutputPin, AsksForAtLeastTwoBuffersOf614400Bytes)
{
    LoneMuxer muxer;
    ComPtr<IMemAllocator> pAllocator;
    ASSERT_EQ(CreateMemoryAllocator(&pAllocator), S_OK);
    ALLOCATOR_PROPERTIES request{1, 4096, 1, 0};
    ASSERT_EQ(muxer.pOutput->DecideBufferSize(pAllocator.Get(), &request), S_OK);
    EXPECT_GE(request.cBuffers, 2);
    EXPECT_GE(request.cbBuffer, 614400);
}

TEST(MuxerOutputPin, ConnectsOnlyOnceVideoInIsConnected)
{
    MuxerTestGraph::Setup setup;
    setup.bConnectVideo = false;
    MuxerTestGraph graph(setup);
    EXPECT_TRUE(FAILED(graph.ConnectResult()));
    IPin* pConnected = nullptr;
    EXPECT_EQ(graph.Muxer()->GetPin(2)->ConnectedTo(&pConnected), VFW_E_NOT_CONNECTED);
}
} // namespace
