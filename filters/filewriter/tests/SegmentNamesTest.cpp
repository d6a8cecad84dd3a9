#include "SegmentNames.h"

#include <gtest/gtest.h>

TEST(SegmentNamesTest, KvxTargetRecordsIntoMpgSegmentsBesideTheList)
{
    const auto names = CSegmentNames::FromTargetName("D:\\rec\\take.KVX");
    ASSERT_TRUE(names);
    EXPECT_EQ(names->SegmentName(0), "D:\\rec\\take.mpg");
    EXPECT_EQ(names->SegmentName(1), "D:\\rec\\take_1.mpg");
    EXPECT_EQ(names->SegmentName(12), "D:\\rec\\take_12.mpg");
    EXPECT_EQ(names->ListName(), "D:\\rec\\take.kvx");
    EXPECT_EQ(CSegmentNames::FileNamePart(names->SegmentName(1)), "take_1.mpg");
}

TEST(SegmentNamesTest, NameWithoutExtensionIsAllBaseName)
{
    const auto names = CSegmentNames::FromTargetName("/tmp/run.v2/cap");
    ASSERT_TRUE(names);
    // The dot of the directory does not start an extension.
    EXPECT_EQ(names->SegmentName(0), "/tmp/run.v2/cap");
    EXPECT_EQ(names->SegmentName(3), "/tmp/run.v2/cap_3");
    EXPECT_EQ(names->ListName(), "/tmp/run.v2/cap.kvx");
    EXPECT_EQ(CSegmentNames::FileNamePart("C:cap_3"), "cap_3");
}

TEST(SegmentNamesTest, RefusesFileNamesThatBreakTheirListLine)
{
    EXPECT_FALSE(CSegmentNames::FromTargetName("/tmp/a;b.mpg"));
    EXPECT_FALSE(CSegmentNames::FromTargetName("/tmp/a\nb.mpg"));
    EXPECT_TRUE(CSegmentNames::FromTargetName("/tmp/a;b/c.mpg"));
}
