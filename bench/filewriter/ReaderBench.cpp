// Reader throughput: a 512 MiB recording in 64 segments of 8 MiB read back through the
// reader pin's IAsyncReader::SyncRead, beside cat of the same segment files.

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace
{
constexpr std::size_t kSegmentBytes = 8 * kMiB;

// The recording, written once for all reader benchmarks.
const CTempDirectory& Recording()
{
    static const CTempDirectory dir;
    static const bool bWritten = [&]
    {
        std::vector<char> segment(kSegmentBytes, 'r');
        std::string list = "LMMP\r\n";
        for (std::size_t i = 0; i < kStreamBytes / kSegmentBytes; ++i)
        {
            const std::string name = "take_" + std::to_string(i) + ".mpg";
            std::FILE* file = std::fopen((dir / name).c_str(), "wb");
            std::fwrite(segment.data(), 1, segment.size(), file);
            std::fclose(file);
            list += name + ";" + std::to_string(kSegmentBytes) + "\r\n";
        }
        std::FILE* file = std::fopen((dir / "take.kvx").c_str(), "wb");
        std::fwrite(list.data(), 1, list.size(), file);
        std::fclose(file);
        return true;
    }();
    (void)bWritten;
    return dir;
}

void MultiFileReaderSyncRead(benchmark::State& state)
{
    const CTempDirectory& dir = Recording();
    ComPtr<IBaseFilter> filter = CreateFilter<IBaseFilter>(CMultiFileReader::CreateInstance);
    ComPtr<IFileSourceFilter> source;
    filter->QueryInterface(IID_PPV_ARGS(&source));
    if (FAILED(source->Load(Utf8ToWide(dir / "take.kvx").c_str(), nullptr)))
        throw std::runtime_error("cannot load the list");
    ComPtr<IPin> pin;
    filter->FindPin(L"Output", &pin);
    ComPtr<IAsyncReader> reader;
    pin->QueryInterface(IID_PPV_ARGS(&reader));

    const LONG cbRead = static_cast<LONG>(state.range(0));
    std::vector<BYTE> buffer(static_cast<std::size_t>(cbRead));
    for (auto _ : state)
        for (LONGLONG llPos = 0; llPos < static_cast<LONGLONG>(kStreamBytes); llPos += cbRead)
            if (reader->SyncRead(llPos, cbRead, buffer.data()) != S_OK)
                throw std::runtime_error("short read");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kStreamBytes));
}

void CatSegments(benchmark::State& state)
{
    const std::string command = "cat " + Recording() / "take_*.mpg" + " > /dev/null";
    for (auto _ : state)
        RunShell(command);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kStreamBytes));
}
} // namespace

BENCHMARK(MultiFileReaderSyncRead)
    ->ArgName("bytesPerRead")
    ->Arg(64 * 1024)
    ->Arg(1024 * 1024)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(CatSegments)->Unit(benchmark::kMillisecond)->UseRealTime();
