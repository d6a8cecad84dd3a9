#include "SegmentTable.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace
{
std::vector<std::uint8_t> ReadFromTable(CSegmentTable& table, std::size_t cb, bool& bComplete)
{
    std::vector<std::uint8_t> buffer(cb);
    std::size_t cbRead = 0;
    bComplete = table.Read(buffer, cbRead);
    buffer.resize(cbRead);
    return buffer;
}
} // namespace

// Three segments of 100, 50 and 200 bytes beside a list file.
class SegmentTableTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (const auto& [name, cb] : {std::pair{"a.mpg", 100}, {"b.mpg", 50}, {"c.mpg", 200}})
        {
            const std::vector<std::uint8_t> bytes = CountingBytes(cb, joined.size());
            WriteWholeFile(dir / name, bytes);
            joined.insert(joined.end(), bytes.begin(), bytes.end());
        }
        table.SetListDirectory(dir / "take.kvx");
    }

    std::vector<std::uint8_t> Joined(std::size_t begin, std::size_t end) const
    {
        return {joined.begin() + static_cast<std::ptrdiff_t>(begin),
                joined.begin() + static_cast<std::ptrdiff_t>(end)};
    }

    CTempDirectory dir;
    CSegmentTable table;
    std::vector<std::uint8_t> joined;
    const std::vector<std::string> names{"a.mpg", "b.mpg", "c.mpg"};
};

TEST_F(SegmentTableTest, ReadSpansSegmentsAndAdvancesThePosition)
{
    table.Open(names);
    EXPECT_EQ(table.Total(), 350);
    ASSERT_TRUE(table.Seek(90));
    bool bComplete = false;
    EXPECT_EQ(ReadFromTable(table, 120, bComplete), Joined(90, 210));
    EXPECT_TRUE(bComplete);
    EXPECT_EQ(table.Position(), 210);
}

TEST_F(SegmentTableTest, ReadsAndSeeksStopAtTheEnd)
{
    table.Open(names);
    ASSERT_TRUE(table.Seek(300));
    bool bComplete = false;
    EXPECT_EQ(ReadFromTable(table, 500, bComplete), Joined(300, 350));
    EXPECT_TRUE(bComplete);
    EXPECT_TRUE(ReadFromTable(table, 10, bComplete).empty());
    EXPECT_FALSE(bComplete);

    ASSERT_TRUE(table.Seek(400));
    EXPECT_EQ(table.Position(), 350);
    EXPECT_EQ(table.Available(), 0);
    EXPECT_FALSE(table.Seek(-1));
}

TEST_F(SegmentTableTest, MissingSegmentTakesNoPlace)
{
    const std::vector<std::string> withGap{"a.mpg", "gone.mpg", "c.mpg"};
    table.Open(withGap);
    ASSERT_EQ(table.SegmentCount(), 2u);
    EXPECT_EQ(table.Segment(1).llStart, 100);
    EXPECT_EQ(table.Total(), 300);

    ASSERT_TRUE(table.Seek(95));
    bool bComplete = false;
    std::vector<std::uint8_t> expected = Joined(95, 100);
    const std::vector<std::uint8_t> third = Joined(150, 160);
    expected.insert(expected.end(), third.begin(), third.end());
    EXPECT_EQ(ReadFromTable(table, 15, bComplete), expected);
}

TEST_F(SegmentTableTest, NamesResolveBesideTheListUnlessTheyHaveADirectory)
{
    const std::vector<std::string> mixed{"a.mpg", dir / "b.mpg", ""};
    table.Open(mixed);
    ASSERT_EQ(table.SegmentCount(), 2u);
    EXPECT_EQ(table.Segment(0).szPath, dir / "a.mpg");

    CSegmentTable single; // no list: a bare name is relative to the working directory
    const std::vector<std::string> absolute{dir / "c.mpg"};
    single.Open(absolute);
    EXPECT_EQ(single.Total(), 200);
}

TEST_F(SegmentTableTest, PathsLongerThan259BytesAreRefused)
{
    // Two real directories deep enough that a.mpg in them has a path of exactly 259 bytes.
    const std::string top = dir / std::string(200, 'd');
    const std::string deep = top + "/" + std::string(259 - top.size() - 1 - 1 - 5, 'e');
    std::filesystem::create_directories(deep);
    WriteWholeFile(deep + "/a.mpg", CountingBytes(10));
    WriteWholeFile(deep + "/ab.mpg", CountingBytes(10));
    ASSERT_EQ(deep.size() + 1 + 5, 259u);

    table.SetListDirectory(deep + "/take.kvx");
    table.Open(std::vector<std::string>{"a.mpg", "ab.mpg", deep + "/ab.mpg"});
    ASSERT_EQ(table.SegmentCount(), 1u);
    EXPECT_EQ(table.Segment(0).szPath, deep + "/a.mpg");
}

TEST_F(SegmentTableTest, OnlyTheFirst99NamesAreUsed)
{
    const std::vector<std::string> many(120, "b.mpg");
    table.Open(many);
    EXPECT_EQ(table.SegmentCount(), 99u);
    EXPECT_EQ(table.Total(), 99 * 50);

    table.Open(std::vector<std::string>{"c.mpg"}); // a second open replaces the table
    EXPECT_EQ(table.Total(), 200);
    EXPECT_EQ(table.Position(), 0);
}

TEST_F(SegmentTableTest, EmptyTableReadsNothing)
{
    table.Open({});
    bool bComplete = true;
    EXPECT_TRUE(ReadFromTable(table, 10, bComplete).empty());
    EXPECT_FALSE(bComplete);
    EXPECT_TRUE(table.Seek(5));
    EXPECT_EQ(table.Position(), 0);
}

TEST_F(SegmentTableTest, SegmentShortenedAfterOpenEndsASpanningReadWithWhatWasRead)
{
    table.Open(names);
    std::filesystem::resize_file(dir / "b.mpg", 20);

    ASSERT_TRUE(table.Seek(90));
    bool bComplete = true;
    EXPECT_EQ(ReadFromTable(table, 100, bComplete), Joined(90, 120));
    EXPECT_FALSE(bComplete);
    EXPECT_EQ(table.Position(), 120);
    EXPECT_TRUE(ReadFromTable(table, 10, bComplete).empty()) << "inside the missing part";

    ASSERT_TRUE(table.Seek(160)); // the segments behind it are still reachable
    EXPECT_EQ(ReadFromTable(table, 10, bComplete), Joined(160, 170));
    EXPECT_TRUE(bComplete);
}
