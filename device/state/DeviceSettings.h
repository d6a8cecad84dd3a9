#pragma once
// The settings of one virtual device, as it keeps them between binds and processes,
// with the defaults of a device used for the first time (brought within what the
// device offers, SettingsRules::FitToCaps).

#include "DeviceCaps.h"

#include <array>
#include <cstdint>
#include <string>

struct CaptureSettings;

struct DeviceSettings
{
    LONG standard = AnalogVideo_NTSC_M;
    std::uint32_t width = 720;
    std::uint32_t height = 480;
    bool mpeg1 = false;
    std::int32_t bitRate = 4200000;
    std::int32_t peakBitRate = 6000000;
    bool vbr = true;
    std::uint32_t sampleRate = 48000;
    bool byteSwap = false; // LPCM samples little-endian (PCM byte order) instead of big-endian
    bool pesHeader = true;
    std::int32_t volume = 0;
    bool mute = false;
    LONG input = 0; // 0 Composite, 1 S-Video
    // Indexed by VideoProcAmp_Brightness .. VideoProcAmp_Sharpness.
    std::array<LONG, DeviceCaps::kProcAmpCount> procAmp = DeviceCaps::kProcAmpDefaults;
    bool passthrough = false; // the picture skips the amplifier until its next Set

    bool operator==(const DeviceSettings&) const = default;
};

// What the capture source needs of the settings, for the device of that name. The
// knobs are brought within what the source takes, as a knob of hardware stops at its
// end: the device's volume range reaches +50 dB, the source's gain +24 dB, where the
// tone clips already; a configured range may reach further still.
CaptureSettings ToCaptureSettings(const DeviceSettings& settings, const std::string& deviceName,
                                  const std::string& sourceFile);
