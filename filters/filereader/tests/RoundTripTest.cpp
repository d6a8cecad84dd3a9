// A byte stream with a pack header every few KiB goes through a real graph, a push source
// into the multi-file writer, and comes back through the multi-file reader's pin.

#include "ByteStreamSource.h"
#include "MultiFileReader.h"
#include "MultiFileWriter.h"
#include "TemporaryRegistry.h"
#include "TestFiles.h"

#include "com/ComPtr.h"
#include "com/ComRuntime.h"
#include "com/StringConvert.h"
#include "com/TaskMem.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
constexpr std::size_t kStreamBytes = 6 * 1024 * 1024;

// Random payload without zero bytes, so the only start codes are the pack headers placed
// at random distances of 1 to 8 KiB.
std::vector<std::uint8_t> PackStream(std::mt19937& random)
{
    std::vector<std::uint8_t> stream(kStreamBytes);
    std::uniform_int_distribution<int> payload(1, 255);
    for (std::uint8_t& byte : stream)
        byte = static_cast<std::uint8_t>(payload(random));
    std::uniform_int_distribution<std::size_t> packDistance(1024, 8192);
    for (std::size_t at = 0; at + 4 <= stream.size(); at += packDistance(random))
        std::copy_n("\x00\x00\x01\xBA", 4, stream.begin() + static_cast<std::ptrdiff_t>(at));
    return stream;
}

// Sample sizes of 1 byte to 64 KiB that add up to the stream.
std::vector<std::size_t> SampleSizes(std::mt19937& random)
{
    std::uniform_int_distribution<std::size_t> size(1, CByteStreamSource::kMaxSampleBytes);
    std::vector<std::size_t> sizes;
    for (std::size_t cbLeft = kStreamBytes; cbLeft > 0;)
    {
        const std::size_t cb =
            std::min(cbLeft, random() % 8 == 0 ? random() % 5 + 1 : size(random));
        sizes.push_back(cb);
        cbLeft -= cb;
    }
    return sizes;
}

template <class I> ComPtr<I> Create(CUnknown* (*create)(LPUNKNOWN, HRESULT*))
{
    HRESULT hr = S_OK;
    CUnknown* pObject = create(nullptr, &hr);
    ComPtr<I> filter;
    EXPECT_EQ(pObject->NonDelegatingQueryInterface(IidOf<I>(), reinterpret_cast<void**>(&filter)),
              S_OK);
    return filter;
}
} // namespace

