#include "c3_test_support.h"

#include "c3stream/timestamps.h"

#include <gtest/gtest.h>

namespace
{
template <class TTime> Bytes WriteTime(const TTime& time)
{
    Bytes bytes(8);
    CBufferWriter writer(bytes.data(), bytes.size());
    time.Write(writer);
    bytes.resize(writer.Position() - writer.Begin());
    return bytes;
}

template <class TTime> TTime ReadTime(const Bytes& bytes)
{
    CBufferReader reader(bytes.data(), bytes.size());
    TTime time;
    time.Read(reader);
    return time;
}

TEST(SecondsTime, TickCountForm)
{
    EXPECT_EQ(WriteTime(CSecondsTime(1.0)), (Bytes{0x00, 0x01, 0x5F, 0x90}));
    EXPECT_EQ(WriteTime(CSecondsTime(0.5)), (Bytes{0x00, 0x00, 0xAF, 0xC8}));
    EXPECT_DOUBLE_EQ(ReadTime<CSecondsTime>({0x00, 0x01, 0x5F, 0x90}).m_dSeconds, 1.0);
    // 2^32 ticks wrap to 0; times outside the range reach no undefined conversion.
    EXPECT_EQ(WriteTime(CSecondsTime(4294967296.0 / 90000)), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(WriteTime(CSecondsTime(-1.0)).size(), 4u);
    EXPECT_EQ(WriteTime(CSecondsTime(1e300)).size(), 4u);

    // A header read and written back keeps its count, also where n / 90000 * 90000 lands
    // just below n in floating point.
    for (std::uint32_t n = 0; n < 300000; n += 7)
    {
        for (std::uint32_t nTicks : {n, 0xFFFFFFFFu - n})
        {
            const Bytes bytes{
                static_cast<std::uint8_t>(nTicks >> 24), static_cast<std::uint8_t>(nTicks >> 16),
                static_cast<std::uint8_t>(nTicks >> 8), static_cast<std::uint8_t>(nTicks)};
            ASSERT_EQ(WriteTime(ReadTime<CSecondsTime>(bytes)), bytes) << nTicks;
        }
    }
}

TEST(SecondsTime, AudioFormRoundTripsToTwoTicks)
{
    for (double dTicks : {0.0, 1.0, 90000.0, 90001.0, 4294967297.0, 6000000000.5, 8589934591.0})
    {
        Bytes bytes(8);
        CBufferWriter writer(bytes.data(), bytes.size());
        CSecondsTime(dTicks / 90000).WriteAudioTime(writer);
        EXPECT_FALSE(writer.HasData());
        EXPECT_EQ(bytes[4], dTicks >= 4294967296.0 ? 0x80 : 0x00);
        CBufferReader reader(bytes.data(), bytes.size());
        CSecondsTime readBack;
        readBack.ReadAudioTime(reader);
        EXPECT_LE(readBack.m_dSeconds * 90000, dTicks);
        EXPECT_GT(readBack.m_dSeconds * 90000, dTicks - 2) << dTicks;
    }
}

TEST(PesTime, PtsForm)
{
    CPesTime pts;
    pts.SetPrefix(0x2);
    pts.m_dSeconds = 1.0;
    EXPECT_EQ(WriteTime(pts), (Bytes{0x21, 0x00, 0x05, 0xBF, 0x21}));
    EXPECT_DOUBLE_EQ(ReadTime<CPesTime>({0x21, 0x00, 0x05, 0xBF, 0x21}).m_dSeconds, 1.0);
    // Bit 32 of the count is kept in this form.
    pts.m_dSeconds = 4294967296.0 / 90000;
    EXPECT_EQ(WriteTime(pts), (Bytes{0x29, 0x00, 0x01, 0x00, 0x01}));
}

TEST(EscrTime, BaseAndExtension)
{
    CEscrTime escr;
    escr.m_byReserved = 3;
    escr.m_dSeconds = 1.0;
    // Base 90000 between marker bits, extension 0, final marker.
    EXPECT_EQ(WriteTime(escr), (Bytes{0xC4, 0x00, 0x16, 0xFC, 0x84, 0x01}));
    escr.m_dSeconds = 1.0 + 150.0 / 27000000;
    EXPECT_NEAR(ReadTime<CEscrTime>(WriteTime(escr)).m_dSeconds, escr.m_dSeconds, 1e-9);
}
} // namespace
