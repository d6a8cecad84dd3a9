// Writer throughput: a 512 MiB stream in 64 KiB samples through the writer's input pin
// into 64 MiB segments, beside dd and cat writing the same number of bytes. The samples
// look like an MPEG program stream to the pack-aligned cut: a pack header every 2 KiB.
// The files go to the temporary directory: TMPDIR=/dev/shm measures without the disk.

#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace
{
constexpr std::size_t kSampleBytes = 64 * 1024;
constexpr DWORD kSegmentKB = 64 * 1024;
constexpr std::size_t kPackBytes = 2048;

void FillWithPacks(BYTE* pbData)
{
    std::memset(pbData, 0x55, kSampleBytes);
    for (std::size_t at = 0; at < kSampleBytes; at += kPackBytes)
        std::memcpy(pbData + at, "\x00\x00\x01\xBA", 4);
}

// The writer filter with its input pin and one 64 KiB sample to send again and again.
struct CWriterUnderTest
{
    CWriterUnderTest()
    {
        filter = CreateFilter<IBaseFilter>(CMultiFileWriter::CreateInstance);
        ComPtr<IPin> pin;
        filter->FindPin(L"Input", &pin);
        pin->QueryInterface(IID_PPV_ARGS(&input));
        filter->QueryInterface(IID_PPV_ARGS(&sink));
        filter->QueryInterface(IID_PPV_ARGS(&control));
        control->SetSegmentSizeKB(kSegmentKB);

        CreateMemoryAllocator(&allocator);
        ALLOCATOR_PROPERTIES want{1, kSampleBytes, 1, 0}, actual{};
        allocator->SetProperties(&want, &actual);
        allocator->Commit();

        // The allocator has one buffer: filled once, it is what every sample carries.
        ComPtr<IMediaSample> sample;
        allocator->GetBuffer(&sample, nullptr, nullptr, 0);
        BYTE* pbData = nullptr;
        sample->GetPointer(&pbData);
        FillWithPacks(pbData);
    }

    ~CWriterUnderTest() { allocator->Decommit(); }

    void Record(const std::string& fileName)
    {
        sink->SetFileName(Utf8ToWide(fileName).c_str(), nullptr);
        filter->Pause();
        filter->Run(0);
        for (std::size_t cb = 0; cb < kStreamBytes; cb += kSampleBytes)
        {
            ComPtr<IMediaSample> sample;
            allocator->GetBuffer(&sample, nullptr, nullptr, 0);
            sample->SetActualDataLength(kSampleBytes);
            if (FAILED(input->Receive(sample.Get())))
                throw std::runtime_error("the writer refused a sample");
        }
        filter->Stop();
    }

    ComPtr<IBaseFilter> filter;
    ComPtr<IMemInputPin> input;
    ComPtr<IFileSinkFilter> sink;
    ComPtr<IMultiFileWriterControl> control;
    ComPtr<IMemAllocator> allocator;
};

void MultiFileWriter(benchmark::State& state)
{
    CTempDirectory dir;
    CWriterUnderTest writer;
    if (state.range(0))
        writer.control->EnablePackAlignedCut();
    for (auto _ : state)
    {
        writer.Record(dir / "take.mpg");
        state.PauseTiming();
        EmptyDirectory(dir);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kStreamBytes));
}

void DdWrite(benchmark::State& state)
{
    CTempDirectory dir;
    MeasureShellWrites(state,
                       "dd if=/dev/zero of=" + dir / "take.mpg" + " bs=64K status=none count=" +
                           std::to_string(kStreamBytes / kSampleBytes),
                       dir);
}

// cat copying a cached file of the same size: the bytes come from the page cache, as the
// writer's come from memory.
void CatWrite(benchmark::State& state)
{
    CTempDirectory source;
    RunShell("dd if=/dev/zero of=" + source / "stream.mpg" +
             " bs=1M status=none count=" + std::to_string(kStreamBytes / kMiB));
    CTempDirectory dir;
    MeasureShellWrites(state, "cat " + source / "stream.mpg" + " > " + dir / "take.mpg", dir);
}
} // namespace

BENCHMARK(MultiFileWriter)
    ->ArgName("packAligned")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(DdWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CatWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
