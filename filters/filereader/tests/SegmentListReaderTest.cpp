#include "SegmentListReader.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>

class SegmentListReaderTest : public ::testing::Test
{
protected:
    SegmentListStatus Read(const std::string& text, std::size_t maxNames = 99)
    {
        WriteWholeText(dir / "take.kvx", text);
        return ReadSegmentList(dir / "take.kvx", maxNames, names);
    }

    CTempDirectory dir;
    std::vector<std::string> names;
};

TEST_F(SegmentListReaderTest, NamesArePartsBeforeTheSemicolon)
{
    EXPECT_EQ(Read("LMMP\r\ntake.mpg;600\r\ntake_1.mpg;12345\r\n\r\nlast\n"),
              SegmentListStatus::Ok);
    EXPECT_EQ(names, (std::vector<std::string>{"take.mpg", "take_1.mpg", "", "last"}));

    EXPECT_EQ(Read("LMMP"), SegmentListStatus::Ok);
    EXPECT_TRUE(names.empty());
}

TEST_F(SegmentListReaderTest, RefusesFilesThatAreNoSegmentList)
{
    EXPECT_EQ(Read("lmmp\r\ntake.mpg;600\r\n"), SegmentListStatus::NotASegmentList);
    EXPECT_EQ(Read(""), SegmentListStatus::Empty);
    EXPECT_EQ(ReadSegmentList(dir / "missing.kvx", 99, names), SegmentListStatus::CannotOpen);
    std::filesystem::create_directory(dir / "folder.kvx");
    EXPECT_EQ(ReadSegmentList(dir / "folder.kvx", 99, names), SegmentListStatus::ReadError);
}

TEST_F(SegmentListReaderTest, ReadsNoMoreThanAskedFor)
{
    std::string text = "LMMP\r\n";
    for (int i = 0; i < 120; ++i)
        text += "take_" + std::to_string(i) + ".mpg;100\r\n";
    EXPECT_EQ(Read(text, 99), SegmentListStatus::Ok);
    ASSERT_EQ(names.size(), 99u);
    EXPECT_EQ(names.back(), "take_98.mpg");

    // Empty lines are entries too: they count towards the limit.
    EXPECT_EQ(Read("LMMP\r\n\r\n\r\na.mpg;1\r\nb.mpg;1\r\n", 3), SegmentListStatus::Ok);
    EXPECT_EQ(names, (std::vector<std::string>{"", "", "a.mpg"}));
}

TEST_F(SegmentListReaderTest, LongLinesAreNeverSplitIntoEntries)
{
    const std::string longName(300, 'n');
    const std::string longestName(259, 'm');
    const std::string text = "LMMP" + std::string(300, 'x') + "\r\n" +   // long first line
                             "a.mpg;" + std::string(400, '9') + "\r\n" + // long count
                             longName + ";5\r\n" +                       // name too long
                             longestName + "\r\n" + "b.mpg;5\r\n" +
                             std::string("c\0d.mpg;5\r\ne.mpg;5\r\n", 20); // zero byte in a line
    EXPECT_EQ(Read(text), SegmentListStatus::Ok);
    EXPECT_EQ(names, (std::vector<std::string>{"a.mpg", "", longestName, "b.mpg", "c", "e.mpg"}));
}
