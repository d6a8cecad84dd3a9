#pragma once

#include <cstdint>

class CBufferReader;
class CBufferWriter;

// Clock rates of the wire forms: the 90 kHz system clock base and the 27 MHz clock.
inline constexpr double kTicksPerSecond = 90000.0;
inline constexpr double kEscrTicksPerSecond = 27000000.0;

// A time in seconds, on the wire a count of 90 kHz ticks.
class CSecondsTime
{
public:
    CSecondsTime() = default;
    explicit CSecondsTime(double dSeconds) : m_dSeconds(dSeconds) {}

    // The 4-byte form: the tick count modulo 2^32, big-endian.
    void Read(CBufferReader& reader);
    void Write(CBufferWriter& writer) const;

    // The 8-byte audio frame form: count bits 31..1 as one word (its top bit 0), then bit 32 as
    // the top bit of a second word. Bit 0 is not stored, and the fraction of a tick is cut, so
    // a time read back lies less than 2 ticks below the one written.
    void ReadAudioTime(CBufferReader& reader);
    void WriteAudioTime(CBufferWriter& writer) const;

    double m_dSeconds = 0.0;
};

// PES PTS or DTS: a 4-bit prefix, then the 33-bit tick count split by marker bits (5 bytes).
class CPesTime
{
public:
    void Read(CBufferReader& reader);
    void Write(CBufferWriter& writer) const;
    void SetPrefix(std::uint8_t byPrefix) { m_byPrefix = byPrefix; }

    std::uint8_t m_byPrefix = 0;
    double m_dSeconds = 0.0;
};

// PES ESCR: 2 reserved bits, the 33-bit base and the 9-bit 27 MHz extension (6 bytes).
class CEscrTime
{
public:
    void Read(CBufferReader& reader);
    void Write(CBufferWriter& writer) const;

    std::uint8_t m_byReserved = 0;
    double m_dSeconds = 0.0;
};
