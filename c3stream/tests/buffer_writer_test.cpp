#include "c3_test_support.h"

#include "c3stream/exceptions.h"

#include <gtest/gtest.h>

namespace
{
Bytes Written(const CBufferWriter& writer)
{
    return Bytes(writer.Begin(), writer.Position());
}

TEST(BufferWriter, BitsAndBytes)
{
    Bytes memory(8);
    CBufferWriter writer(memory.data(), memory.size());
    writer.WriteBits(0xA, 4);
    writer.WriteBits(0xB, 4);
    EXPECT_EQ(Written(writer), (Bytes{0xAB}));
    // Three pending bits are flushed with zero bits before the bytes.
    writer.WriteBits(0x5, 3);
    writer.WriteBytes(0x1234, 2);
    // A field crossing bytes; bits above its width are ignored.
    writer.WriteBits(0xFFFFF, 12);
    writer.AlignWrite();
    EXPECT_EQ(Written(writer), (Bytes{0xAB, 0xA0, 0x12, 0x34, 0xFF, 0xF0}));
    EXPECT_FALSE(writer.WriteBits(1, 0));

    // Writes stop at the end.
    Bytes small(3);
    CBufferWriter full(small.data(), small.size());
    EXPECT_FALSE(full.WriteBits(0xFFFFFFFF, 32));
    EXPECT_FALSE(full.WriteByte(9));
    EXPECT_EQ(small, (Bytes{0xFF, 0xFF, 0xFF}));
}

TEST(BufferWriter, WriteRawCutsAtTheEndThenThrows)
{
    const Bytes source{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    Bytes memory(6);
    CBufferWriter writer(memory.data(), memory.size());
    writer.Fill(0xCC, 2);
    EXPECT_FALSE(writer.WriteRaw(source.data(), source.size()));
    EXPECT_EQ(memory, (Bytes{0xCC, 0xCC, 1, 2, 3, 4}));
    // The fullness test comes before the length is looked at.
    EXPECT_THROW(writer.WriteRaw(source.data(), 0), CWriterException);
}

TEST(BufferWriter, ReaderReadsBackWhatWasWritten)
{
    Bytes memory(16);
    CBufferWriter writer(memory.data(), memory.size());
    const std::uint32_t widths[] = {1, 7, 13, 32, 3, 17, 2, 5};
    const std::uint32_t values[] = {1, 0x55, 0x1ABC, 0xDEADBEEF, 5, 0x1FFFF, 2, 0};
    for (int i = 0; i < 8; ++i)
        writer.WriteBits(values[i], widths[i]);
    writer.AlignWrite();
    CBufferReader reader(memory.data(), memory.size());
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(reader.ReadBits(widths[i]), values[i]) << "field " << i;
}
} // namespace
