#include "DeviceStatus.h"

#include <DeviceControlProperties.h>

#include <array>
#include <utility>

namespace
{
using Counter = std::uint64_t DeviceStatus::*;

// Every counter with its offset in the status block.
constexpr std::pair<Counter, std::size_t> kCounters[] = {
    {&DeviceStatus::framesCaptured, DeviceLayout::Status::kFramesCaptured},
    {&DeviceStatus::framesDropped, DeviceLayout::Status::kFramesDropped},
    {&DeviceStatus::bytesCaptured, DeviceLayout::Status::kBytesCaptured},
    {&DeviceStatus::packetsPlayed, DeviceLayout::Status::kPacketsPlayed},
    {&DeviceStatus::picturesPlayed, DeviceLayout::Status::kPicturesPlayed},
    {&DeviceStatus::audioFramesPlayed, DeviceLayout::Status::kAudioFramesPlayed},
    {&DeviceStatus::violations, DeviceLayout::Status::kViolations},
    {&DeviceStatus::bytesPlayed, DeviceLayout::Status::kBytesPlayed},
    {&DeviceStatus::settingsRefused, DeviceLayout::Status::kSettingsRefused},
    {&DeviceStatus::propertyFaults, DeviceLayout::Status::kPropertyFaults},
    {&DeviceStatus::bindsRefused, DeviceLayout::Status::kBindsRefused},
    {&DeviceStatus::joinsRefused, DeviceLayout::Status::kJoinsRefused},
    {&DeviceStatus::stalls, DeviceLayout::Status::kStalls},
    {&DeviceStatus::bitsFlipped, DeviceLayout::Status::kBitsFlipped},
    {&DeviceStatus::pesPacketsCut, DeviceLayout::Status::kPesPacketsCut},
    {&DeviceStatus::captureStops, DeviceLayout::Status::kCaptureStops},
    {&DeviceStatus::samplesRefused, DeviceLayout::Status::kSamplesRefused},
    {&DeviceStatus::playbackEvents, DeviceLayout::Status::kPlaybackEvents},
};

constexpr std::pair<Counter, const char*> kFaultCounters[] = {
    {&DeviceStatus::propertyFaults, "property faults"},
    {&DeviceStatus::bindsRefused, "binds refused"},
    {&DeviceStatus::joinsRefused, "graphs refused"},
    {&DeviceStatus::stalls, "stalls"},
    {&DeviceStatus::bitsFlipped, "bits flipped"},
    {&DeviceStatus::pesPacketsCut, "PES packets cut"},
    {&DeviceStatus::captureStops, "captures stopped"},
    {&DeviceStatus::samplesRefused, "samples refused"},
    {&DeviceStatus::playbackEvents, "playback events"},
};
} // namespace

std::optional<DeviceStatus> ReadDeviceStatus(IBaseFilter* pDevice)
{
    ComPtr<IKsPropertySet> pSet;
    if (!pDevice || FAILED(pDevice->QueryInterface(IID_PPV_ARGS(&pSet))))
        return std::nullopt;
    std::array<std::uint8_t, DeviceLayout::Status::kSize> buffer{};
    DWORD cbReturned = 0;
    if (FAILED(pSet->Get(PROPSETID_DeviceControl, DEVICEPROP_STATUS, buffer.data(),
                         DWORD(buffer.size()), buffer.data(), DWORD(buffer.size()), &cbReturned)))
        return std::nullopt;
    DeviceStatus status;
    for (const auto& [counter, offset] : kCounters)
        status.*counter = ReadDeviceField<std::uint64_t>(buffer.data(), offset);
    return status;
}

DeviceStatus CountedSince(const DeviceStatus& now, const DeviceStatus& before)
{
    DeviceStatus counted;
    for (const auto& [counter, offset] : kCounters)
        counted.*counter = now.*counter > before.*counter ? now.*counter - before.*counter : 0;
    return counted;
}

std::string DescribeFaultCounts(const DeviceStatus& status)
{
    std::string text;
    for (const auto& [counter, pszName] : kFaultCounters)
    {
        if (status.*counter == 0)
            continue;
        if (!text.empty())
            text += ", ";
        text += pszName;
        text += ' ';
        text += std::to_string(status.*counter);
    }
    return text;
}
