#include "SettingsText.h"

#include "KeyValueText.h"
#include "SettingsRules.h"

#include <array>

namespace
{
constexpr std::array<const char*, DeviceCaps::kProcAmpCount> kProcAmpNames = {
    "brightness", "contrast", "hue", "saturation", "sharpness"};

// The stored value, or the one the settings hold when it is missing.
template <class T> T StoredOr(const KeyValueText& text, const char* name, T current)
{
    return static_cast<T>(text.Get(name).value_or(static_cast<std::int64_t>(current)));
}
} // namespace

std::string EncodeSettings(const DeviceSettings& settings)
{
    KeyValueText text;
    text.Set("standard", settings.standard);
    text.Set("width", settings.width);
    text.Set("height", settings.height);
    text.Set("mpeg1", settings.mpeg1);
    text.Set("bitrate", settings.bitRate);
    text.Set("peakbitrate", settings.peakBitRate);
    text.Set("vbr", settings.vbr);
    text.Set("samplerate", settings.sampleRate);
    text.Set("byteswap", settings.byteSwap);
    text.Set("pesheader", settings.pesHeader);
    text.Set("volume", settings.volume);
    text.Set("mute", settings.mute);
    text.Set("input", settings.input);
    for (std::size_t i = 0; i < kProcAmpNames.size(); ++i)
        text.Set(kProcAmpNames[i], settings.procAmp[i]);
    text.Set("passthrough", settings.passthrough);
    return text.Format();
}

DeviceSettings DecodeSettings(std::string_view stored, const DeviceCaps& caps)
{
    const KeyValueText text(stored);
    DeviceSettings settings;
    using namespace SettingsRules;
    FitToCaps(settings, caps);
    ApplyStandard(settings, caps, StoredOr(text, "standard", settings.standard));
    const EncoderFields current = EncoderFieldsOf(settings);
    ApplyEncoder(settings, caps,
                 {StoredOr(text, "bitrate", current.bitRate),
                  StoredOr(text, "peakbitrate", current.peakBitRate),
                  StoredOr(text, "vbr", current.vbr), StoredOr(text, "width", current.width),
                  StoredOr(text, "height", current.height),
                  StoredOr(text, "mpeg1", current.mpeg1)});
    const AudioFields audio = AudioFieldsOf(settings);
    ApplyAudio(settings, caps,
               {StoredOr(text, "samplerate", audio.sampleRate),
                StoredOr(text, "byteswap", audio.byteSwap),
                StoredOr(text, "pesheader", audio.pesHeader)});
    ApplyVolume(settings, caps, StoredOr(text, "volume", settings.volume));
    ApplyMute(settings, StoredOr<std::int64_t>(text, "mute", settings.mute));
    ApplyInput(settings, StoredOr<std::int64_t>(text, "input", settings.input));
    for (std::size_t i = 0; i < kProcAmpNames.size(); ++i)
        ApplyProcAmp(settings, caps, static_cast<LONG>(i),
                     StoredOr(text, kProcAmpNames[i], settings.procAmp[i]));
    if (text.Get("passthrough") == 1)
        EnablePassthrough(settings);
    return settings;
}
