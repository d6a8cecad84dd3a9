#include "AudioCutter.h"

#include "c3stream/buffer_rw.h"
#include "c3stream/es_audio.h"

#include <algorithm>
#include <cstring>

namespace
{
// Below this rate units hold 4 per video frame, from it on 2.
constexpr double kTwoUnitRate = 29.0;
constexpr std::size_t kPcmBytesForFour = 1920;
constexpr std::int64_t kDurationForFour = 100000;
constexpr std::size_t kPcmBytesForTwo = 3200;
constexpr std::int64_t kDurationForTwo = 166833;

constexpr std::uint32_t kUnitsPerCorrection = 60;
constexpr std::size_t kCorrectionBytes = 192;

// Fixed fields of the audio frame header: 2 channels of 16 bits.
constexpr std::uint8_t kHeaderChannels = 2;
constexpr std::uint8_t kHeaderBitsPerSample = 16;

constexpr double kSecondsPerTick = 1e-7;
} // namespace

void AudioCutter::ChooseUnit(double dFrameRate, Format format)
{
    const bool bTwoUnits = dFrameRate >= kTwoUnitRate;
    m_format = format;
    m_cbUnit =
        (bTwoUnits ? kPcmBytesForTwo : kPcmBytesForFour) + (IsOwnFormat() ? kFrameHeaderLength : 0);
    m_rtStep = bTwoUnits ? kDurationForTwo : kDurationForFour;
    m_bDriftCorrection = dFrameRate > kTwoUnitRate;
}

void AudioCutter::Restart()
{
    m_rtClock = 0;
    m_cbUnit = 0;
}

bool AudioCutter::Cut(const std::uint8_t* pData, std::size_t cbData, IUnitStore& store)
{
    while (cbData > 0)
    {
        if (IsOwnFormat())
        {
            SkipCarry(pData, cbData);
            if (cbData == 0)
                break;
        }
        UnitBuffer unit;
        if (!TakeUnit(store, unit))
            return false;
        if (IsOwnFormat() && unit.cbActual == 0)
            WriteFrameHeader(unit);

        const std::size_t cbCopy = std::min(m_cbUnit - unit.cbActual, cbData);
        std::memcpy(unit.pData + unit.cbActual, pData, cbCopy);
        unit.cbActual += cbCopy;
        pData += cbCopy;
        cbData -= cbCopy;

        if (unit.cbActual < m_cbUnit)
            store.KeepOpen(unit);
        else
            CompleteUnit(unit, store);
    }
    return true;
}

// A carry longer than the input drops the whole input and carries the rest on.
void AudioCutter::SkipCarry(const std::uint8_t*& pData, std::size_t& cbData)
{
    const std::size_t cbSkip = std::min(m_cbSkipCarry, cbData);
    pData += cbSkip;
    cbData -= cbSkip;
    m_cbSkipCarry -= cbSkip;
}

// An open unit that does not fit the current unit length (left from before a restart) is
// dropped.
bool AudioCutter::TakeUnit(IUnitStore& store, UnitBuffer& unit)
{
    if (store.TakeOpen(unit))
    {
        if (unit.cbActual < m_cbUnit)
            return true;
        store.Discard();
    }
    const UnitTimes times{m_rtClock, m_rtClock + m_rtStep};
    if (!store.TakeFresh(unit, times))
        return false;
    m_rtClock = times.rtStop;
    return true;
}

void AudioCutter::WriteFrameHeader(UnitBuffer& unit) const
{
    CAudioFrameHeader header;
    header.m_time.m_dSeconds = static_cast<double>(unit.rtStart) * kSecondsPerTick;
    header.m_byParam1 = kHeaderChannels;
    header.m_byParam2 = kHeaderBitsPerSample;
    header.m_byParam3 = 0;
    header.m_cbPayloadLength = static_cast<std::uint32_t>(m_cbUnit - kFrameHeaderLength);
    CBufferWriter writer(unit.pData, m_cbUnit);
    header.Write(writer);
    unit.cbActual = kFrameHeaderLength;
}

void AudioCutter::CompleteUnit(UnitBuffer& unit, IUnitStore& store)
{
    if (IsOwnFormat())
    {
        SwapBytes16(unit, kFrameHeaderLength);
        if (m_bDriftCorrection && ++m_nUnits == kUnitsPerCorrection)
        {
            m_nUnits = 0;
            m_cbSkipCarry = kCorrectionBytes;
        }
    }
    store.Complete(unit);
}

// Word by word through memcpy, over locals: bytes may alias the unit's length, and a loop
// whose bound could change as it stores is not vectorised.
void SwapBytes16(UnitBuffer& unit, std::size_t nOffset)
{
    std::uint8_t* const pData = unit.pData;
    const std::size_t cbEnd = unit.cbActual;
    for (std::size_t i = nOffset; i + 1 < cbEnd; i += 2)
    {
        std::uint16_t nWord;
        std::memcpy(&nWord, pData + i, sizeof(nWord));
        nWord = static_cast<std::uint16_t>(nWord << 8 | nWord >> 8);
        std::memcpy(pData + i, &nWord, sizeof(nWord));
    }
}