class RoundTripTest : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_PPV_ARGS(&graph)),
                  S_OK);
        ASSERT_EQ(graph->QueryInterface(IID_PPV_ARGS(&control)), S_OK);
        ASSERT_EQ(graph->QueryInterface(IID_PPV_ARGS(&events)), S_OK);
        writer = Create<IBaseFilter>(CMultiFileWriter::CreateInstance);
        ASSERT_EQ(graph->AddFilter(source.Get(), L"Source"), S_OK);
        ASSERT_EQ(graph->AddFilter(writer.Get(), L"Dump File"), S_OK);
        ComPtr<IPin> input;
        ASSERT_EQ(writer->FindPin(L"Input", &input), S_OK);
        ASSERT_EQ(graph->ConnectDirect(&source->m_Pin, input.Get(), nullptr), S_OK);
    }

    void TearDown() override
    {
        events.Reset();
        control.Reset();
        graph.Reset();
        CoUninitialize();
    }

    // Records the stream through the graph until the writer reports completion.
    void Record(const std::vector<std::uint8_t>& stream, const std::vector<std::size_t>& sizes)
    {
        ComPtr<IMultiFileWriterControl> settings;
        ComPtr<IFileSinkFilter> sink;
        ASSERT_EQ(writer->QueryInterface(IID_PPV_ARGS(&settings)), S_OK);
        ASSERT_EQ(writer->QueryInterface(IID_PPV_ARGS(&sink)), S_OK);
        if (GetParam())
        {
            settings->EnablePackAlignedCut();
            settings->SetSegmentSizeKB(3 * 1024); // cut zone from 1 MiB on
        }
        else
            settings->SetSegmentSizeKB(256);
        ASSERT_EQ(sink->SetFileName(Utf8ToWide(dir / "take.mpg").c_str(), nullptr), S_OK);

        ASSERT_EQ(control->Run(), S_OK);
        source->StartStreaming(stream, sizes);
        LONG code = 0;
        ASSERT_EQ(events->WaitForCompletion(LONG(INFINITE), &code), S_OK);
        EXPECT_EQ(code, EC_COMPLETE);
        EXPECT_EQ(source->FinishStreaming(), S_OK);
        ASSERT_EQ(control->Stop(), S_OK);
    }

    ComPtr<IAsyncReader> LoadRecording()
    {
        reader = Create<IBaseFilter>(CMultiFileReader::CreateInstance);
        ComPtr<IFileSourceFilter> fileSource;
        EXPECT_EQ(reader->QueryInterface(IID_PPV_ARGS(&fileSource)), S_OK);
        EXPECT_EQ(fileSource->Load(Utf8ToWide(dir / "take.kvx").c_str(), nullptr), S_OK);
        ComPtr<IPin> output;
        EXPECT_EQ(reader->FindPin(L"Output", &output), S_OK);
        ComPtr<IAsyncReader> asyncReader;
        EXPECT_EQ(output->QueryInterface(IID_PPV_ARGS(&asyncReader)), S_OK);
        return asyncReader;
    }

    TemporaryRegistry registry;
    CTempDirectory dir;
    HRESULT hr = S_OK;
    ComPtr<CByteStreamSource> source{new CByteStreamSource(&hr)};
    ComPtr<IBaseFilter> writer;
    ComPtr<IBaseFilter> reader;
    ComPtr<IGraphBuilder> graph;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEventEx> events;
};

TEST_P(RoundTripTest, EveryByteComesBackAtEveryOffset)
{
    std::mt19937 random(GetParam() ? 7 : 11);
    const std::vector<std::uint8_t> stream = PackStream(random);
    Record(stream, SampleSizes(random));

    EXPECT_EQ(ReadListedSegments(dir / "take.kvx"), stream);
    std::vector<std::string> segments;
    for (const auto& entry : ReadListEntries(dir / "take.kvx"))
        segments.push_back(entry.first);
    EXPECT_GE(segments.size(), 4u);
    EXPECT_LE(segments.size(), 99u);
    ComPtr<IFileSinkFilter> sink;
    ASSERT_EQ(writer->QueryInterface(IID_PPV_ARGS(&sink)), S_OK);
    LPOLESTR pszName = nullptr;
    ASSERT_EQ(sink->GetCurFile(&pszName, nullptr), S_OK);
    EXPECT_EQ(WideToUtf8(pszName), dir / segments.back()) << "the latest segment";
    CoTaskMemFree(pszName);
    if (GetParam())
        for (std::size_t i = 1; i < segments.size(); ++i)
        {
            const std::vector<std::uint8_t> head = ReadWholeFile(dir / segments[i]);
            ASSERT_GE(head.size(), 4u);
            EXPECT_EQ(std::vector(head.begin(), head.begin() + 4),
                      (std::vector<std::uint8_t>{0x00, 0x00, 0x01, 0xBA}))
                << segments[i];
        }

    const ComPtr<IAsyncReader> asyncReader = LoadRecording();
    LONGLONG llTotal = 0, llAvailable = 0;
    ASSERT_EQ(asyncReader->Length(&llTotal, &llAvailable), S_OK);
    ASSERT_EQ(llTotal, static_cast<LONGLONG>(stream.size()));

    std::uniform_int_distribution<std::size_t> position(0, stream.size() - 1);
    std::uniform_int_distribution<LONG> length(1, 512 * 1024);
    std::vector<BYTE> buffer;
    for (int i = 0; i < 300; ++i)
    {
        const std::size_t at = position(random);
        const LONG cb =
            static_cast<LONG>(std::min<std::size_t>(length(random), stream.size() - at));
        buffer.assign(static_cast<std::size_t>(cb), 0);
        ASSERT_EQ(asyncReader->SyncRead(static_cast<LONGLONG>(at), cb, buffer.data()), S_OK);
        ASSERT_TRUE(std::equal(buffer.begin(), buffer.end(),
                               stream.begin() + static_cast<std::ptrdiff_t>(at)))
            << cb << " bytes at " << at;
    }
}

