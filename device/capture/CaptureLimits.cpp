#include "CaptureLimits.h"

#include "VideoStandard.h"

namespace
{
std::string CheckRange(const char* name, std::int32_t value, CaptureLimits::Range range)
{
    if (value >= range.min && value <= range.max)
        return {};
    return std::string(name) + " " + std::to_string(value) + " is outside " +
           std::to_string(range.min) + " to " + std::to_string(range.max);
}

std::string Size(std::int32_t width, std::int32_t height)
{
    return std::to_string(width) + "x" + std::to_string(height);
}
} // namespace

std::string CheckStreamFormat(const CaptureSettings& settings)
{
    const VideoStandard* pStandard = FindVideoStandard(settings.standard);
    if (!pStandard)
        return "video standard " + std::to_string(settings.standard) +
               " is none of NTSC (1) and PAL (16, 32, 64)";
    using namespace CaptureLimits;
    if (settings.width < kMinSide || settings.width > kMaxWidth || settings.height < kMinSide ||
        settings.height > pStandard->lines || settings.width % 2 || settings.height % 2)
        return "frame size " + Size(settings.width, settings.height) +
               " is not an even size from " + Size(kMinSide, kMinSide) + " to " +
               Size(kMaxWidth, pStandard->lines) + " for " + pStandard->name;
    if (settings.sampleRate != 32000 && settings.sampleRate != 44100 &&
        settings.sampleRate != 48000)
        return "sampling rate " + std::to_string(settings.sampleRate) +
               " Hz is none of 32000, 44100 and 48000";
    return {};
}

std::string CheckBitRates(const CaptureSettings& settings)
{
    using namespace CaptureLimits;
    std::string problem = CheckRange("bit rate", settings.bitRate, kBitRates);
    if (problem.empty() && settings.vbr)
        problem = CheckRange("peak bit rate", settings.peakBitRate, kBitRates);
    if (problem.empty() && settings.vbr && settings.peakBitRate < settings.bitRate)
        problem = "peak bit rate " + std::to_string(settings.peakBitRate) +
                  " is below the bit rate " + std::to_string(settings.bitRate);
    return problem;
}

std::string CheckPicture(const CaptureSettings& settings)
{
    using namespace CaptureLimits;
    for (std::string problem : {CheckRange("brightness", settings.brightness, kBrightness),
                                CheckRange("contrast", settings.contrast, kContrast),
                                CheckRange("hue", settings.hue, kHue),
                                CheckRange("saturation", settings.saturation, kSaturation),
                                CheckRange("sharpness", settings.sharpness, kSharpness),
                                CheckRange("input", settings.input, {0, 1, 0})})
        if (!problem.empty())
            return problem;
    return {};
}

std::string CheckSound(const CaptureSettings& settings)
{
    using namespace CaptureLimits;
    return CheckRange("volume", settings.volume, kVolumes);
}

std::string CheckCaptureSettings(const CaptureSettings& settings)
{
    for (std::string problem : {CheckStreamFormat(settings), CheckBitRates(settings),
                                CheckPicture(settings), CheckSound(settings)})
        if (!problem.empty())
            return problem;
    return {};
}
