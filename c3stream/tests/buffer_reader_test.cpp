#include "c3stream/buffer_rw.h"
#include "c3stream/exceptions.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{
// A reader over an exact-size heap copy, so ASan reports any access past the end.
struct CExactBuffer
{
    explicit CExactBuffer(std::vector<std::uint8_t> bytes)
        : m_cb(bytes.size()), m_pBytes(new std::uint8_t[bytes.size()])
    {
        std::copy(bytes.begin(), bytes.end(), m_pBytes.get());
    }
    CBufferReader Reader() const { return CBufferReader(m_pBytes.get(), m_cb); }
    const std::uint8_t* At(std::size_t i) const { return m_pBytes.get() + i; }

    std::size_t m_cb;
    std::unique_ptr<std::uint8_t[]> m_pBytes;
};

TEST(BufferReader, BitReadsKeepAPartlyReadByteInPlace)
{
    CExactBuffer data({0xB5, 0x00});
    CBufferReader reader = data.Reader();
    std::uint32_t nValue = 0;
    for (int i = 0; i < 7; ++i)
        nValue = (nValue << 1) | reader.ReadBit();
    EXPECT_EQ(reader.Position(), data.At(0));
    EXPECT_EQ(reader.BitOffset(), 7u);
    nValue = (nValue << 1) | reader.ReadBit();
    EXPECT_EQ(nValue, 0xB5u);
    EXPECT_EQ(reader.Position(), data.At(1));
    EXPECT_EQ(reader.BitOffset(), 0u);
}

TEST(BufferReader, ReadBitsAcrossFiveBytes)
{
    CExactBuffer data({0x12, 0x34, 0x56, 0x78, 0x9A});
    CBufferReader reader = data.Reader();
    EXPECT_EQ(reader.ReadBits(4), 0x1u);
    EXPECT_EQ(reader.ReadBits(32), 0x23456789u);
    EXPECT_EQ(reader.Position(), data.At(4));
    EXPECT_EQ(reader.BitOffset(), 4u);
    EXPECT_EQ(reader.ReadBits(4), 0xAu);
    EXPECT_FALSE(reader.HasData());
}

TEST(BufferReader, ReadsPastTheEndThrowWithoutTouchingMemoryBeyondIt)
{
    CExactBuffer data({0xFF, 0xFF, 0xFF});
    {
        CBufferReader reader = data.Reader();
        reader.ReadBits(3);
        EXPECT_THROW(reader.ReadBits(32), CReaderException);
    }
    {
        CBufferReader reader = data.Reader();
        EXPECT_THROW(reader.ReadBits(200), CReaderException);
    }
    {
        CBufferReader reader = data.Reader();
        EXPECT_THROW(reader.ReadBytes(4), CReaderException);
    }
    {
        CBufferReader reader = data.Reader();
        reader.ReadBits(1);
        // The partly read byte is skipped, leaving two of the three bytes asked for.
        EXPECT_THROW(reader.ReadBytes(3), CReaderException);
    }
    {
        CBufferReader reader = data.Reader();
        reader.Seek(0, CBuffer::FromEnd);
        EXPECT_THROW(reader.ReadByte(), CReaderException);
        EXPECT_THROW(reader.PeekByte(), CReaderException);
        EXPECT_THROW(reader.ReadBit(), CReaderException);
        EXPECT_THROW(reader.PeekBit(), CReaderException);
        EXPECT_THROW(reader.ReadBytes(1), CReaderException);
    }
    CBufferReader empty;
    EXPECT_THROW(empty.ReadBits(1), CReaderException);
    EXPECT_EQ(empty.FindStartCode(), -1);
}

TEST(BufferReader, ByteReadsAndPeeks)
{
    CExactBuffer data({0x88, 0x88, 0xCA, 0xFE, 0x01});
    CBufferReader reader = data.Reader();
    EXPECT_EQ(reader.PeekBytes(4), 0x8888CAFEu);
    EXPECT_EQ(reader.Position(), data.At(0));
    EXPECT_EQ(reader.ReadBytes(4), 0x8888CAFEu);
    EXPECT_EQ(reader.PeekByte(), 0x01);
    EXPECT_EQ(reader.ReadByte(), 0x01);
    EXPECT_FALSE(reader.HasData());
}

