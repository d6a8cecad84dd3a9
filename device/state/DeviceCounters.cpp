#include "DeviceCounters.h"

#include "KeyValueText.h"

#include <array>
#include <utility>

namespace
{
using Field = std::uint64_t DeviceCounters::*;

constexpr std::array<std::pair<const char*, Field>, 18> kFields = {{
    {"framescaptured", &DeviceCounters::framesCaptured},
    {"framesdropped", &DeviceCounters::framesDropped},
    {"bytescaptured", &DeviceCounters::bytesCaptured},
    {"packetsplayed", &DeviceCounters::packetsPlayed},
    {"picturesplayed", &DeviceCounters::picturesPlayed},
    {"audioframesplayed", &DeviceCounters::audioFramesPlayed},
    {"violations", &DeviceCounters::violations},
    {"bytesplayed", &DeviceCounters::bytesPlayed},
    {"settingsrefused", &DeviceCounters::settingsRefused},
    {"propertyfaults", &DeviceCounters::propertyFaults},
    {"bindsrefused", &DeviceCounters::bindsRefused},
    {"joinsrefused", &DeviceCounters::joinsRefused},
    {"stalls", &DeviceCounters::stalls},
    {"bitsflipped", &DeviceCounters::bitsFlipped},
    {"pespacketscut", &DeviceCounters::pesPacketsCut},
    {"capturestops", &DeviceCounters::captureStops},
    {"samplesrefused", &DeviceCounters::samplesRefused},
    {"playbackevents", &DeviceCounters::playbackEvents},
}};
} // namespace

DeviceCounters& DeviceCounters::operator+=(const DeviceCounters& other)
{
    for (const auto& [name, field] : kFields)
        this->*field += other.*field;
    return *this;
}

std::string EncodeCounters(const DeviceCounters& counters)
{
    KeyValueText text;
    for (const auto& [name, field] : kFields)
        text.Set(name, static_cast<std::int64_t>(counters.*field));
    return text.Format();
}

DeviceCounters DecodeCounters(std::string_view stored)
{
    const KeyValueText text(stored);
    DeviceCounters counters;
    for (const auto& [name, field] : kFields)
    {
        const std::int64_t value = text.Get(name).value_or(0);
        counters.*field = value > 0 ? static_cast<std::uint64_t>(value) : 0;
    }
    return counters;
}
