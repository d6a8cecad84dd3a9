#include "WriterFixture.h"

#include <filesystem>

#include <sys/stat.h>

namespace fs = std::filesystem;

using SegmentWriterTest = WriterFixture;

TEST_F(SegmentWriterTest, SetFileNameCreatesFirstSegmentAndList)
{
    ASSERT_TRUE(writer.SetFileName(dir / "take.KVX").Succeeded());
    EXPECT_TRUE(fs::exists(dir / "take.mpg"));
    EXPECT_EQ(ReadWholeText(dir / "take.kvx"), "LMMP\r\n");
    EXPECT_EQ(writer.CurrentFileName(), dir / "take.mpg");

    ASSERT_TRUE(writer.Pause().Succeeded());
    writer.Stop();
    EXPECT_EQ(ReadWholeText(dir / "take.kvx"), "LMMP\r\n") << "an empty run lists nothing";
}

TEST_F(SegmentWriterTest, UnusableNamesAreRefusedBeforeAnythingIsCreated)
{
    EXPECT_EQ(writer.SetFileName(dir / "missing/take.mpg").errorNumber, ENOENT);
    EXPECT_EQ(writer.SetFileName(dir / "a;b.mpg").kind, FileStatus::Kind::InvalidName);
    // A path one byte over the limit.
    const std::string longName = dir / std::string(259 - (dir / "").size() + 1, 'n');
    EXPECT_EQ(writer.SetFileName(longName).kind, FileStatus::Kind::InvalidName);
    EXPECT_TRUE(fs::is_empty(dir.Path()));

    EXPECT_FALSE(writer.Pause().Succeeded());
}

TEST_F(SegmentWriterTest, PlainCutKeepsSamplesWholeAndListsEachSegment)
{
    writer.SetSegmentSizeKB(1);
    StartRecording("take");
    for (std::size_t i = 0; i < 3; ++i)
        Send(CountingBytes(600, i));
    writer.Stop();

    EXPECT_EQ(ReadWholeText(dir / "take.kvx"), "LMMP\r\ntake;600\r\ntake_1;600\r\ntake_2;600\r\n");
    EXPECT_EQ(Segment("take_2"), CountingBytes(600, 2));
    EXPECT_EQ(JoinedSegments(), sent);
}

TEST_F(SegmentWriterTest, SegmentMayReachTheLimitAndLargeSamplesGetSegmentsOfTheirOwn)
{
    writer.SetSegmentSizeKB(1);
    writer.SetSegmentSizeKB(0); // leaves the limit at 1 KiB
    StartRecording();
    for (std::size_t cb : {512, 512, 1, 3000, 10})
        Send(CountingBytes(cb, cb));
    writer.Stop();

    std::vector<std::uint64_t> sizes;
    for (const auto& entry : ListEntries())
        sizes.push_back(entry.second);
    EXPECT_EQ(sizes, (std::vector<std::uint64_t>{1024, 1, 3000, 10}));
    EXPECT_EQ(JoinedSegments(), sent);
}

TEST_F(SegmentWriterTest, TotalLimitCutsTheSampleThatReachesItAndDiscardsTheRest)
{
    writer.SetTotalSizeLimit(1000);
    StartRecording();
    Send(CountingBytes(600));
    Send(CountingBytes(600, 1));
    Send(CountingBytes(600, 2));
    writer.Stop();

    sent.resize(1000);
    EXPECT_EQ(JoinedSegments(), sent);
    EXPECT_EQ(writer.TotalBytes(), 1000u);
}

TEST_F(SegmentWriterTest, TotalLimitBelowWhatWasWrittenDiscardsEverything)
{
    StartRecording();
    Send(CountingBytes(600));
    writer.SetTotalSizeLimit(100);
    EXPECT_TRUE(writer.Write(CountingBytes(600)).Succeeded());
    writer.Stop();
    EXPECT_EQ(JoinedSegments(), sent);
}

TEST_F(SegmentWriterTest, SecondRunContinuesTheRecordingInANewSegment)
{
    writer.SetSegmentSizeKB(1);
    StartRecording();
    Send(CountingBytes(800));
    Send(CountingBytes(800, 1));
    writer.Stop();
    const std::vector<std::uint8_t> lastOfFirstRun = Segment("take_1.mpg");

    ASSERT_TRUE(writer.Pause().Succeeded());
    ASSERT_TRUE(writer.Run().Succeeded());
    Send(CountingBytes(300, 2));
    writer.Stop();

    EXPECT_EQ(Segment("take_1.mpg"), lastOfFirstRun);
    EXPECT_EQ(Segment("take_2.mpg"), CountingBytes(300, 2));
    EXPECT_EQ(ListEntries().size(), 3u);
    EXPECT_EQ(JoinedSegments(), sent);
}

TEST_F(SegmentWriterTest, NewNameStartsANewRecording)
{
    writer.SetSegmentSizeKB(1);
    StartRecording("first.mpg");
    Send(CountingBytes(800));
    Send(CountingBytes(800, 1));

    StartRecording("second.mpg");
    Send(CountingBytes(100, 2));
    writer.Stop();

    EXPECT_EQ(ListEntries("first.kvx").size(), 2u);
    EXPECT_EQ(ReadWholeText(dir / "second.kvx"), "LMMP\r\nsecond.mpg;100\r\n");
    EXPECT_EQ(writer.CurrentFileName(), dir / "second.mpg");
}

TEST_F(SegmentWriterTest, ClosedSegmentsKeepNoDiskSpaceReservedPastTheirEnd)
{
    StartRecording();
    Send(CountingBytes(5000, 0));
    writer.Stop();

    struct stat info
    {
    };
    ASSERT_EQ(::stat((dir / "take.mpg").c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 5000);
    EXPECT_LT(info.st_blocks * 512, 1024 * 1024) << "the blocks reserved ahead were not released";
    EXPECT_EQ(JoinedSegments(), sent);
}
