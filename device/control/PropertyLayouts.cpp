#include "PropertyLayouts.h"

#include "DeviceControlProperties.h"

#include <algorithm>
#include <cstring>

namespace
{
using namespace DeviceLayout;

void ClearPayload(std::uint8_t* pBuffer, std::size_t cbLayout)
{
    std::memset(pBuffer + kHeader, 0, cbLayout - kHeader);
}
} // namespace

namespace PropertyLayouts
{

void WriteEncoderSettings(std::uint8_t* pBuffer, const DeviceSettings& settings)
{
    ClearPayload(pBuffer, EncoderSettings::kSize);
    const EncoderFields fields = SettingsRules::EncoderFieldsOf(settings);
    WriteDeviceField(pBuffer, EncoderSettings::kBitRate, fields.bitRate);
    WriteDeviceField(pBuffer, EncoderSettings::kPeakBitRate, fields.peakBitRate);
    WriteDeviceField(pBuffer, EncoderSettings::kVbr, fields.vbr);
    WriteDeviceField(pBuffer, EncoderSettings::kWidth, fields.width);
    WriteDeviceField(pBuffer, EncoderSettings::kHeight, fields.height);
    WriteDeviceField(pBuffer, EncoderSettings::kMpeg1, fields.mpeg1);
}

EncoderFields ReadEncoderSettings(const std::uint8_t* pBuffer)
{
    return {ReadDeviceField<std::int32_t>(pBuffer, EncoderSettings::kBitRate),
            ReadDeviceField<std::int32_t>(pBuffer, EncoderSettings::kPeakBitRate),
            ReadDeviceField<std::uint32_t>(pBuffer, EncoderSettings::kVbr),
            ReadDeviceField<std::uint32_t>(pBuffer, EncoderSettings::kWidth),
            ReadDeviceField<std::uint32_t>(pBuffer, EncoderSettings::kHeight),
            ReadDeviceField<std::uint32_t>(pBuffer, EncoderSettings::kMpeg1)};
}

void WriteAudioValue(std::uint8_t* pBuffer, std::int32_t value)
{
    ClearPayload(pBuffer, AudioValue::kSize);
    WriteDeviceField(pBuffer, AudioValue::kValue, value);
}

std::int32_t ReadAudioValue(const std::uint8_t* pBuffer)
{
    return ReadDeviceField<std::int32_t>(pBuffer, AudioValue::kValue);
}

void WriteAudioSettings(std::uint8_t* pBuffer, const DeviceSettings& settings)
{
    ClearPayload(pBuffer, AudioSettings::kSize);
    const AudioFields fields = SettingsRules::AudioFieldsOf(settings);
    WriteDeviceField(pBuffer, AudioSettings::kSampleRate, fields.sampleRate);
    WriteDeviceField(pBuffer, AudioSettings::kByteSwap, static_cast<std::uint8_t>(fields.byteSwap));
    WriteDeviceField(pBuffer, AudioSettings::kPesHeader,
                     static_cast<std::uint8_t>(fields.pesHeader));
}

AudioFields ReadAudioSettings(const std::uint8_t* pBuffer)
{
    return {ReadDeviceField<std::uint32_t>(pBuffer, AudioSettings::kSampleRate),
            ReadDeviceField<std::uint8_t>(pBuffer, AudioSettings::kByteSwap),
            ReadDeviceField<std::uint8_t>(pBuffer, AudioSettings::kPesHeader)};
}

void WriteEncoderCaps(std::uint8_t* pBuffer, const DeviceCaps& caps, LONG standard)
{
    ClearPayload(pBuffer, EncoderCaps::kSize);
    WriteDeviceField(pBuffer, EncoderCaps::kBitRateMin, caps.bitRates.min);
    WriteDeviceField(pBuffer, EncoderCaps::kBitRateMax, caps.bitRates.max);
    const std::vector<FrameSize>& sizes = caps.FrameSizes(standard);
    WriteDeviceField(pBuffer, EncoderCaps::kSizeCount, static_cast<std::uint32_t>(sizes.size()));
    const std::size_t cWritten = std::min(sizes.size(), EncoderCaps::kMaxSizes);
    for (std::size_t i = 0; i < cWritten; ++i)
    {
        WriteDeviceField(pBuffer, EncoderCaps::kSizes + 8 * i, sizes[i].width);
        WriteDeviceField(pBuffer, EncoderCaps::kSizes + 8 * i + 4, sizes[i].height);
    }
}

void WriteAudioCaps(std::uint8_t* pBuffer, const DeviceCaps& caps)
{
    ClearPayload(pBuffer, AudioCaps::kSize);
    WriteDeviceField(pBuffer, AudioCaps::kRateCount,
                     static_cast<std::uint32_t>(caps.sampleRates.size()));
    const std::size_t cWritten = std::min(caps.sampleRates.size(), AudioCaps::kMaxRates);
    for (std::size_t i = 0; i < cWritten; ++i)
        WriteDeviceField(pBuffer, AudioCaps::kRates + 4 * i, caps.sampleRates[i]);
    WriteDeviceField(pBuffer, AudioCaps::kVolumeMin, caps.volumes.min);
    WriteDeviceField(pBuffer, AudioCaps::kVolumeMax, caps.volumes.max);
}

void WriteProcAmp(std::uint8_t* pBuffer, LONG value)
{
    ClearPayload(pBuffer, ProcAmp::kSize);
    WriteDeviceField(pBuffer, ProcAmp::kValue, static_cast<std::int32_t>(value));
    WriteDeviceField(pBuffer, ProcAmp::kFlags,
                     static_cast<std::uint32_t>(VideoProcAmp_Flags_Manual));
    WriteDeviceField(pBuffer, ProcAmp::kCapabilities,
                     static_cast<std::uint32_t>(VideoProcAmp_Flags_Manual));
}

LONG ReadProcAmpValue(const std::uint8_t* pBuffer)
{
    return ReadDeviceField<std::int32_t>(pBuffer, ProcAmp::kValue);
}

void WriteStatus(std::uint8_t* pBuffer, const DeviceCounters& counters)
{
    ClearPayload(pBuffer, Status::kSize);
    WriteDeviceField(pBuffer, Status::kFramesCaptured, counters.framesCaptured);
    WriteDeviceField(pBuffer, Status::kFramesDropped, counters.framesDropped);
    WriteDeviceField(pBuffer, Status::kBytesCaptured, counters.bytesCaptured);
    WriteDeviceField(pBuffer, Status::kPacketsPlayed, counters.packetsPlayed);
    WriteDeviceField(pBuffer, Status::kPicturesPlayed, counters.picturesPlayed);
    WriteDeviceField(pBuffer, Status::kAudioFramesPlayed, counters.audioFramesPlayed);
    WriteDeviceField(pBuffer, Status::kViolations, counters.violations);
    WriteDeviceField(pBuffer, Status::kBytesPlayed, counters.bytesPlayed);
    WriteDeviceField(pBuffer, Status::kSettingsRefused, counters.settingsRefused);
    WriteDeviceField(pBuffer, Status::kPropertyFaults, counters.propertyFaults);
    WriteDeviceField(pBuffer, Status::kBindsRefused, counters.bindsRefused);
    WriteDeviceField(pBuffer, Status::kJoinsRefused, counters.joinsRefused);
    WriteDeviceField(pBuffer, Status::kStalls, counters.stalls);
    WriteDeviceField(pBuffer, Status::kBitsFlipped, counters.bitsFlipped);
    WriteDeviceField(pBuffer, Status::kPesPacketsCut, counters.pesPacketsCut);
    WriteDeviceField(pBuffer, Status::kCaptureStops, counters.captureStops);
    WriteDeviceField(pBuffer, Status::kSamplesRefused, counters.samplesRefused);
    WriteDeviceField(pBuffer, Status::kPlaybackEvents, counters.playbackEvents);
}

} // namespace PropertyLayouts
