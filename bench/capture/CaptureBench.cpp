// Frames per second the capture source encodes, and the processor time it takes per
// second of video: the device must keep up with real time on well under half a core.

#include "CaptureSource.h"

#include <benchmark/benchmark.h>
#include <ctime>
#include <sys/resource.h>

namespace
{
void EncodeFrames(benchmark::State& state, const CaptureSettings& settings)
{
    std::size_t bytes = 0;
    auto sink = [&](const std::uint8_t*, std::size_t cbData)
    {
        bytes += cbData;
        return true;
    };
    std::string error;
    std::unique_ptr<CaptureSource> pSource = CaptureSource::Create(settings, sink, &error);
    if (!pSource)
    {
        state.SkipWithError(error.c_str());
        return;
    }
    const std::clock_t cpuStart = std::clock();
    for (auto _ : state)
        if (!pSource->EncodeNextFrame(&error))
        {
            state.SkipWithError(error.c_str());
            return;
        }
    const double cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const double videoSeconds = double(pSource->FramesEncoded()) * pSource->FrameRateDenominator() /
                                pSource->FrameRateNumerator();
    state.SetItemsProcessed(pSource->FramesEncoded());
    state.counters["cpu_per_video_s"] = cpuSeconds / videoSeconds;
    state.counters["Mbit_per_video_s"] = double(bytes) * 8 / 1e6 / videoSeconds;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MiB"] = double(usage.ru_maxrss) / 1024; // the process's so far
}

void Defaults(benchmark::State& state)
{
    EncodeFrames(state, CaptureSettings());
}

void Pal(benchmark::State& state)
{
    CaptureSettings settings;
    settings.standard = 16;
    settings.height = 576;
    EncodeFrames(state, settings);
}

void Mpeg1(benchmark::State& state)
{
    CaptureSettings settings;
    settings.mpeg1 = true;
    EncodeFrames(state, settings);
}

void AdjustedSVideo(benchmark::State& state)
{
    CaptureSettings settings;
    settings.input = 1;
    settings.brightness = 100;
    settings.hue = 20;
    settings.sharpness = 8;
    EncodeFrames(state, settings);
}
} // namespace

// Items per second are frames per second; cpu_per_video_s is the share of one core the
// device needs to run in real time. Defaults runs 30 s of video, FiveMinutes 300 s: the
// same peak memory shows that it does not grow with the duration.
BENCHMARK(Defaults)->Iterations(900)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Defaults)
    ->Name("FiveMinutes")
    ->Iterations(8991)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(Pal)->Iterations(750)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Mpeg1)->Iterations(900)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(AdjustedSVideo)->Iterations(900)->UseRealTime()->Unit(benchmark::kMillisecond);
