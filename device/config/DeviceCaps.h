#pragma once
// What a virtual device offers: frame sizes per video standard, audio sampling rates,
// the bit-rate and volume ranges and the video processing amplifier's ranges. A device
// offers the defaults below unless its registry key configures others (CapsValues.h),
// and its settings rules (SettingsRules.h) take values from what it offers only.

#include <dshow/DeviceControl.h>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

struct FrameSize
{
    std::uint32_t width;
    std::uint32_t height;
    bool operator==(const FrameSize&) const = default;
};

struct ValueRange
{
    std::int32_t min;
    std::int32_t max;

    bool Contains(std::int64_t value) const { return value >= min && value <= max; }
    std::int32_t Clamp(std::int64_t value) const;
    bool operator==(const ValueRange&) const = default;
};

struct ProcAmpRange
{
    LONG min;
    LONG max;
    LONG step;
    LONG defaultValue;
};

struct DeviceCaps
{
    // The standards put_TVFormat accepts.
    static constexpr LONG kStandards =
        AnalogVideo_NTSC_M | AnalogVideo_PAL_B | AnalogVideo_PAL_D | AnalogVideo_PAL_G;
    static constexpr int kProcAmpCount = 5; // brightness, contrast, hue, saturation, sharpness
    // The amplifier's neutral values, each property's default within its range.
    static constexpr std::array<LONG, kProcAmpCount> kProcAmpDefaults = {40, 20, 0, 44, 1};

    static bool IsOfferedStandard(LONG standard);
    static bool IsPal(LONG standard);

    // The sizes of each standard, largest first; the same position in both lists is the
    // same kind of size (full, 704, half width, half height, 320).
    std::vector<FrameSize> ntscSizes = {{720, 480}, {704, 480}, {352, 480}, {352, 240}, {320, 240}};
    std::vector<FrameSize> palSizes = {{720, 576}, {704, 576}, {352, 576}, {352, 288}, {320, 288}};
    std::vector<std::uint32_t> sampleRates = {32000, 44100, 48000};
    ValueRange bitRates{2000000, 10000000};
    ValueRange volumes{-50, 50};
    // Indexed by VideoProcAmp_Brightness .. VideoProcAmp_Sharpness.
    std::array<ValueRange, kProcAmpCount> procAmp = {
        {{0, 255}, {0, 127}, {0, 127}, {0, 127}, {1, 15}}};

    const std::vector<FrameSize>& FrameSizes(LONG standard) const;
    // The size as the standard has it: itself when the standard lists it, the size at the
    // same position when the other standard lists it (720x480 is 720x576 in PAL), else none.
    std::optional<FrameSize> SizeForStandard(LONG standard, FrameSize size) const;
    // That size, or the standard's first when it has none for it.
    FrameSize SizeOrFirst(LONG standard, FrameSize size) const;
    bool IsOfferedRate(std::uint32_t sampleRate) const;
    // Null for a property the device does not have; the default is the neutral value
    // brought into the range.
    std::optional<ProcAmpRange> ProcAmpRangeOf(LONG property) const;

    bool operator==(const DeviceCaps&) const = default;
};
