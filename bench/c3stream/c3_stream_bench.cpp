// Throughput of reading and writing a C3 stream held in memory, beside a plain copy of the same
// bytes: the library keeps pointers into the buffer, so a read should cost little per byte and
// a write little more than the copy.
#include "c3stream/c3stream_headers.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace
{
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kStreamBytes = 64u << 20;
constexpr std::uint32_t kAudioLength = 2 * 3224;

// About 64 MB of packets with video payloads around 20 KB.
const Bytes& SourceStream()
{
    static const Bytes s_stream = []
    {
        Bytes stream(kStreamBytes);
        CBufferWriter writer(stream.data(), stream.size());
        std::uint64_t cbPrevious = 0;
        for (std::uint32_t i = 0; writer.Remaining() > kC3HeaderLength + 24000 + kAudioLength; ++i)
        {
            CC3Header header;
            header.m_cbHeaderLength = kC3HeaderLength;
            header.m_cbVideoLength = 16000 + (i * 7919) % 8000;
            header.m_cbAudioLength = kAudioLength;
            header.m_nFlags = 1 + i % 3;
            header.m_cbPreviousLength = static_cast<std::uint32_t>(cbPrevious);
            header.m_timestamp.m_dSeconds = i * 1001.0 / 30000;
            header.Write(writer);
            writer.Fill(static_cast<std::uint8_t>(i), header.m_cbVideoLength + kAudioLength);
            cbPrevious = header.TotalLength();
        }
        stream.resize(writer.Position() - writer.Begin());
        return stream;
    }();
    return s_stream;
}

CC3Stream ReadStream(const Bytes& source)
{
    CC3Stream stream;
    CBufferReader reader(source.data(), source.size());
    stream.Read(reader);
    return stream;
}

// Runs fnPass once per iteration and reports the stream's bytes per second.
template <class TPass> void Measure(benchmark::State& state, TPass fnPass)
{
    const Bytes& source = SourceStream();
    Bytes out(source.size());
    for (auto _ : state)
    {
        fnPass(source, out);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * source.size()));
}

void Read(benchmark::State& state)
{
    Measure(state,
            [](const Bytes& source, Bytes&)
            {
                CC3Stream stream = ReadStream(source);
                benchmark::DoNotOptimize(stream.Children().data());
            });
}

void Write(benchmark::State& state)
{
    CC3Stream stream = ReadStream(SourceStream());
    Measure(state,
            [&stream](const Bytes&, Bytes& out)
            {
                CBufferWriter writer(out.data(), out.size());
                stream.Write(writer);
            });
}

void ReadAndWrite(benchmark::State& state)
{
    Measure(state,
            [](const Bytes& source, Bytes& out)
            {
                CC3Stream stream = ReadStream(source);
                CBufferWriter writer(out.data(), out.size());
                stream.Write(writer);
            });
}

void Memcpy(benchmark::State& state)
{
    Measure(state, [](const Bytes& source, Bytes& out)
            { std::memcpy(out.data(), source.data(), source.size()); });
}

BENCHMARK(Read)->Unit(benchmark::kMillisecond);
BENCHMARK(Write)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadAndWrite)->Unit(benchmark::kMillisecond);
BENCHMARK(Memcpy)->Unit(benchmark::kMillisecond);
} // namespace
