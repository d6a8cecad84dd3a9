#include "DeviceCaps.h"

#include <algorithm>

namespace
{
constexpr std::array<FrameSize, 5> kNtscSizes = {
    {{720, 480}, {704, 480}, {352, 480}, {352, 240}, {320, 240}}};
constexpr std::array<FrameSize, 5> kPalSizes = {
    {{720, 576}, {704, 576}, {352, 576}, {352, 288}, {320, 288}}};

constexpr std::array<ProcAmpRange, DeviceCaps::kProcAmpCount> kProcAmpRanges = {{
    {0, 255, 1, 40}, // brightness
    {0, 127, 1, 20}, // contrast
    {0, 127, 1, 0},  // hue
    {0, 127, 1, 44}, // saturation
    {1, 15, 1, 1},   // sharpness
}};
} // namespace

namespace DeviceCaps
{

bool IsOfferedStandard(LONG standard)
{
    // Exactly one of the offered bits.
    return standard != 0 && (standard & ~kStandards) == 0 && (standard & (standard - 1)) == 0;
}

bool IsPal(LONG standard)
{
    return (standard & AnalogVideo_PAL_Mask) != 0;
}

std::span<const FrameSize> FrameSizes(LONG standard)
{
    return IsPal(standard) ? std::span<const FrameSize>(kPalSizes)
                           : std::span<const FrameSize>(kNtscSizes);
}

std::optional<FrameSize> SizeForStandard(LONG standard, FrameSize size)
{
    const std::span<const FrameSize> wanted = FrameSizes(standard);
    for (const std::span<const FrameSize> sizes :
         {std::span<const FrameSize>(kNtscSizes), std::span<const FrameSize>(kPalSizes)})
    {
        const auto found = std::find(sizes.begin(), sizes.end(), size);
        if (found != sizes.end())
            return wanted[static_cast<std::size_t>(found - sizes.begin())];
    }
    return std::nullopt;
}

bool IsOfferedRate(std::uint32_t sampleRate)
{
    return std::find(kSampleRates.begin(), kSampleRates.end(), sampleRate) != kSampleRates.end();
}

const ProcAmpRange* ProcAmpRangeOf(LONG property)
{
    if (property < 0 || property >= kProcAmpCount)
        return nullptr;
    return &kProcAmpRanges[static_cast<std::size_t>(property)];
}

} // namespace DeviceCaps
