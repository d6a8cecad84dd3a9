#include "SettingsRules.h"

#include <algorithm>

namespace
{
bool IsFlag(std::int64_t value)
{
    return value == 0 || value == 1;
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

bool ApplyEncoder(DeviceSettings& settings, const DeviceCaps& caps, const EncoderFields& fields)
{
    const std::optional<FrameSize> size =
        caps.SizeForStandard(settings.standard, {fields.width, fields.height});
    if (fields.bitRate <= 0 || !IsFlag(fields.vbr) || !IsFlag(fields.mpeg1) || !size)
        return false;
    const bool vbr = fields.vbr == 1;
    if (vbr && fields.peakBitRate <= 0)
        return false;
    settings.bitRate = caps.bitRates.Clamp(fields.bitRate);
    // Without VBR the peak is not used; an empty one takes the bit rate.
    const std::int64_t peak = fields.peakBitRate > 0 ? fields.peakBitRate : settings.bitRate;
    settings.peakBitRate = std::max(settings.bitRate, caps.bitRates.Clamp(peak));
    settings.vbr = vbr;
    settings.width = size->width;
    settings.height = size->height;
    settings.mpeg1 = fields.mpeg1 == 1;
    return true;
}

bool ApplyAudio(DeviceSettings& settings, const DeviceCaps& caps, const AudioFields& fields)
{
    if (!caps.IsOfferedRate(fields.sampleRate) || !IsFlag(fields.byteSwap) ||
        !IsFlag(fields.pesHeader))
        return false;
    settings.sampleRate = fields.sampleRate;
    settings.byteSwap = fields.byteSwap == 1;
    settings.pesHeader = fields.pesHeader == 1;
    return true;
}

bool ApplyVolume(DeviceSettings& settings, const DeviceCaps& caps, std::int64_t volume)
{
    settings.volume = caps.volumes.Clamp(volume);
    return true;
}

bool ApplyMute(DeviceSettings& settings, std::int64_t mute)
{
    if (!IsFlag(mute))
        return false;
    settings.mute = mute == 1;
    return true;
}

bool ApplyProcAmp(DeviceSettings& settings, const DeviceCaps& caps, LONG property,
                  std::int64_t value)
{
    if (!caps.ProcAmpRangeOf(property))
        return false;
    const auto index = static_cast<std::size_t>(property);
    settings.procAmp[index] = caps.procAmp[index].Clamp(value);
    settings.passthrough = false;
    return true;
}

bool ApplyStandard(DeviceSettings& settings, const DeviceCaps& caps, LONG standard)
{
    if (!DeviceCaps::IsOfferedStandard(standard))
        return false;
    const FrameSize size = caps.SizeOrFirst(standard, {settings.width, settings.height});
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

void FitToCaps(DeviceSettings& settings, const DeviceCaps& caps)
{
    EncoderFields encoder = EncoderFieldsOf(settings);
    const FrameSize size = caps.SizeOrFirst(settings.standard, {encoder.width, encoder.height});
    encoder.width = size.width;
    encoder.height = size.height;
    ApplyEncoder(settings, caps, encoder);
    AudioFields audio = AudioFieldsOf(settings);
    if (!caps.IsOfferedRate(audio.sampleRate))
        audio.sampleRate = caps.sampleRates.front();
    ApplyAudio(settings, caps, audio);
    ApplyVolume(settings, caps, settings.volume);
    // Clamped as ApplyProcAmp does, without ending passthrough.
    for (std::size_t i = 0; i < settings.procAmp.size(); ++i)
        settings.procAmp[i] = caps.procAmp[i].Clamp(settings.procAmp[i]);
}

} // namespace SettingsRules
