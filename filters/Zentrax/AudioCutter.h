#pragma once

#include "UnitStore.h"

#include <cstddef>
#include <cstdint>

// Cuts 48 kHz 16-bit stereo PCM into output units of a fixed length, one video frame's share
// of audio or a part of it, each stamped with the next span of the running audio clock,
// whatever times the input carried. In the system's own format each unit is an audio frame: a
// 24-byte 0xDEADCAFE header, then the PCM with its 16-bit words made big-endian. In PCM format
// the units hold the input bytes unchanged.
//
// At 29.97 frames per second a unit of 800 stereo samples lasts 16.6833 ms, while 48 kHz
// delivers 800.8 samples in that time; dropping 48 stereo samples (192 bytes) after every 60
// own-format units keeps the audio in step with the video.
class AudioCutter
{
public:
    enum class Format
    {
        OwnUnits,
        Pcm,
    };

    static constexpr std::size_t kFrameHeaderLength = 24;

    // Sets the unit length for video of the given frame rate: 1920 PCM bytes (10 ms) below
    // 29 frames per second, else 3200. It stays until Restart.
    void ChooseUnit(double dFrameRate, Format format);
    bool HasUnit() const { return m_cbUnit != 0; }
    // Whole unit, header included.
    std::size_t UnitLength() const { return m_cbUnit; }

    // Cuts one input sample into units: full ones are completed, a partly filled one is kept
    // open for the next input. False when the store could give no unit; what was cut so far
    // stays in the store.
    bool Cut(const std::uint8_t* pData, std::size_t cbData, IUnitStore& store);

    // Back to clock 0 with the unit length to be chosen again. The drift count and the bytes
    // still to drop run on.
    void Restart();

private:
    bool IsOwnFormat() const { return m_format == Format::OwnUnits; }
    // Drops input bytes still owed to the drift correction.
    void SkipCarry(const std::uint8_t*& pData, std::size_t& cbData);
    // The open unit, or a fresh one stamped with the next clock span.
    bool TakeUnit(IUnitStore& store, UnitBuffer& unit);
    void WriteFrameHeader(UnitBuffer& unit) const;
    void CompleteUnit(UnitBuffer& unit, IUnitStore& store);

    Format m_format = Format::OwnUnits;
    std::size_t m_cbUnit = 0;
    std::int64_t m_rtStep = 0;
    bool m_bDriftCorrection = false;
    std::uint32_t m_nUnits = 0;
    std::size_t m_cbSkipCarry = 0;
    std::int64_t m_rtClock = 0;
};

// Swaps the two bytes of every 16-bit word from nOffset to the end of the unit's data; a
// trailing odd byte stays.
void SwapBytes16(UnitBuffer& unit, std::size_t nOffset);
