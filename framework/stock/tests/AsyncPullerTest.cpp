// The Async Puller between a pull source over bytes in memory and a recording sink.

#include "TestFilters.h"
#include "puller/AsyncPullerFilter.h"

#include <com/ComPtr.h>
#include <gtest/gtest.h>

#include <atomic>
#include <random>

namespace
{
std::vector<uint8_t> RandomBytes(size_t cb)
{
    std::mt19937 rng(7);
    std::vector<uint8_t> bytes(cb);
    for (uint8_t& b : bytes)
        b = uint8_t(rng());
    return bytes;
}

// source -> puller -> sink.
struct PullerGraph
{
    HRESULT hr = S_OK;
    CTestAsyncSource* pSource;
    CAsyncPullerFilter* pPuller = new CAsyncPullerFilter(nullptr, &hr);
    CTestSink* pSink = new CTestSink(&hr);
    ComPtr<IBaseFilter> holders[3];

    explicit PullerGraph(std::vector<uint8_t> bytes)
        : pSource(new CTestAsyncSource(std::move(bytes), &hr)), holders{pSource, pPuller, pSink}
    {
    }
    ~PullerGraph()
    {
        Stop();
        for (auto& holder : holders)
            DisconnectAll(holder.Get());
    }
    void Connect()
    {
        ASSERT_EQ(S_OK, ConnectPins(FindPin(pSource, PINDIR_OUTPUT), FindPin(pPuller, PINDIR_INPUT)));
        ASSERT_EQ(S_OK, ConnectPins(FindPin(pPuller, PINDIR_OUTPUT), pSink->Pin()));
    }
    // Downstream first, as the graph does.
    void Pause()
    {
        for (int i = 2; i >= 0; --i)
            ASSERT_EQ(S_OK, holders[i]->Pause());
    }
    void Stop()
    {
        for (int i = 2; i >= 0; --i)
            holders[i]->Stop();
    }
};
} // namespace

TEST(AsyncPuller, PushesTheWholeSourceInOrderWithItsType)
{
    const std::vector<uint8_t> bytes = RandomBytes(5 * CPullerOutputPin::kSampleBytes + 1234);
    PullerGraph graph(bytes);
    graph.Connect();
    EXPECT_EQ(*graph.pSink->ConnectionType().Subtype(), MEDIASUBTYPE_MPEG2_PROGRAM);

    graph.Pause();
    ASSERT_TRUE(graph.pSink->WaitForEndOfStream());
    EXPECT_EQ(graph.pSink->Bytes(), bytes);
    const std::vector<ReceivedSample> samples = graph.pSink->Samples();
    ASSERT_EQ(samples.size(), 6u);
    EXPECT_TRUE(samples.front().bDiscontinuity);
    EXPECT_FALSE(samples.back().bDiscontinuity);
}

TEST(AsyncPuller, ConnectsOnlyToAPullSource)
{
    HRESULT hr = S_OK;
    CMediaType type;
    type.SetType(&MEDIATYPE_Stream);
    ComPtr<IBaseFilter> push = new CTestPushSource(type, 1024, &hr);
    ComPtr<IBaseFilter> puller = new CAsyncPullerFilter(nullptr, &hr);
    EXPECT_EQ(VFW_E_NO_TRANSPORT,
              ConnectPins(FindPin(push.Get(), PINDIR_OUTPUT), FindPin(puller.Get(), PINDIR_INPUT)));
    // Without a source there is no type to offer.
    HRESULT hrSink = S_OK;
    ComPtr<IBaseFilter> sink = new CTestSink(&hrSink);
    EXPECT_TRUE(FAILED(ConnectPins(FindPin(puller.Get(), PINDIR_OUTPUT),
                                   FindPin(sink.Get(), PINDIR_INPUT))));
}

TEST(AsyncPullerThreaded, StopReturnsWhileDownstreamHoldsAndRunsAgain)
{
    const std::vector<uint8_t> bytes = RandomBytes(40 * CPullerOutputPin::kSampleBytes);
    PullerGraph graph(bytes);
    graph.Connect();
    std::atomic<bool> bHold{true};
    graph.pSink->SetGate(
        [&](const ReceivedSample&)
        {
            while (bHold)
                std::this_thread::yield();
        });
    for (int cycle = 0; cycle < 20; ++cycle)
    {
        bHold = cycle % 2 == 0;
        graph.Pause();
        std::this_thread::yield();
        // A stopping renderer releases a Receive it holds; the gate is let go by hand.
        graph.pSink->Stop();
        bHold = false;
        graph.Stop();
    }
    graph.pSink->SetGate({});
    graph.Pause();
    ASSERT_TRUE(graph.pSink->WaitForEndOfStream());
}
