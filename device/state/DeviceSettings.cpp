#include "DeviceSettings.h"

#include "CaptureSource.h"

CaptureSettings ToCaptureSettings(const DeviceSettings& settings, const std::string& deviceName,
                                  const std::string& sourceFile)
{
    CaptureSettings capture;
    capture.standard = settings.standard;
    capture.width = static_cast<std::int32_t>(settings.width);
    capture.height = static_cast<std::int32_t>(settings.height);
    capture.mpeg1 = settings.mpeg1;
    capture.bitRate = settings.bitRate;
    capture.peakBitRate = settings.peakBitRate;
    capture.vbr = settings.vbr;
    capture.sampleRate = settings.sampleRate;
    capture.volume = settings.volume;
    capture.mute = settings.mute;
    capture.byteSwap = settings.byteSwap;
    capture.brightness = settings.procAmp[VideoProcAmp_Brightness];
    capture.contrast = settings.procAmp[VideoProcAmp_Contrast];
    capture.hue = settings.procAmp[VideoProcAmp_Hue];
    capture.saturation = settings.procAmp[VideoProcAmp_Saturation];
    capture.sharpness = settings.procAmp[VideoProcAmp_Sharpness];
    capture.adjustPicture = !settings.passthrough;
    capture.input = settings.input;
    capture.deviceName = deviceName;
    capture.sourceFile = sourceFile;
    return capture;
}
