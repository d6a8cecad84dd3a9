// Throughput of the muxer: MB/s of C3 stream produced from pre-built input samples that
// two source threads deliver, beside memcpy of the same bytes into output-sized buffers.

#include "MuxerTestGraph.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>

namespace
{
constexpr uint32_t kPackets = 64; // distinct samples each source has pre-built
constexpr int kRounds = 40;       // times each source delivers its samples
constexpr uint32_t kVideoBytes = 30000;
constexpr std::size_t kOutputBuffer = 614400;

void BM_MuxTwoFeedingThreads(benchmark::State& state)
{
    const auto nAudioPerVideo = static_cast<uint32_t>(state.range(0));
    int64_t cbProduced = 0;
    for (auto _ : state)
    {
        MuxerTestGraph::Setup setup;
        setup.input = MakeMuxInput(kPackets, kVideoBytes, nAudioPerVideo);
        setup.nRounds = kRounds;
        setup.bPrebuilt = true;
        setup.sink.bKeepBytes = false;
        MuxerTestGraph graph(std::move(setup));
        const auto start = std::chrono::steady_clock::now();
        graph.Run();
        graph.JoinSources();
        if (!graph.Sink()->WaitForEndOfStream(1))
            state.SkipWithError("the stream did not end");
        const auto stop = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
        cbProduced += graph.Sink()->Snapshot().cbTotal;
        graph.Stop();
    }
    state.SetBytesProcessed(cbProduced);
}
BENCHMARK(BM_MuxTwoFeedingThreads)->Arg(2)->Arg(4)->UseManualTime()->Unit(benchmark::kMillisecond);

// The same bytes copied once from the same pre-built payloads into output buffers.
void BM_MemcpySameBytes(benchmark::State& state)
{
    const auto nAudioPerVideo = static_cast<uint32_t>(state.range(0));
    const MuxInput input = MakeMuxInput(kPackets, kVideoBytes, nAudioPerVideo);
    std::vector<uint8_t> output(kOutputBuffer);
    int64_t cbCopied = 0;
    for (auto _ : state)
    {
        std::size_t used = 0;
        auto copy = [&](const Bytes& payload)
        {
            if (used + payload.size() > output.size())
                used = 0;
            std::memcpy(output.data() + used, payload.data(), payload.size());
            used += payload.size();
            cbCopied += int64_t(payload.size());
        };
        for (int round = 0; round < kRounds; ++round)
            for (uint32_t k = 0; k < kPackets; ++k)
            {
                copy(input.video[k]);
                for (uint32_t u = 0; u < nAudioPerVideo; ++u)
                    copy(input.audio[k * nAudioPerVideo + u]);
            }
        benchmark::DoNotOptimize(output.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(cbCopied);
}
BENCHMARK(BM_MemcpySameBytes)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);
} // namespace
