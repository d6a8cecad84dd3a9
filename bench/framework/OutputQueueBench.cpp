// Samples per second from a source through an output queue to a sink, with
// the queue delivering on its own thread and on the caller's thread.

#include "TestFilters.h"
#include "TestGraph.h"

#include <benchmark/benchmark.h>
#include <com/ComPtr.h>

namespace
{
void PushThroughQueue(benchmark::State& state, QueueMode mode)
{
    HRESULT hr = S_OK;
    ComPtr<CTestSource> source(new CTestSource(&hr));
    ComPtr<CTestSink> sink(new CTestSink(&hr));
    source->m_Pin.m_QueueMode = mode;
    source->m_Pin.m_Want = {static_cast<LONG>(state.range(0)), 4096, 1, 0};
    CTestGraph graph;
    graph.Join({source.Get(), sink.Get()});
    if (ConnectPins(&source->m_Pin, &sink->m_Pin) != S_OK || graph.Run() != S_OK)
    {
        state.SkipWithError("graph did not start");
        return;
    }

    int nSequence = 0;
    for (auto _ : state)
        source->PushSample(nSequence++);
    sink->WaitForSamples(nSequence);
    state.SetItemsProcessed(nSequence);

    graph.Stop();
    source->m_Pin.Disconnect();
    sink->m_Pin.Disconnect();
}

void OwnThread(benchmark::State& state)
{
    PushThroughQueue(state, QueueMode::Thread);
}
void CallerThread(benchmark::State& state)
{
    PushThroughQueue(state, QueueMode::None);
}
} // namespace

// Argument: buffers in the allocator.
BENCHMARK(OwnThread)->Arg(2)->Arg(10)->UseRealTime();
BENCHMARK(CallerThread)->Arg(2)->UseRealTime();
