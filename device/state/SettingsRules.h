#pragma once
// How the device takes a new value, given what it offers (DeviceCaps): each rule
// changes the settings only when it accepts the value, so a refused Set leaves the
// device as it was.
//
// - Values the device needs to stream are refused when they are zero or out of
//   place: a bit rate of 0 or less, a peak bit rate of 0 or less with VBR, a frame
//   size in neither standard's list (0x0 included), a sampling rate not offered, a
//   standard or input the device does not have, flags other than 0 and 1.
// - A frame size of the other standard's list is taken as its counterpart in the
//   current one (720x480 is 720x576 in PAL): a settings dialog that changed the
//   standard without reading the size back still sends the size it shows.
// - Knobs are clamped into their range: bit rates into the bit-rate range (the
//   peak never below the bit rate), the volume into the volume range, the amplifier
//   properties into theirs.
// - A new standard keeps the kind of frame size: 720x480 becomes 720x576.
// - Setting an amplifier property ends passthrough.

#include "DeviceSettings.h"

#include <cstdint>

// The fields of DEVICE_ENCODER_SETTINGS.
struct EncoderFields
{
    std::int32_t bitRate = 0;
    std::int32_t peakBitRate = 0;
    std::uint32_t vbr = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t mpeg1 = 0;
};

// The fields of DEVICE_AUDIO_SETTINGS.
struct AudioFields
{
    std::uint32_t sampleRate = 0;
    std::uint32_t byteSwap = 0;
    std::uint32_t pesHeader = 0;
};

namespace SettingsRules
{
EncoderFields EncoderFieldsOf(const DeviceSettings& settings);
AudioFields AudioFieldsOf(const DeviceSettings& settings);

bool ApplyEncoder(DeviceSettings& settings, const DeviceCaps& caps, const EncoderFields& fields);
bool ApplyAudio(DeviceSettings& settings, const DeviceCaps& caps, const AudioFields& fields);
bool ApplyVolume(DeviceSettings& settings, const DeviceCaps& caps, std::int64_t volume);
bool ApplyMute(DeviceSettings& settings, std::int64_t mute);
// False for a property the device does not have.
bool ApplyProcAmp(DeviceSettings& settings, const DeviceCaps& caps, LONG property,
                  std::int64_t value);
bool ApplyStandard(DeviceSettings& settings, const DeviceCaps& caps, LONG standard);
bool ApplyInput(DeviceSettings& settings, std::int64_t input);
void EnablePassthrough(DeviceSettings& settings);
// Brings settings made under other caps (the defaults, a configuration changed since)
// within these: a size or rate no longer offered becomes the first one offered, and
// the knobs are clamped into their ranges.
void FitToCaps(DeviceSettings& settings, const DeviceCaps& caps);
} // namespace SettingsRules