// Segments of 8 KiB on a disk whose files cannot grow past 7000 bytes: samples of 3000
// bytes fill two segments, then the third fills up in the middle of a sample of 2500. In
// pack-aligned mode the samples that begin with a pack header start the segments.
TEST_P(RoundTripTest, DiskThatFillsUpEndsTheRecordingWithOneErrorAndKeepsWholeSamples)
{
    const std::vector<std::size_t> sizes{3000, 3000, 3000, 3000, 2500, 2500, 2500, 2500};
    std::vector<std::uint8_t> stream;
    for (std::size_t i = 0; i < sizes.size(); ++i)
    {
        const std::size_t at = stream.size();
        for (std::size_t k = 0; k < sizes[i]; ++k)
            stream.push_back(static_cast<std::uint8_t>((at + k) % 255 + 1));
        if (i % 2 == 0 && i < 6)
            std::copy_n("\x00\x00\x01\xBA", 4, stream.begin() + static_cast<std::ptrdiff_t>(at));
    }
    ComPtr<IMultiFileWriterControl> settings;
    ComPtr<IFileSinkFilter> sink;
    ASSERT_EQ(writer->QueryInterface(IID_PPV_ARGS(&settings)), S_OK);
    ASSERT_EQ(writer->QueryInterface(IID_PPV_ARGS(&sink)), S_OK);
    settings->SetSegmentSizeKB(8);
    if (GetParam())
        settings->EnablePackAlignedCut();
    ASSERT_EQ(sink->SetFileName(Utf8ToWide(dir / "take.mpg").c_str(), nullptr), S_OK);

    const HRESULT hrFileTooLarge = MakeHResult(0x800700DF);
    {
        const CFileSizeLimit limit(7000);
        ASSERT_EQ(control->Run(), S_OK);
        source->StartStreaming(stream, sizes);
        LONG code = 0;
        LONG_PTR param1 = 0, param2 = 0;
        ASSERT_EQ(events->GetEvent(&code, &param1, &param2, 10000), S_OK);
        EXPECT_EQ(code, EC_ERRORABORT);
        EXPECT_EQ(param1, hrFileTooLarge);
        EXPECT_EQ(source->FinishStreaming(), hrFileTooLarge);
        source->m_Pin.DeliverEndOfStream(); // the stream cut short never completes
        ASSERT_EQ(control->Stop(), S_OK);
    }
    LONG code = 0;
    LONG_PTR param1 = 0, param2 = 0;
    while (events->GetEvent(&code, &param1, &param2, 0) == S_OK)
        ADD_FAILURE() << "a second event: " << code;

    const std::vector<std::pair<std::string, std::uint64_t>> expected{
        {"take.mpg", 6000}, {"take_1.mpg", 6000}, {"take_2.mpg", 5000}};
    EXPECT_EQ(ReadListEntries(dir / "take.kvx"), expected);
    EXPECT_EQ(ReadListedSegments(dir / "take.kvx"),
              std::vector<std::uint8_t>(stream.begin(), stream.begin() + 17000));
}

INSTANTIATE_TEST_SUITE_P(BothCuttingModes, RoundTripTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "PackAligned" : "Plain"; });
