#include "c3stream/buffer_rw.h"
#include "c3stream/timestamps.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
using Bytes = std::vector<std::uint8_t>;

template <class TTime> Bytes WriteTime(const TTime& time, std::size_t cb)
{
    Bytes bytes(cb + 1, 0xEE);
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
    EXPECT_FALSE(reader.HasData());
    return time;
}

TEST(SecondsTime, TickCountForm)
{
    EXPECT_EQ(WriteTime(CSecondsTime(1.0), 4), (Bytes{0x00, 0x01, 0x5F, 0x90}));
    EXPECT_EQ(WriteTime(CSecondsTime(0.5), 4), (Bytes{0x00, 0x00, 0xAF, 0xC8}));
    EXPECT_DOUBLE_EQ(ReadTime<CSecondsTime>({0x00, 0x01, 0x5F, 0x90}).m_dSeconds, 1.0);
    // 2^32 ticks wrap to 0; 2^32 + 90000 ticks wrap to one second.
    EXPECT_EQ(WriteTime(CSecondsTime(4294967296.0 / 90000), 4), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(WriteTime(CSecondsTime(4295057296.0 / 90000), 4), (Bytes{0x00, 0x01, 0x5F, 0x90}));
    // Times outside the range do not reach an undefined conversion.
    EXPECT_EQ(WriteTime(CSecondsTime(-1.0), 4).size(), 4u);
    EXPECT_EQ(WriteTime(CSecondsTime(1e300), 4).size(), 4u);
}

TEST(SecondsTime, TickCountsSurviveReadThenWrite)
{
    // A header read and written back must keep its count, also where n / 90000 * 90000 lands
    // just below n in floating point.
    for (std::uint32_t n = 0; n < 300000; n += 7)
    {
        for (std::uint32_t nTicks : {n, 0xFFFFFFFFu - n})
        {
            const Bytes bytes{
                static_cast<std::uint8_t>(nTicks >> 24), static_cast<std::uint8_t>(nTicks >> 16),
                static_cast<std::uint8_t>(nTicks >> 8), static_cast<std::uint8_t>(nTicks)};
            ASSERT_EQ(WriteTime(ReadTime<CSecondsTime>(bytes), 4), bytes) << nTicks;
        }
    }
}

TEST(SecondsTime, AudioFormRoundTripsToTwoTicks)
{
    const double timesInTicks[] = {
        0,           1, 2, 90000, 90001, 4294967295.0, 4294967296.0, 4294967297.0, 6000000000.5,
        8589934591.0};
    for (double dTicks : timesInTicks)
    {
        Bytes bytes(8);
        CBufferWriter writer(bytes.data(), bytes.size());
        CSecondsTime(dTicks / 90000).WriteAudioTime(writer);
        EXPECT_FALSE(writer.HasData());
        EXPECT_EQ(bytes[4], dTicks >= 4294967296.0 ? 0x80 : 0x00);
        if (dTicks == 90000)
        {
            EXPECT_EQ(bytes, (Bytes{0x00, 0x00, 0xAF, 0xC8, 0, 0, 0, 0}));
        }

        CBufferReader reader(bytes.data(), bytes.size());
        CSecondsTime readBack;
        readBack.ReadAudioTime(reader);
        EXPECT_NEAR(readBack.m_dSeconds * 90000, dTicks, 1.999) << dTicks;
        EXPECT_LE(readBack.m_dSeconds * 90000, dTicks);
    }
}

TEST(PesTime, PtsAndDtsForm)
{
    CPesTime pts;
    pts.SetPrefix(0x2);
    pts.m_dSeconds = 1.0;
    EXPECT_EQ(WriteTime(pts, 5), (Bytes{0x21, 0x00, 0x05, 0xBF, 0x21}));
    const CPesTime readBack = ReadTime<CPesTime>({0x21, 0x00, 0x05, 0xBF, 0x21});
    EXPECT_EQ(readBack.m_byPrefix, 0x2);
    EXPECT_DOUBLE_EQ(readBack.m_dSeconds, 1.0);

    // Bit 32 of the count is kept in this form.
    pts.m_dSeconds = 4294967296.0 / 90000;
    const Bytes wrapped = WriteTime(pts, 5);
    EXPECT_EQ(wrapped, (Bytes{0x29, 0x00, 0x01, 0x00, 0x01}));
    EXPECT_DOUBLE_EQ(ReadTime<CPesTime>(wrapped).m_dSeconds * 90000, 4294967296.0);
}

TEST(EscrTime, BaseAndExtension)
{
    CEscrTime escr;
    escr.m_byReserved = 3;
    escr.m_dSeconds = 1.0;
    // Base 90000 with marker bits, extension 0, final marker.
    const Bytes bytes = WriteTime(escr, 6);
    EXPECT_EQ(bytes, (Bytes{0xC4, 0x00, 0x16, 0xFC, 0x84, 0x01}));
    EXPECT_DOUBLE_EQ(ReadTime<CEscrTime>(bytes).m_dSeconds, 1.0);

    // A 27 MHz count with a remainder: 1 s + 150 ticks of 27 MHz.
    escr.m_dSeconds = 1.0 + 150.0 / 27000000;
    const CEscrTime fine = ReadTime<CEscrTime>(WriteTime(escr, 6));
    EXPECT_NEAR(fine.m_dSeconds, escr.m_dSeconds, 1e-9);
    EXPECT_EQ(fine.m_byReserved, 3);
}
} // namespace
