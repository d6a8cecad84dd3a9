#include "c3_test_support.h"

#include "c3stream/exceptions.h"

#include <gtest/gtest.h>

namespace
{
TEST(BufferReader, BitFieldsAcrossBytes)
{
    CExactBuffer data({0x12, 0x34, 0x56, 0x78, 0x9A});
    CBufferReader reader = data.Reader();
    // A partly read byte stays at the position until its last bit is read.
    for (int i = 0; i < 7; ++i)
        reader.ReadBit();
    EXPECT_EQ(reader.Position(), data.At(0));
    EXPECT_EQ(reader.ReadBit(), 0u);
    EXPECT_EQ(reader.Position(), data.At(1));

    reader.Rewind();
    EXPECT_EQ(reader.ReadBits(4), 0x1u);
    EXPECT_EQ(reader.ReadBits(32), 0x23456789u);
    EXPECT_EQ(reader.Position(), data.At(4));
    EXPECT_EQ(reader.BitOffset(), 4u);

    reader.Rewind();
    EXPECT_EQ(reader.PeekBytes(4), 0x12345678u);
    EXPECT_EQ(reader.Position(), data.At(0));
    EXPECT_TRUE(reader.SkipBits(12));
    EXPECT_EQ(reader.ReadBits(4), 0x4u);
    EXPECT_FALSE(reader.SkipBits(33));
    EXPECT_EQ(reader.Position(), reader.End());
}

TEST(BufferReader, ReadsPastTheEndThrow)
{
    CExactBuffer data({0xFF, 0xFF, 0xFF});
    CBufferReader reader = data.Reader();
    reader.ReadBits(3);
    EXPECT_THROW(reader.ReadBits(32), CReaderException);
    reader.Rewind();
    EXPECT_THROW(reader.ReadBits(200), CReaderException);
    reader.Rewind();
    reader.ReadBits(1);
    // The partly read byte is skipped, leaving two of the three bytes asked for.
    EXPECT_THROW(reader.ReadBytes(3), CReaderException);
    reader.Seek(0, CBuffer::FromEnd);
    EXPECT_THROW(reader.ReadByte(), CReaderException);
    EXPECT_THROW(reader.PeekByte(), CReaderException);
    EXPECT_THROW(reader.PeekBit(), CReaderException);
    CBufferReader empty;
    EXPECT_THROW(empty.ReadBytes(1), CReaderException);
}

TEST(BufferReader, SeekClampsAndReports)
{
    CExactBuffer data({1, 2, 3, 4, 5, 6, 7, 8});
    CBufferReader reader = data.Reader();
    EXPECT_FALSE(reader.Seek(-5, CBuffer::FromBegin));
    EXPECT_EQ(reader.Position(), data.At(0));
    EXPECT_TRUE(reader.Seek(-3, CBuffer::FromEnd));
    EXPECT_EQ(reader.Position(), data.At(5));
    EXPECT_FALSE(reader.Seek(PTRDIFF_MAX, CBuffer::FromCurrent));
    EXPECT_EQ(reader.Position(), reader.End());
    EXPECT_FALSE(reader.Seek(PTRDIFF_MIN, CBuffer::FromEnd));
    EXPECT_EQ(reader.Position(), data.At(0));
    const std::uint8_t other = 0;
    EXPECT_FALSE(reader.SetPosition(&other));
    EXPECT_TRUE(reader.SetPosition(reader.End()));
}

TEST(BufferReader, Scans)
{
    CExactBuffer four({0x00, 0x00, 0x00, 0x01});
    CBufferReader reader = four.Reader();
    EXPECT_EQ(reader.FindStartCode(), 1);
    EXPECT_EQ(reader.Position(), four.At(1));
    // A partly read byte counts as one byte skipped, even when it is zero.
    reader.Rewind();
    reader.ReadBits(2);
    EXPECT_EQ(reader.FindStartCode(), 1);
    EXPECT_EQ(CExactBuffer({0x00, 0x01, 0x00, 0x00, 0x01}).Reader().FindStartCode(), 2);
    EXPECT_EQ(CExactBuffer({0x00, 0x00, 0x02, 0x00, 0x00}).Reader().FindStartCode(), -1);

    CExactBuffer sync({0x12, 0xFF, 0xEF, 0xFF, 0xF3});
    EXPECT_EQ(sync.Reader().FindAudioSync(), sync.At(3));
    EXPECT_EQ(CExactBuffer({0x12, 0xFF}).Reader().FindAudioSync(), nullptr);

    EXPECT_EQ(CExactBuffer({0xDE, 0xDE, 0xAD, 0xCA, 0xFE}).Reader().FindFrameMarker(), 1);
    CExactBuffer cut({0x00, 0xDE, 0xAD, 0xCA});
    reader = cut.Reader();
    EXPECT_EQ(reader.FindFrameMarker(), -1);
    EXPECT_EQ(reader.Position(), reader.End());

    CExactBuffer bytes({0xAA, 0x00, 0x33});
    reader = bytes.Reader();
    EXPECT_EQ(reader.CountUpTo(0x00), 2u);
    EXPECT_EQ(reader.CountUpTo(0x00), 1u);
    EXPECT_FALSE(reader.HasData());
}
} // namespace