TEST(BufferReader, SeekClampsAndReports)
{
    CExactBuffer data({1, 2, 3, 4, 5, 6, 7, 8});
    CBufferReader reader = data.Reader();
    reader.ReadBits(3);
    EXPECT_FALSE(reader.Seek(-5, CBuffer::FromBegin));
    EXPECT_EQ(reader.Position(), data.At(0));
    EXPECT_EQ(reader.BitOffset(), 0u);
    EXPECT_TRUE(reader.Seek(3, CBuffer::FromCurrent));
    EXPECT_TRUE(reader.Seek(-3, CBuffer::FromCurrent));
    EXPECT_EQ(reader.Position(), data.At(0));
    EXPECT_FALSE(reader.Seek(PTRDIFF_MAX, CBuffer::FromCurrent));
    EXPECT_EQ(reader.Position(), reader.End());
    EXPECT_TRUE(reader.Seek(-8, CBuffer::FromEnd));
    EXPECT_EQ(reader.Position(), data.At(0));
    EXPECT_FALSE(reader.Seek(PTRDIFF_MIN, CBuffer::FromEnd));
    EXPECT_EQ(reader.Position(), data.At(0));

    EXPECT_TRUE(reader.SetPosition(reader.End()));
    const std::uint8_t other = 0;
    EXPECT_FALSE(reader.SetPosition(&other));
    EXPECT_EQ(reader.Position(), reader.End());
}

TEST(BufferReader, SkipBitsAndCountUpTo)
{
    CExactBuffer data({0xAA, 0x55, 0x00, 0x33});
    CBufferReader reader = data.Reader();
    EXPECT_TRUE(reader.SkipBits(12));
    EXPECT_EQ(reader.Position(), data.At(1));
    EXPECT_EQ(reader.ReadBits(4), 0x5u);
    EXPECT_EQ(reader.CountUpTo(0x00), 1u);
    EXPECT_EQ(reader.CountUpTo(0x00), 1u);
    EXPECT_FALSE(reader.HasData());
    reader.Rewind();
    EXPECT_EQ(reader.CountUpTo(0x77), 4u);
    reader.Rewind();
    EXPECT_FALSE(reader.SkipBits(33));
    EXPECT_EQ(reader.Position(), reader.End());
    EXPECT_EQ(reader.BitOffset(), 0u);
}

TEST(BufferReader, FindStartCode)
{
    CExactBuffer four({0x00, 0x00, 0x00, 0x01});
    CBufferReader reader = four.Reader();
    EXPECT_EQ(reader.FindStartCode(), 1);
    EXPECT_EQ(reader.Position(), four.At(1));
    EXPECT_EQ(reader.FindStartCode(), 0);

    CExactBuffer single({0x00, 0x01, 0x00, 0x00, 0x01});
    reader = single.Reader();
    EXPECT_EQ(reader.FindStartCode(), 2);

    // A partly read byte counts as one byte skipped, even when it is zero.
    CExactBuffer partial({0x00, 0x00, 0x00, 0x01});
    reader = partial.Reader();
    reader.ReadBits(2);
    EXPECT_EQ(reader.FindStartCode(), 1);

    CExactBuffer none({0x00, 0x00, 0x02, 0x00, 0x00});
    reader = none.Reader();
    EXPECT_EQ(reader.FindStartCode(), -1);
    EXPECT_EQ(reader.Position(), reader.End());
}

TEST(BufferReader, FindAudioSyncAndFrameMarker)
{
    CExactBuffer sync({0x12, 0xFF, 0xF3});
    CBufferReader reader = sync.Reader();
    EXPECT_EQ(reader.FindAudioSync(), sync.At(1));
    EXPECT_EQ(reader.Position(), sync.At(1));

    CExactBuffer noSync({0xFF, 0xEF, 0xFF});
    reader = noSync.Reader();
    EXPECT_EQ(reader.FindAudioSync(), nullptr);
    EXPECT_EQ(reader.Position(), reader.End());

    CExactBuffer marker({0xDE, 0xDE, 0xAD, 0xCA, 0xFE});
    reader = marker.Reader();
    EXPECT_EQ(reader.FindFrameMarker(), 1);
    EXPECT_EQ(reader.Position(), marker.At(1));

    CExactBuffer cut({0x00, 0xDE, 0xAD, 0xCA});
    reader = cut.Reader();
    EXPECT_EQ(reader.FindFrameMarker(), -1);
    EXPECT_EQ(reader.Position(), reader.End());
}
} // namespace
