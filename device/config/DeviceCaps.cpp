#include "DeviceCaps.h"

#include <algorithm>

std::int32_t ValueRange::Clamp(std::int64_t value) const
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, min, max));
}

bool DeviceCaps::IsOfferedStandard(LONG standard)
{
    // Exactly one of the offered bits.
    return standard != 0 && (standard & ~kStandards) == 0 && (standard & (standard - 1)) == 0;
}

bool DeviceCaps::IsPal(LONG standard)
{
    return (standard & AnalogVideo_PAL_Mask) != 0;
}

const std::vector<FrameSize>& DeviceCaps::FrameSizes(LONG standard) const
{
    return IsPal(standard) ? palSizes : ntscSizes;
}

std::optional<FrameSize> DeviceCaps::SizeForStandard(LONG standard, FrameSize size) const
{
    const std::vector<FrameSize>& wanted = FrameSizes(standard);
    if (std::find(wanted.begin(), wanted.end(), size) != wanted.end())
        return size;
    const std::vector<FrameSize>& other = IsPal(standard) ? ntscSizes : palSizes;
    const auto found = std::find(other.begin(), other.end(), size);
    const auto position = static_cast<std::size_t>(found - other.begin());
    if (found == other.end() || position >= wanted.size())
        return std::nullopt;
    return wanted[position];
}

FrameSize DeviceCaps::SizeOrFirst(LONG standard, FrameSize size) const
{
    return SizeForStandard(standard, size).value_or(FrameSizes(standard).front());
}

bool DeviceCaps::IsOfferedRate(std::uint32_t sampleRate) const
{
    return std::find(sampleRates.begin(), sampleRates.end(), sampleRate) != sampleRates.end();
}

std::optional<ProcAmpRange> DeviceCaps::ProcAmpRangeOf(LONG property) const
{
    if (property < 0 || property >= kProcAmpCount)
        return std::nullopt;
    const auto index = static_cast<std::size_t>(property);
    const ValueRange range = procAmp[index];
    return ProcAmpRange{range.min, range.max, 1, range.Clamp(kProcAmpDefaults[index])};
}
