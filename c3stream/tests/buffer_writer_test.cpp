#include "c3stream/buffer_rw.h"
#include "c3stream/exceptions.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace
{
using Bytes = std::vector<std::uint8_t>;

Bytes Written(const CBufferWriter& writer)
{
    return Bytes(writer.Begin(), writer.Position());
}

TEST(BufferWriter, BitsFillBytesMostSignificantFirst)
{
    std::array<std::uint8_t, 8> memory{};
    CBufferWriter writer(memory.data(), memory.size());
    writer.WriteBits(0xA, 4);
    EXPECT_EQ(writer.Position(), memory.data());
    writer.WriteBits(0xB, 4);
    EXPECT_EQ(Written(writer), (Bytes{0xAB}));

    // Three pending bits are flushed with zero bits before the bytes.
    writer.WriteBits(0x5, 3);
    writer.WriteBytes(0x1234, 2);
    EXPECT_EQ(Written(writer), (Bytes{0xAB, 0xA0, 0x12, 0x34}));

    // A field crossing bytes, and bits above the width that are ignored.
    writer.WriteBits(0xFFFFF, 12);
    writer.WriteBit(0);
    writer.AlignWrite();
    EXPECT_EQ(Written(writer), (Bytes{0xAB, 0xA0, 0x12, 0x34, 0xFF, 0xF0}));
    EXPECT_FALSE(writer.WriteBits(1, 0));
}

TEST(BufferWriter, WritesStopAtTheEnd)
{
    std::array<std::uint8_t, 3> memory{};
    CBufferWriter writer(memory.data(), memory.size());
    EXPECT_TRUE(writer.WriteBytes(0x11, 1));
    EXPECT_FALSE(writer.WriteBytes(0x22334455, 4));
    EXPECT_EQ(memory, (std::array<std::uint8_t, 3>{0x11, 0x22, 0x33}));
    EXPECT_FALSE(writer.WriteBits(1, 1));
    EXPECT_FALSE(writer.WriteByte(9));
    EXPECT_FALSE(writer.Fill(0xEE, 10));
    EXPECT_FALSE(writer.AlignWrite());
    EXPECT_EQ(memory, (std::array<std::uint8_t, 3>{0x11, 0x22, 0x33}));

    writer.Rewind();
    EXPECT_FALSE(writer.WriteBits(0xFFFFFFFF, 32));
    EXPECT_EQ(memory, (std::array<std::uint8_t, 3>{0xFF, 0xFF, 0xFF}));
}

TEST(BufferWriter, WriteRawCutsAtTheEndThenThrows)
{
    const std::array<std::uint8_t, 10> source{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    std::array<std::uint8_t, 6> memory{};
    CBufferWriter writer(memory.data(), memory.size());
    writer.Fill(0xCC, 2);
    EXPECT_FALSE(writer.WriteRaw(source.data(), source.size()));
    EXPECT_EQ(memory, (std::array<std::uint8_t, 6>{0xCC, 0xCC, 1, 2, 3, 4}));
    EXPECT_THROW(writer.WriteRaw(source.data(), source.size()), CWriterException);
    EXPECT_THROW(writer.WriteRaw(source.data(), 0), CWriterException);

    CBufferWriter empty;
    EXPECT_THROW(empty.WriteRaw(source.data(), 1), CWriterException);
}

TEST(BufferWriter, ReaderReadsBackWhatWasWritten)
{
    std::array<std::uint8_t, 16> memory{};
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
