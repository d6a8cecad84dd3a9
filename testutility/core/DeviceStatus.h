#pragma once

// What the capture device counted, from its status block: frames captured and
// dropped, what it played back, and what the faults it was told to inject did. For
// tools and tests; the windows do not use it.

#include <dshow/dshow.h>

#include <cstdint>
#include <optional>
#include <string>

struct DeviceStatus
{
    std::uint64_t framesCaptured = 0;
    std::uint64_t framesDropped = 0;
    std::uint64_t bytesCaptured = 0;
    std::uint64_t packetsPlayed = 0;
    std::uint64_t picturesPlayed = 0;
    std::uint64_t audioFramesPlayed = 0;
    std::uint64_t violations = 0;
    std::uint64_t bytesPlayed = 0;
    std::uint64_t settingsRefused = 0;
    std::uint64_t propertyFaults = 0;
    std::uint64_t bindsRefused = 0;
    std::uint64_t joinsRefused = 0;
    std::uint64_t stalls = 0;
    std::uint64_t bitsFlipped = 0;
    std::uint64_t pesPacketsCut = 0;
    std::uint64_t captureStops = 0;
    std::uint64_t samplesRefused = 0;
    std::uint64_t playbackEvents = 0;
};

// Null when the filter has no such block.
std::optional<DeviceStatus> ReadDeviceStatus(IBaseFilter* pDevice);

// What was counted since `before` (counters that went back count nothing).
DeviceStatus CountedSince(const DeviceStatus& now, const DeviceStatus& before);
// The fault counters that are not 0, e.g. "stalls 1, bits flipped 320"; empty when none.
std::string DescribeFaultCounts(const DeviceStatus& status);
