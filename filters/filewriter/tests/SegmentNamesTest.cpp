#include "SegmentNames.h"

#include <gtest/gtest.h>

// Segment naming over real files is covered by the writer's tests; here the cases that
// need no file: a dot in a directory and names whose list line could not be read back.
TEST(SegmentNamesTest, OnlyADotInTheFileNameStartsAnExtension)
{
    const auto names = CSegmentNames::FromTargetName("/tmp/run.v2/cap");
    ASSERT_TRUE(names);
    EXPECT_EQ(names->SegmentName(3), "/tmp/run.v2/cap_3");
    EXPECT_EQ(names->ListName(), "/tmp/run.v2/cap.kvx");
    EXPECT_EQ(CSegmentNames::FileNamePart("D:\\rec\\take_1.mpg"), "take_1.mpg");
    EXPECT_EQ(CSegmentNames::FileNamePart("C:cap_3"), "cap_3");
}

TEST(SegmentNamesTest, RefusesFileNamesThatBreakTheirListLine)
{
    EXPECT_FALSE(CSegmentNames::FromTargetName("/tmp/a;b.mpg"));
    EXPECT_FALSE(CSegmentNames::FromTargetName("/tmp/a\nb.mpg"));
    EXPECT_TRUE(CSegmentNames::FromTargetName("/tmp/a;b/c.mpg"));
}
