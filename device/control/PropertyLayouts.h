#pragma once
// The byte layouts of the device's property buffers (DeviceControlProperties.h):
// writers fill a buffer's payload after the 24-byte header (reserved bytes zero,
// the header untouched); readers take the fields a Set carries. The caller has
// checked that the buffer is large enough.

#include "DeviceCounters.h"
#include "SettingsRules.h"

#include <cstdint>

namespace PropertyLayouts
{
void WriteEncoderSettings(std::uint8_t* pBuffer, const DeviceSettings& settings);
EncoderFields ReadEncoderSettings(const std::uint8_t* pBuffer);

// DEVICE_AUDIO_VOLUME and DEVICE_AUDIO_MUTE: one value.
void WriteAudioValue(std::uint8_t* pBuffer, std::int32_t value);
std::int32_t ReadAudioValue(const std::uint8_t* pBuffer);

void WriteAudioSettings(std::uint8_t* pBuffer, const DeviceSettings& settings);
AudioFields ReadAudioSettings(const std::uint8_t* pBuffer);

// The caps of the standard the device is set to. The counts are the full ones; the
// layouts hold the first 10 sizes and 3 rates.
void WriteEncoderCaps(std::uint8_t* pBuffer, const DeviceCaps& caps, LONG standard);
void WriteAudioCaps(std::uint8_t* pBuffer, const DeviceCaps& caps);

// KSPROPERTY_VIDEOPROCAMP_S: the value, set by hand (there is no automatic mode).
void WriteProcAmp(std::uint8_t* pBuffer, LONG value);
LONG ReadProcAmpValue(const std::uint8_t* pBuffer);

void WriteStatus(std::uint8_t* pBuffer, const DeviceCounters& counters);
} // namespace PropertyLayouts
