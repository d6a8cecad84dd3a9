#include "WriterFixture.h"

#include <algorithm>
#include <filesystem>

namespace
{
constexpr rlim_t kFileSizeLimit = 7000;

using Bytes = std::vector<std::uint8_t>;

// Bytes without a start code prefix anywhere but in the given ending.
Bytes SampleEndingWith(std::size_t cb, std::size_t seed, const Bytes& ending = {})
{
    Bytes bytes = CountingBytes(cb, seed);
    std::ranges::replace(bytes, std::uint8_t{0}, std::uint8_t{0x20});
    std::ranges::copy(ending, bytes.end() - static_cast<std::ptrdiff_t>(ending.size()));
    return bytes;
}
} // namespace

// Near a pack-aligned cut, the bytes 00 00 that end a sample wait for the next sample, which
// may begin with 01 BA; they belong to the sample they ended all the same.
class WithheldBytesOnAFullDisk : public WriterFixture
{
protected:
    void SetUp() override
    {
        writer.SetSegmentSizeKB(8); // every write is in the cut zone
        writer.SetPackAlignedCut(true);
        StartRecording();
    }
};

TEST_F(WithheldBytesOnAFullDisk, BytesWrittenBeforeTheFailureCompleteTheirSample)
{
    const Bytes first = SampleEndingWith(4000, 1, {0, 0});
    {
        const CFileSizeLimit limit(kFileSizeLimit);
        ASSERT_TRUE(writer.Write(first).Succeeded());
        EXPECT_EQ(writer.Write(SampleEndingWith(4000, 2)).errorNumber, EFBIG);
        EXPECT_EQ(writer.Write(SampleEndingWith(10, 3)).errorNumber, EFBIG) << "refused too";
        writer.Stop();
    }
    EXPECT_EQ(ListEntries(), (decltype(ListEntries()){{"take.mpg", 4000}}));
    EXPECT_EQ(JoinedSegments(), first);
}

// 3000 + 3999 bytes reach the file, one short of the limit, and two wait: only one of them
// fits, whether the next sample or Stop writes them.
TEST_F(WithheldBytesOnAFullDisk, SampleWhoseWithheldBytesCannotBeWrittenIsCutOffWithThem)
{
    const Bytes first = SampleEndingWith(3000, 1);
    const Bytes second = SampleEndingWith(4001, 2, {0, 0});
    {
        const CFileSizeLimit limit(kFileSizeLimit);
        ASSERT_TRUE(writer.Write(first).Succeeded());
        ASSERT_TRUE(writer.Write(second).Succeeded());
        EXPECT_EQ(writer.Write(SampleEndingWith(100, 3)).errorNumber, EFBIG);
        writer.Stop();

        StartRecording("stop.mpg");
        ASSERT_TRUE(writer.Write(first).Succeeded());
        ASSERT_TRUE(writer.Write(second).Succeeded());
        writer.Stop();
    }
    EXPECT_EQ(JoinedSegments(), first);
    EXPECT_EQ(JoinedSegments("stop.kvx"), first);
}

using WriterOpenFailureTest = WriterFixture;

TEST_F(WriterOpenFailureTest, SegmentThatCannotBeOpenedRefusesTheStream)
{
    std::filesystem::create_directory(dir / "sub");
    ASSERT_TRUE(writer.SetFileName(dir / "sub/take.mpg").Succeeded());
    std::filesystem::remove_all(dir / "sub");

    EXPECT_EQ(writer.Pause().errorNumber, ENOENT);
    EXPECT_EQ(writer.Write(CountingBytes(10)).errorNumber, ENOENT);
    writer.Stop();
    EXPECT_TRUE(writer.Write(CountingBytes(10)).Succeeded()) << "stopped: dropped";
}
