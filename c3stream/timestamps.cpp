#include "c3stream/timestamps.h"

#include "c3stream/buffer_rw.h"

#include <cmath>

namespace
{
constexpr double kTwoPow32 = 4294967296.0;

// A tick count as the writers store it: the low 32 bits, and bit 32 set only when the count
// lies in [2^32, 2^33).
struct CTickCount
{
    std::uint32_t nLow = 0;
    std::uint32_t nBit32 = 0;
};

// The integer part of a value in [0, 2^32). Negative, infinite and NaN values lie outside the
// supported range; they give 0 rather than a conversion with undefined behaviour.
std::uint32_t IntegerPart(double dValue)
{
    if (!(dValue >= 0.0) || !std::isfinite(dValue))
        return 0;
    return static_cast<std::uint32_t>(std::fmin(dValue, kTwoPow32 - 1.0));
}

// A time read from n ticks is n / rate, and multiplying back can land a hair below n (for about
// one count in twelve), so a header read and written again would lose a tick. Values within
// rounding error of an integer are taken as that integer before the integer part is cut.
double SnapToInteger(double dValue)
{
    const double dNearest = std::round(dValue);
    return std::fabs(dValue - dNearest) <= std::fabs(dNearest) * 1e-12 ? dNearest : dValue;
}

CTickCount ToTicks(double dSeconds)
{
    const double dTicks = SnapToInteger(dSeconds * kTicksPerSecond);
    if (!std::isfinite(dTicks))
        return {};
    const double dHigh = std::floor(dTicks / kTwoPow32);
    return {IntegerPart(dTicks - dHigh * kTwoPow32), dHigh == 1.0 ? 1u : 0u};
}

// The 33-bit count as three fields with a marker bit after each: bits 32-30, 29-15, 14-0.
void WriteMarkedCount(CBufferWriter& writer, const CTickCount& ticks)
{
    writer.WriteBits((ticks.nBit32 << 2) | (ticks.nLow >> 30), 3);
    writer.WriteBit(1);
    writer.WriteBits((ticks.nLow >> 15) & 0x7FFF, 15);
    writer.WriteBit(1);
    writer.WriteBits(ticks.nLow & 0x7FFF, 15);
    writer.WriteBit(1);
}

// The markers are read and not checked.
double ReadMarkedCount(CBufferReader& reader)
{
    const double dHigh = reader.ReadBits(3);
    reader.ReadBit();
    const double dMiddle = reader.ReadBits(15);
    reader.ReadBit();
    const double dLow = reader.ReadBits(15);
    reader.ReadBit();
    return dHigh * 1073741824.0 + dMiddle * 32768.0 + dLow;
}
} // namespace

// CSecondsTime

void CSecondsTime::Read(CBufferReader& reader)
{
    m_dSeconds = reader.ReadBytes(4) / kTicksPerSecond;
}

void CSecondsTime::Write(CBufferWriter& writer) const
{
    const std::uint32_t nLow = ToTicks(m_dSeconds).nLow;
    writer.WriteBits(nLow >> 30, 2);
    writer.WriteBits((nLow >> 15) & 0x7FFF, 15);
    writer.WriteBits(nLow & 0x7FFF, 15);
}

void CSecondsTime::ReadAudioTime(CBufferReader& reader)
{
    // Inverse of WriteAudioTime: the first word holds bits 31..1 of the count (its own top
    // bit is always 0), the second word's top bit is bit 32.
    const std::uint64_t nWord1 = reader.ReadBytes(4) & 0x7FFFFFFFu;
    const std::uint64_t nBit32 = reader.ReadBytes(4) >> 31;
    m_dSeconds = static_cast<double>((nBit32 << 32) | (nWord1 << 1)) / kTicksPerSecond;
}

void CSecondsTime::WriteAudioTime(CBufferWriter& writer) const
{
    const CTickCount ticks = ToTicks(m_dSeconds);
    writer.WriteBytes(ticks.nLow >> 1, 4);
    writer.WriteBit(ticks.nBit32);
    writer.AlignWrite();
    writer.WriteBytes(0, 3);
}

// CPesTime

void CPesTime::Read(CBufferReader& reader)
{
    m_byPrefix = static_cast<std::uint8_t>(reader.ReadBits(4));
    m_dSeconds = ReadMarkedCount(reader) / kTicksPerSecond;
}

void CPesTime::Write(CBufferWriter& writer) const
{
    writer.WriteBits(m_byPrefix & 0xFu, 4);
    WriteMarkedCount(writer, ToTicks(m_dSeconds));
}

// CEscrTime

void CEscrTime::Read(CBufferReader& reader)
{
    m_byReserved = static_cast<std::uint8_t>(reader.ReadBits(2));
    const double dBase = ReadMarkedCount(reader);
    const double dExtension = reader.ReadBits(9);
    reader.ReadBit();
    m_dSeconds = dBase / kTicksPerSecond + dExtension / kEscrTicksPerSecond;
}

void CEscrTime::Write(CBufferWriter& writer) const
{
    writer.WriteBits(m_byReserved & 0x3u, 2);
    WriteMarkedCount(writer, ToTicks(m_dSeconds));
    // The part of the 27 MHz count below one 90 kHz tick, cut to 16 bits.
    const double dFine = SnapToInteger(m_dSeconds * kEscrTicksPerSecond);
    const double dExtension = dFine - std::floor(dFine / 300.0) * 300.0;
    writer.WriteBits(IntegerPart(dExtension) & 0x1FFu, 9);
    writer.WriteBit(1);
}
