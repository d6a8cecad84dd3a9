#pragma once

// What the capture device counted, from its status block: frames captured and
// dropped, and what it played back. For tools and tests; the windows do not use it.

#include <dshow/dshow.h>

#include <cstdint>
#include <optional>

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
};

// Null when the filter has no such block.
std::optional<DeviceStatus> ReadDeviceStatus(IBaseFilter* pDevice);

// What was counted between two readings (the counters only grow; a device whose state
// was reset in between gives 0).
DeviceStatus CountsSince(const DeviceStatus& now, const DeviceStatus& before);
