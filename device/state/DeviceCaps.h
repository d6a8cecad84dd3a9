#pragma once
// What the virtual device offers: frame sizes per video standard, audio sampling
// rates, the bit-rate and volume ranges and the video processing amplifier's ranges.

#include <dshow/DeviceControl.h>

#include <array>
#include <cstdint>
#include <optional>
#include <span>

struct FrameSize
{
    std::uint32_t width;
    std::uint32_t height;
    bool operator==(const FrameSize&) const = default;
};

struct ProcAmpRange
{
    LONG min;
    LONG max;
    LONG step;
    LONG defaultValue;
};

namespace DeviceCaps
{
inline constexpr std::int32_t kBitRateMin = 2000000;
inline constexpr std::int32_t kBitRateMax = 10000000;
inline constexpr std::int32_t kVolumeMin = -50;
inline constexpr std::int32_t kVolumeMax = 50;
inline constexpr std::array<std::uint32_t, 3> kSampleRates = {32000, 44100, 48000};
// The standards put_TVFormat accepts.
inline constexpr LONG kStandards =
    AnalogVideo_NTSC_M | AnalogVideo_PAL_B | AnalogVideo_PAL_D | AnalogVideo_PAL_G;
inline constexpr int kProcAmpCount = 5; // brightness, contrast, hue, saturation, sharpness

bool IsOfferedStandard(LONG standard);
bool IsPal(LONG standard);
// The frame sizes of a standard, largest first; the same position in both lists is
// the same kind of size (full, 704, half width, half height, 320).
std::span<const FrameSize> FrameSizes(LONG standard);
// The size as the standard has it: itself when the standard lists it, the size at the
// same position when the other standard lists it (720x480 is 720x576 in PAL), else none.
std::optional<FrameSize> SizeForStandard(LONG standard, FrameSize size);
bool IsOfferedRate(std::uint32_t sampleRate);
// Null for a property the device does not have.
const ProcAmpRange* ProcAmpRangeOf(LONG property);
} // namespace DeviceCaps
