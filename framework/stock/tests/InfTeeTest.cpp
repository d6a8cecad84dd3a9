// The Infinite Pin Tee between a push source and sinks, without a graph.

#include "TestFilters.h"
#include "tee/InfTeeFilter.h"

#include <com/ComPtr.h>
#include <gtest/gtest.h>

namespace
{
const GUID kTestSubtype = {
    0x5a3c1e20, 0x1111, 0x4c4c, {0x9a, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07}};

CMediaType StreamType()
{
    CMediaType mt;
    mt.SetType(&MEDIATYPE_Stream);
    mt.SetSubtype(&kTestSubtype);
    return mt;
}

struct TeeGraph
{
    HRESULT hr = S_OK;
    CTestPushSource* pSource = new CTestPushSource(StreamType(), 1024, &hr);
    CInfTeeFilter* pTee = new CInfTeeFilter(nullptr, &hr);
    CTestSink* pSink1 = new CTestSink(&hr);
    CTestSink* pSink2 = new CTestSink(&hr);
    ComPtr<IBaseFilter> holders[4] = {pSource, pTee, pSink1, pSink2};

    ~TeeGraph()
    {
        StopAll();
        for (auto& holder : holders)
            DisconnectAll(holder.Get());
    }

    void PauseAll()
    {
        for (IBaseFilter* pFilter :
             {static_cast<IBaseFilter*>(pSink1), static_cast<IBaseFilter*>(pSink2),
              static_cast<IBaseFilter*>(pTee), static_cast<IBaseFilter*>(pSource)})
            ASSERT_EQ(S_OK, pFilter->Pause());
    }
    void StopAll()
    {
        for (IBaseFilter* pFilter :
             {static_cast<IBaseFilter*>(pSink1), static_cast<IBaseFilter*>(pSink2),
              static_cast<IBaseFilter*>(pTee), static_cast<IBaseFilter*>(pSource)})
            pFilter->Stop();
    }
};
} // namespace

TEST(InfTee, OutputsFollowTheInputAndOneIsAlwaysFree)
{
    TeeGraph g;
    ASSERT_EQ(S_OK, g.hr);
    EXPECT_EQ(2, g.pTee->GetPinCount());
    EXPECT_TRUE(FAILED(ConnectPins(g.pTee->OutputPin(0), g.pSink1->Pin())));

    ASSERT_EQ(S_OK, ConnectPins(g.pSource->Pin(), g.pTee->InputPin()));
    ASSERT_EQ(S_OK, ConnectPins(g.pTee->OutputPin(0), g.pSink1->Pin()));
    EXPECT_TRUE(g.pSink1->ConnectionType() == StreamType());
    EXPECT_EQ(3, g.pTee->GetPinCount());
    ASSERT_EQ(S_OK, ConnectPins(g.pTee->OutputPin(1), g.pSink2->Pin()));
    EXPECT_EQ(4, g.pTee->GetPinCount());
    EXPECT_FALSE(g.pTee->OutputPin(2)->IsConnected());

    PIN_INFO info{};
    ASSERT_EQ(S_OK, g.pTee->OutputPin(1)->QueryPinInfo(&info));
    info.pFilter->Release();
    EXPECT_STREQ(L"Output2", info.achName);
}

TEST(InfTee, EveryOutputGetsTheSameSampleReadOnly)
{
    TeeGraph g;
    ASSERT_EQ(S_OK, ConnectPins(g.pSource->Pin(), g.pTee->InputPin()));
    ASSERT_EQ(S_OK, ConnectPins(g.pTee->OutputPin(0), g.pSink1->Pin()));
    ASSERT_EQ(S_OK, ConnectPins(g.pTee->OutputPin(1), g.pSink2->Pin()));
    EXPECT_TRUE(g.pSink1->IsReadOnly());
    g.PauseAll();

    const uint8_t bytes[] = {1, 2, 3, 4, 5};
    const REFERENCE_TIME tStart = 1234;
    ASSERT_EQ(S_OK, g.pSource->Push(bytes, sizeof bytes, &tStart));
    ASSERT_EQ(S_OK, g.pSource->Push(bytes, 3));
    ASSERT_EQ(S_OK, g.pSource->PushEndOfStream());

    const auto samples1 = g.pSink1->Samples();
    const auto samples2 = g.pSink2->Samples();
    ASSERT_EQ(2u, samples1.size());
    ASSERT_EQ(2u, samples2.size());
    for (size_t i = 0; i < 2; ++i)
    {
        EXPECT_EQ(samples1[i].pSample, samples2[i].pSample);
        EXPECT_EQ(samples1[i].pBuffer, samples2[i].pBuffer);
    }
    EXPECT_TRUE(samples1[0].bHasTime);
    EXPECT_EQ(tStart, samples1[0].tStart);
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3, 4, 5, 1, 2, 3}), g.pSink2->Bytes());
    EXPECT_TRUE(g.pSink1->HasEnded());
    EXPECT_TRUE(g.pSink2->HasEnded());
    g.StopAll();
}

// An output whose peer refuses the stream gets no more samples while the other goes on; once
// both have refused, the refusal goes upstream.
TEST(InfTee, RefusedOutputsAreSkippedAndTheLastRefusalGoesUpstream)
{
    TeeGraph g;
    ASSERT_EQ(S_OK, ConnectPins(g.pSource->Pin(), g.pTee->InputPin()));
    ASSERT_EQ(S_OK, ConnectPins(g.pTee->OutputPin(0), g.pSink1->Pin()));
    ASSERT_EQ(S_OK, ConnectPins(g.pTee->OutputPin(1), g.pSink2->Pin()));
    const HRESULT hrDiskFull = HRESULT_FROM_WIN32(ERROR_DISK_FULL);
    g.pSink1->FailAfter(1, hrDiskFull);
    g.pSink2->FailAfter(3, hrDiskFull);
    g.PauseAll();

    const uint8_t bytes[] = {1, 2, 3};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(S_OK, g.pSource->Push(bytes, sizeof bytes)) << i;
    EXPECT_EQ(hrDiskFull, g.pSource->Push(bytes, sizeof bytes));
    EXPECT_EQ(hrDiskFull, g.pSource->Push(bytes, sizeof bytes));
    EXPECT_EQ(1u, g.pSink1->Samples().size());
    EXPECT_EQ(3u, g.pSink2->Samples().size());
    EXPECT_EQ(0, g.pSink1->OfferedAfterFailure());
    EXPECT_EQ(0, g.pSink2->OfferedAfterFailure());
    g.StopAll();
}
