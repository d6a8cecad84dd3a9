#include "DeviceStatus.h"

#include <DeviceControlProperties.h>

#include <array>

std::optional<DeviceStatus> ReadDeviceStatus(IBaseFilter* pDevice)
{
    ComPtr<IKsPropertySet> pSet;
    if (!pDevice || FAILED(pDevice->QueryInterface(IID_PPV_ARGS(&pSet))))
        return std::nullopt;
    namespace Fields = DeviceLayout::Status;
    std::array<std::uint8_t, Fields::kSize> buffer{};
    DWORD cbReturned = 0;
    if (FAILED(pSet->Get(PROPSETID_DeviceControl, DEVICEPROP_STATUS, buffer.data(), DWORD(buffer.size()),
                         buffer.data(), DWORD(buffer.size()), &cbReturned)))
        return std::nullopt;
    const auto field = [&](std::size_t offset)
    { return ReadDeviceField<std::uint64_t>(buffer.data(), offset); };
    return DeviceStatus{field(Fields::kFramesCaptured),    field(Fields::kFramesDropped),
                        field(Fields::kBytesCaptured),     field(Fields::kPacketsPlayed),
                        field(Fields::kPicturesPlayed),    field(Fields::kAudioFramesPlayed),
                        field(Fields::kViolations),        field(Fields::kBytesPlayed),
                        field(Fields::kSettingsRefused)};
}

DeviceStatus CountsSince(const DeviceStatus& now, const DeviceStatus& before)
{
    const auto since = [](std::uint64_t a, std::uint64_t b) { return a > b ? a - b : 0; };
    return {since(now.framesCaptured, before.framesCaptured),
            since(now.framesDropped, before.framesDropped),
            since(now.bytesCaptured, before.bytesCaptured),
            since(now.packetsPlayed, before.packetsPlayed),
            since(now.picturesPlayed, before.picturesPlayed),
            since(now.audioFramesPlayed, before.audioFramesPlayed),
            since(now.violations, before.violations),
            since(now.bytesPlayed, before.bytesPlayed),
            since(now.settingsRefused, before.settingsRefused)};
}
