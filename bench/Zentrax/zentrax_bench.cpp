// Throughput of the transformation filter's two paths, beside memcpy of the same bytes.
// Video: a 20 MB MPEG-2 elementary stream (five seconds of standard-definition test pattern
// made by ffmpeg at start-up, repeated) cut into C3 packets, or into time-stamped pictures,
// from inputs of 64 KB. Audio: 20 MB of PCM cut into own-format units at 29.97 frames per
// second (header, byte swap, drift correction), or into PCM units, from inputs of 100 ms.
#include "AudioCutter.h"
#include "FfmpegMedia.h"
#include "RingUnitStore.h"
#include "Scanner.h"
#include "VideoCutter.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace
{
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kStreamBytes = 20u << 20;
constexpr std::size_t kVideoInput = 64u << 10;
constexpr std::size_t kAudioInput = 19200;
constexpr std::size_t kRingBuffers = 16;
constexpr std::size_t kAudioBuffer = 4096;

Bytes Repeat(const Bytes& sample)
{
    Bytes stream;
    while (!sample.empty() && stream.size() < kStreamBytes)
        stream.insert(stream.end(), sample.begin(), sample.end());
    return stream;
}

// Empty when ffmpeg is missing.
const Bytes& VideoStream()
{
    static const Bytes s_stream = []
    {
        if (!FfmpegMedia::Available())
            return Bytes();
        const FfmpegMedia media;
        return Repeat(media.Mpeg2Video("25", 125, "720x576"));
    }();
    return s_stream;
}

const Bytes& PcmStream()
{
    static const Bytes s_stream = []
    {
        Bytes pcm(kStreamBytes);
        for (std::size_t i = 0; i < pcm.size(); ++i)
            pcm[i] = static_cast<std::uint8_t>(i * 31);
        return pcm;
    }();
    return s_stream;
}

void CutVideo(benchmark::State& state, VideoCutter::Format format)
{
    const Bytes& stream = VideoStream();
    if (stream.empty())
    {
        state.SkipWithError("ffmpeg is needed to make the sample stream");
        return;
    }
    RingUnitStore store(kRingBuffers, VideoCutter::kBufferSize);
    for (auto _ : state)
    {
        Scanner scanner;
        VideoCutter cutter(scanner);
        for (std::size_t nPos = 0; nPos < stream.size(); nPos += kVideoInput)
            cutter.Cut(stream.data() + nPos, std::min(kVideoInput, stream.size() - nPos), format,
                       store);
        cutter.FinishOpenUnit(format, store);
    }
    benchmark::DoNotOptimize(store.CompletedBytes());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * stream.size()));
}

void CutAudio(benchmark::State& state, AudioCutter::Format format)
{
    const Bytes& pcm = PcmStream();
    RingUnitStore store(kRingBuffers, kAudioBuffer);
    for (auto _ : state)
    {
        AudioCutter cutter;
        cutter.ChooseUnit(30000.0 / 1001.0, format);
        for (std::size_t nPos = 0; nPos < pcm.size(); nPos += kAudioInput)
            cutter.Cut(pcm.data() + nPos, std::min(kAudioInput, pcm.size() - nPos), store);
    }
    benchmark::DoNotOptimize(store.CompletedBytes());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pcm.size()));
}

void CopyBytes(benchmark::State& state, const Bytes& source)
{
    Bytes target(source.size());
    for (auto _ : state)
    {
        std::memcpy(target.data(), source.data(), source.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * source.size()));
}

void VideoPackets(benchmark::State& state)
{
    CutVideo(state, VideoCutter::Format::C3Packets);
}

void VideoPassThrough(benchmark::State& state)
{
    CutVideo(state, VideoCutter::Format::PassThrough);
}

void VideoMemcpy(benchmark::State& state)
{
    CopyBytes(state, VideoStream());
}

void AudioOwnUnits(benchmark::State& state)
{
    CutAudio(state, AudioCutter::Format::OwnUnits);
}

void AudioPcmUnits(benchmark::State& state)
{
    CutAudio(state, AudioCutter::Format::Pcm);
}

void AudioMemcpy(benchmark::State& state)
{
    CopyBytes(state, PcmStream());
}
} // namespace

BENCHMARK(VideoPackets)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(VideoPassThrough)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(VideoMemcpy)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(AudioOwnUnits)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(AudioPcmUnits)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(AudioMemcpy)->Unit(benchmark::kMillisecond)->MinTime(2.0);
