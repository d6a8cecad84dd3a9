#include "WriterFixture.h"

#include <algorithm>

namespace
{
constexpr std::size_t kKiB = 1024;

// cb bytes of stream with a pack start code 00 00 01 BA every packEvery bytes from
// offset 0, and filler that holds no zero byte between them.
std::vector<std::uint8_t> PackStream(std::size_t cb, std::size_t packEvery)
{
    std::vector<std::uint8_t> bytes(cb);
    for (std::size_t i = 0; i < cb; ++i)
        bytes[i] = static_cast<std::uint8_t>(0x10 + i % 200);
    for (std::size_t at = 0; at + 4 <= cb; at += packEvery)
    {
        bytes[at] = 0x00;
        bytes[at + 1] = 0x00;
        bytes[at + 2] = 0x01;
        bytes[at + 3] = 0xBA;
    }
    return bytes;
}

std::vector<std::uint8_t> Bytes(std::initializer_list<std::uint8_t> bytes)
{
    return bytes;
}

std::vector<std::uint8_t> Filler(std::size_t cb)
{
    return std::vector<std::uint8_t>(cb, 0x55);
}
} // namespace

class PackAlignedCutTest : public WriterFixture
{
protected:
    // With a 1 KiB limit every buffer is in the cut zone.
    void StartInCutZone()
    {
        writer.SetSegmentSizeKB(1);
        writer.SetPackAlignedCut(true);
        StartRecording();
    }

    void ExpectLaterSegmentsStartWithPackHeader()
    {
        const auto entries = ListEntries();
        for (std::size_t i = 1; i < entries.size(); ++i)
        {
            const std::vector<std::uint8_t> bytes = Segment(entries[i].first);
            ASSERT_GE(bytes.size(), 4u) << entries[i].first;
            EXPECT_EQ(std::vector(bytes.begin(), bytes.begin() + 4), kPackStartCode)
                << entries[i].first;
        }
    }

    const std::vector<std::uint8_t> kPackStartCode{0x00, 0x00, 0x01, 0xBA};
};

TEST_F(PackAlignedCutTest, CutsBeforeTheLastPackStartOnceWithinTwoMiBOfTheLimit)
{
    writer.SetSegmentSizeKB(4096);
    writer.SetPackAlignedCut(true);
    StartRecording();
    const std::vector<std::uint8_t> stream = PackStream(6 * 1024 * kKiB, 4 * kKiB);
    for (std::size_t at = 0; at < stream.size(); at += 64 * kKiB)
        Send(std::vector(stream.begin() + at, stream.begin() + at + 64 * kKiB));
    writer.Stop();

    // Sample 31 is the first to bring the segment to 2 MiB; its last pack starts 60 KiB in.
    // Each later segment starts with the last 4 KiB of a sample and is cut the same way.
    const auto entries = ListEntries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].second, 31 * 64 * kKiB + 60 * kKiB);
    EXPECT_EQ(entries[1].second, 2048 * kKiB);
    EXPECT_EQ(entries[2].second, 2048 * kKiB);
    ExpectLaterSegmentsStartWithPackHeader();
    EXPECT_EQ(JoinedSegments(), sent);
}

class SplitStartCodeTest : public PackAlignedCutTest,
                           public ::testing::WithParamInterface<std::size_t>
{
};

TEST_P(SplitStartCodeTest, StartCodeSplitBetweenSamplesIsFoundWhole)
{
    StartInCutZone();
    const std::size_t split = GetParam();
    // Each sample is sized once: growing a full vector here trips a false -Warray-bounds
    // in GCC 12 at -O3.
    std::vector<std::uint8_t> first = Filler(100 + split);
    std::copy_n(kPackStartCode.begin(), split, first.end() - static_cast<std::ptrdiff_t>(split));
    std::vector<std::uint8_t> second(kPackStartCode.size() - split + 50, 0x66);
    std::copy(kPackStartCode.begin() + static_cast<std::ptrdiff_t>(split), kPackStartCode.end(),
              second.begin());
    Send(first);
    Send(second);
    writer.Stop();

    EXPECT_EQ(Segment("take.mpg"), Filler(100));
    EXPECT_EQ(Segment("take_1.mpg").size(), 54u);
    ExpectLaterSegmentsStartWithPackHeader();
    EXPECT_EQ(JoinedSegments(), sent);
}

INSTANTIATE_TEST_SUITE_P(EverySplit, SplitStartCodeTest, ::testing::Values(1, 2, 3));

TEST_F(PackAlignedCutTest, ZeroBeforeASplitStartCodeStaysInTheFirstSegment)
{
    StartInCutZone();
    std::vector<std::uint8_t> first = Filler(10);
    first.insert(first.end(), {0x00, 0x00, 0x00});
    Send(first);
    Send(Bytes({0x01, 0xBA, 0x66}));
    writer.Stop();

    std::vector<std::uint8_t> expectedFirst = Filler(10);
    expectedFirst.push_back(0x00);
    EXPECT_EQ(Segment("take.mpg"), expectedFirst);
    ExpectLaterSegmentsStartWithPackHeader();
    EXPECT_EQ(JoinedSegments(), sent);
}

TEST_F(PackAlignedCutTest, TinyBuffersReachTheFileInOrderAndStillCut)
{
    StartInCutZone();
    Send(Filler(10));
    for (const auto& tiny : {Bytes({0x00}), Bytes({0x00}), Bytes({0x07}), Bytes({0x00, 0x00, 0x01}),
                             Bytes({0x02, 0x03, 0x04, 0x05}), Bytes({})})
        Send(tiny);
    EXPECT_EQ(ListEntries().size(), 0u) << "no whole start code yet";
    for (std::uint8_t byte : kPackStartCode)
        Send(Bytes({byte}));
    Send(Bytes({0x00, 0x00})); // held back until Stop
    writer.Stop();

    EXPECT_EQ(ListEntries().size(), 2u);
    ExpectLaterSegmentsStartWithPackHeader();
    EXPECT_EQ(JoinedSegments(), sent);
}

TEST_F(PackAlignedCutTest, PackAtTheStartOfAnEmptySegmentDoesNotCut)
{
    StartInCutZone();
    Send(PackStream(100, 1000));
    Send(PackStream(100, 1000));
    writer.Stop();

    const auto entries = ListEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].second, 100u);
    EXPECT_EQ(JoinedSegments(), sent);
}

TEST_F(PackAlignedCutTest, SwitchingToPlainCuttingKeepsTheHeldBackBytes)
{
    StartInCutZone();
    std::vector<std::uint8_t> first = Filler(10);
    first.insert(first.end(), {0x00, 0x00});
    Send(first);
    writer.SetPackAlignedCut(false);
    Send(Filler(10));
    writer.Stop();
    EXPECT_EQ(JoinedSegments(), sent);
}
