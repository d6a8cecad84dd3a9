#include "SettingsRules.h"

#include <algorithm>

namespace
{
bool IsFlag(std::int64_t value)
{
    return value == 0 || value == 1;
}

std::int32_t ClampBitRate(std::int64_t bitRate)
{
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(bitRate, DeviceCaps::kBitRateMin, DeviceCaps::kBitRateMax));
}
} // namespace

namespace SettingsRules
{

EncoderFields EncoderFieldsOf(const DeviceSettings& settings)
{
    return {settings.bitRate, settings.peakBitRate, settings.vbr ? 1u : 0u,
            settings.width,   settings.height,      settings.mpeg1 ? 1u : 0u};
}

AudioFields AudioFieldsOf(const DeviceSettings& settings)
{
    return {settings.sampleRate, settings.byteSwap ? 1u : 0u, settings.pesHeader ? 1u : 0u};
}

bool ApplyEncoder(DeviceSettings& settings, const EncoderFields& fields)
{
    const std::optional<FrameSize> size =
        DeviceCaps::SizeForStandard(settings.standard, {fields.width, fields.height});
    if (fields.bitRate <= 0 || !IsFlag(fields.vbr) || !IsFlag(fields.mpeg1) || !size)
        return false;
    const bool vbr = fields.vbr == 1;
    if (vbr && fields.peakBitRate <= 0)
        return false;
    settings.bitRate = ClampBitRate(fields.bitRate);
    // Without VBR the peak is not used; an empty one takes the bit rate.
    const std::int64_t peak = fields.peakBitRate > 0 ? fields.peakBitRate : settings.bitRate;
    settings.peakBitRate = std::max(settings.bitRate, ClampBitRate(peak));
    settings.vbr = vbr;
    settings.width = size->width;
    settings.height = size->height;
    settings.mpeg1 = fields.mpeg1 == 1;
    return true;
}

bool ApplyAudio(DeviceSettings& settings, const AudioFields& fields)
{
    if (!DeviceCaps::IsOfferedRate(fields.sampleRate) || !IsFlag(fields.byteSwap) ||
        !IsFlag(fields.pesHeader))
        return false;
    settings.sampleRate = fields.sampleRate;
    settings.byteSwap = fields.byteSwap == 1;
    settings.pesHeader = fields.pesHeader == 1;
    return true;
}

bool ApplyVolume(DeviceSettings& settings, std::int64_t volume)
{
    settings.volume = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(volume, DeviceCaps::kVolumeMin, DeviceCaps::kVolumeMax));
    return true;
}

bool ApplyMute(DeviceSettings& settings, std::int64_t mute)
{
    if (!IsFlag(mute))
        return false;
    settings.mute = mute == 1;
    return true;
}

bool ApplyProcAmp(DeviceSettings& settings, LONG property, std::int64_t value)
{
    const ProcAmpRange* pRange = DeviceCaps::ProcAmpRangeOf(property);
    if (!pRange)
        return false;
    settings.procAmp[static_cast<std::size_t>(property)] =
        static_cast<LONG>(std::clamp<std::int64_t>(value, pRange->min, pRange->max));
    settings.passthrough = false;
    return true;
}

bool ApplyStandard(DeviceSettings& settings, LONG standard)
{
    if (!DeviceCaps::IsOfferedStandard(standard))
        return false;
    const FrameSize size = DeviceCaps::SizeForStandard(standard, {settings.width, settings.height})
                               .value_or(DeviceCaps::FrameSizes(standard).front());
    settings.standard = standard;
    settings.width = size.width;
    settings.height = size.height;
    return true;
}

bool ApplyInput(DeviceSettings& settings, std::int64_t input)
{
    if (!IsFlag(input))
        return false;
    settings.input = static_cast<LONG>(input);
    return true;
}

void EnablePassthrough(DeviceSettings& settings)
{
    settings.passthrough = true;
}

} // namespace SettingsRules
