// Throughput of CVideoStream::Read over a 50 MB MPEG-2 video elementary stream. The stream is
// made at start-up: ffmpeg encodes a few seconds of standard-definition test pattern, and the
// result is repeated (each copy opens with its own sequence header) up to 50 MB.
#include "c3stream/buffer_rw.h"
#include "c3stream/es_video.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kStreamBytes = 50u << 20;

Bytes EncodeSample()
{
    const fs::path file =
        fs::temp_directory_path() / ("es_video_bench_" + std::to_string(getpid()) + ".m2v");
    const std::string strCommand =
        "ffmpeg -v error -y -f lavfi -i testsrc=size=720x576:rate=25 -frames:v 125 "
        "-c:v mpeg2video -b:v 8M -maxrate 8M -bufsize 2M -g 12 -bf 2 -flags +bitexact "
        "-f mpeg2video " +
        file.string() + " >/dev/null 2>&1";
    Bytes sample;
    if (std::system(strCommand.c_str()) == 0)
    {
        std::ifstream input(file, std::ios::binary);
        sample.assign(std::istreambuf_iterator<char>(input), std::istreambuf_iterator<char>());
    }
    fs::remove(file);
    return sample;
}

// Empty when ffmpeg is missing.
const Bytes& SourceStream()
{
    static const Bytes s_stream = []
    {
        const Bytes sample = EncodeSample();
        Bytes stream;
        if (sample.empty())
            return stream;
        stream.reserve(kStreamBytes + sample.size() + 4);
        while (stream.size() < kStreamBytes)
            stream.insert(stream.end(), sample.begin(), sample.end());
        // The last picture needs a start code after it.
        stream.insert(stream.end(), {0x00, 0x00, 0x01, 0xB7});
        return stream;
    }();
    return s_stream;
}

void VideoStreamRead(benchmark::State& state)
{
    const Bytes& source = SourceStream();
    if (source.empty())
    {
        state.SkipWithError("ffmpeg is needed to make the sample stream");
        return;
    }
    for (auto _ : state)
    {
        CVideoStream stream;
        CBufferReader reader(source.data(), source.size());
        stream.Read(reader);
        benchmark::DoNotOptimize(stream.Found());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * source.size()));
}

void VideoStreamReadAndWrite(benchmark::State& state)
{
    const Bytes& source = SourceStream();
    if (source.empty())
    {
        state.SkipWithError("ffmpeg is needed to make the sample stream");
        return;
    }
    Bytes out(source.size());
    for (auto _ : state)
    {
        CVideoStream stream;
        CBufferReader reader(source.data(), source.size());
        stream.Read(reader);
        CBufferWriter writer(out.data(), out.size());
        stream.Write(writer);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * source.size()));
}
} // namespace

BENCHMARK(VideoStreamRead)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(VideoStreamReadAndWrite)->Unit(benchmark::kMillisecond)->MinTime(2.0);
