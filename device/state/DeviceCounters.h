#pragma once
// The device's status counters: what its capture and playback pins counted, how many
// Sets it refused and what its injected faults did. The device keeps their totals in
// the registry.

#include <cstdint>
#include <string>
#include <string_view>

struct DeviceCounters
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

    DeviceCounters& operator+=(const DeviceCounters& other);
    bool operator==(const DeviceCounters&) const = default;
};

// Registry text, e.g. "framescaptured=1800 framesdropped=0 ..."; missing or
// malformed counters read as 0.
std::string EncodeCounters(const DeviceCounters& counters);
DeviceCounters DecodeCounters(std::string_view text);
