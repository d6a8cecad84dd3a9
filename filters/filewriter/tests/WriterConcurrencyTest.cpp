#include "SegmentWriter.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

namespace
{
constexpr std::size_t kSampleBytes = 4096;

std::vector<std::uint8_t> NumberedSample(std::uint32_t number)
{
    std::vector<std::uint8_t> sample(kSampleBytes);
    for (std::size_t at = 0; at < kSampleBytes; at += sizeof number)
        std::memcpy(sample.data() + at, &number, sizeof number);
    return sample;
}

// The sample numbers found in a run of whole samples, after checking each sample.
std::vector<std::uint32_t> SampleNumbers(const std::vector<std::uint8_t>& segment)
{
    std::vector<std::uint32_t> numbers;
    for (std::size_t at = 0; at + kSampleBytes <= segment.size(); at += kSampleBytes)
    {
        std::uint32_t number = 0;
        std::memcpy(&number, segment.data() + at, sizeof number);
        EXPECT_EQ(std::vector(segment.begin() + at, segment.begin() + at + kSampleBytes),
                  NumberedSample(number));
        numbers.push_back(number);
    }
    return numbers;
}
} // namespace

// Stop, Pause and Run come from the application thread while the streaming thread is in
// the middle of writes and cuts. Every listed segment must hold whole samples, in order,
// exactly as many bytes as its list line says.
TEST(WriterConcurrencyTest, StateChangesNeverMeetAHalfWrittenSegment)
{
    CTempDirectory dir;
    CSegmentWriter writer;
    writer.SetSegmentSizeKB(16);
    ASSERT_TRUE(writer.SetFileName(dir / "take.mpg").Succeeded());
    ASSERT_TRUE(writer.Pause().Succeeded());
    ASSERT_TRUE(writer.Run().Succeeded());

    std::atomic<bool> bStreaming{true};
    std::thread streamer(
        [&]
        {
            for (std::uint32_t number = 0; bStreaming; ++number)
                EXPECT_TRUE(writer.Write(NumberedSample(number)).Succeeded());
        });
    for (int cycle = 0; cycle < 40; ++cycle)
    {
        writer.Stop();
        std::this_thread::yield();
        EXPECT_TRUE(writer.Pause().Succeeded());
        EXPECT_TRUE(writer.Run().Succeeded());
        std::this_thread::yield();
    }
    bStreaming = false;
    streamer.join();
    writer.Stop();

    for (const auto& [name, cb] : ReadListEntries(dir / "take.kvx"))
        EXPECT_EQ(cb % kSampleBytes, 0u) << name;
    const std::vector<std::uint8_t> joined = ReadListedSegments(dir / "take.kvx");
    const std::vector<std::uint32_t> numbers = SampleNumbers(joined);
    EXPECT_EQ(joined.size(), writer.TotalBytes());
    EXPECT_TRUE(std::ranges::is_sorted(numbers));
    EXPECT_EQ(std::ranges::adjacent_find(numbers), numbers.end());
}
