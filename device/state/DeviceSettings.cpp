#include "DeviceSettings.h"

#include "CaptureLimits.h"

#include <algorithm>

namespace
{
std::int32_t Within(std::int32_t value, CaptureLimits::Range range)
{
    return std::clamp(value, range.min, range.max);
}
} // namespace

CaptureSettings ToCaptureSettings(const DeviceSettings& settings, const std::string& deviceName,
                                  const std::string& sourceFile)
{
    CaptureSettings capture;
    capture.standard = settings.standard;
    capture.width = static_cast<std::int32_t>(settings.width);
    capture.height = static_cast<std::int32_t>(settings.height);
    capture.mpeg1 = settings.mpeg1;
    capture.bitRate = Within(settings.bitRate, CaptureLimits::kBitRates);
    capture.peakBitRate = Within(settings.peakBitRate, CaptureLimits::kBitRates);
    capture.vbr = settings.vbr;
    capture.sampleRate = settings.sampleRate;
    capture.volume = Within(settings.volume, CaptureLimits::kVolumes);
    capture.mute = settings.mute;
    capture.byteSwap = settings.byteSwap;
    capture.brightness =
        Within(settings.procAmp[VideoProcAmp_Brightness], CaptureLimits::kBrightness);
    capture.contrast = Within(settings.procAmp[VideoProcAmp_Contrast], CaptureLimits::kContrast);
    capture.hue = Within(settings.procAmp[VideoProcAmp_Hue], CaptureLimits::kHue);
    capture.saturation =
        Within(settings.procAmp[VideoProcAmp_Saturation], CaptureLimits::kSaturation);
    capture.sharpness = Within(settings.procAmp[VideoProcAmp_Sharpness], CaptureLimits::kSharpness);
    capture.adjustPicture = !settings.passthrough;
    capture.input = settings.input;
    capture.deviceName = deviceName;
    capture.sourceFile = sourceFile;
    return capture;
}
