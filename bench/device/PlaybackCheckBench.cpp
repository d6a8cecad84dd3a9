// Bytes per second through the playback pin's stream check (C3StreamMonitor), for
// packets of the sizes a conversion makes, fed in samples of the size given.

#include "C3StreamBuilder.h"
#include "C3StreamMonitor.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace
{
// About 30 MB: 1000 packets of 25 KB of video and two 3224-byte audio frames.
const std::vector<std::uint8_t>& Stream()
{
    static C3StreamBuilder stream = []
    {
        C3StreamBuilder builder;
        for (int i = 0; i < 1000; ++i)
            builder.Packet(25000, 2, 3200, i * 1001.0 / 30000.0);
        return builder;
    }();
    return stream.Bytes();
}

void CheckStream(benchmark::State& state)
{
    const std::vector<std::uint8_t>& bytes = Stream();
    const auto cbPiece = static_cast<std::size_t>(state.range(0));
    for (auto _ : state)
    {
        C3StreamMonitor monitor;
        for (std::size_t at = 0; at < bytes.size(); at += cbPiece)
            monitor.Feed(bytes.data() + at, std::min(cbPiece, bytes.size() - at));
        monitor.EndOfStream();
        benchmark::DoNotOptimize(monitor.Counts().packets);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes.size()));
}

// A stream that is no C3 stream at all: every byte is searched for a marker.
void SearchGarbage(benchmark::State& state)
{
    std::vector<std::uint8_t> bytes(Stream().size(), 0x88);
    for (auto _ : state)
    {
        C3StreamMonitor monitor;
        for (std::size_t at = 0; at < bytes.size(); at += 65536)
            monitor.Feed(bytes.data() + at, std::min<std::size_t>(65536, bytes.size() - at));
        benchmark::DoNotOptimize(monitor.Counts().violations);
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes.size()));
}
} // namespace

// Argument: bytes per sample (the async puller's and the muxer's sample sizes).
BENCHMARK(CheckStream)->Arg(65536)->Arg(614400)->Arg(1000);
BENCHMARK(SearchGarbage);
