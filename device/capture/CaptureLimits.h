#pragma once
// What the capture source can encode. A setting outside these is refused with a
// reason; the device brings its knobs within them before it asks for a capture.

#include "CaptureSource.h"

#include <cstdint>
#include <string>

namespace CaptureLimits
{
struct Range
{
    std::int32_t min;
    std::int32_t max;
    std::int32_t defaultValue;
};

// The picture amplifier's ranges and defaults; the defaults give a neutral picture.
inline constexpr Range kBrightness{0, 255, 40};
inline constexpr Range kContrast{0, 127, 20};
inline constexpr Range kHue{0, 127, 0};
inline constexpr Range kSaturation{0, 127, 44};
inline constexpr Range kSharpness{1, 15, 1};

// Video bit rate in bit/s: MPEG-2 main profile at main level carries at most 15 Mbit/s.
inline constexpr std::int32_t kMinBitRate = 100000;
inline constexpr std::int32_t kMaxBitRate = 15000000;
inline constexpr Range kBitRates{kMinBitRate, kMaxBitRate, kMinBitRate};
// Volume gain in dB: from below the 16-bit noise floor to a gain that clips the tone.
inline constexpr std::int32_t kMinVolume = -96;
inline constexpr std::int32_t kMaxVolume = 24;
inline constexpr Range kVolumes{kMinVolume, kMaxVolume, 0};
// Smallest picture the encoder takes; the largest is 720 by the standard's lines.
inline constexpr std::int32_t kMinSide = 16;
inline constexpr std::int32_t kMaxWidth = 720;
} // namespace CaptureLimits

// Each check returns an empty string when its group of settings can be captured, else
// what is wrong, worded for a user. The groups are those that change together.
std::string CheckStreamFormat(const CaptureSettings& settings); // standard, size, sampleRate
std::string CheckBitRates(const CaptureSettings& settings);     // bitRate, peakBitRate, vbr
std::string CheckPicture(const CaptureSettings& settings);      // the amplifier, input
std::string CheckSound(const CaptureSettings& settings);        // volume
// All of the above, the first failure first.
std::string CheckCaptureSettings(const CaptureSettings& settings);
