#pragma once
// The capture device driver's private kernel-streaming property set,
// PROPSETID_DeviceControl, as the driver defines it: property ids, buffer sizes
// and the offsets of each field. Every buffer opens with the 24-byte KSPROPERTY
// header and is passed as both instance data and property data, with the same
// size. All fields are little-endian.
//
// Ids 1 to 5, 7 and 8 are the device's documented controls. DEVICEPROP_STATUS and
// DEVICEPROP_FAULTS are the virtual device's own, for tools and tests: its read-only
// block of counters, and the faults it is told to inject (see the device's
// FaultPlan.h for what each does).

#include <com/Guid.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

// {5D7C6E0A-3B1F-4C62-9A8E-2F41B7C0D913}
DEFINE_GUID(PROPSETID_DeviceControl, 0x5D7C6E0A, 0x3B1F, 0x4C62, 0x9A, 0x8E, 0x2F, 0x41, 0xB7, 0xC0,
            0xD9, 0x13);

enum DeviceProperty : std::uint32_t
{
    DEVICEPROP_ENCODER_SETTINGS = 1,
    DEVICEPROP_AUDIO_VOLUME = 2,
    DEVICEPROP_AUDIO_SETTINGS = 3,
    DEVICEPROP_ENCODER_CAPS = 4,
    DEVICEPROP_AUDIO_CAPS = 5,
    DEVICEPROP_AUDIO_MUTE = 7,
    DEVICEPROP_ENABLE_PASSTHROUGH = 8,
    DEVICEPROP_STATUS = 0x100,
    DEVICEPROP_FAULTS = 0x101,
};

namespace DeviceLayout
{
inline constexpr std::size_t kHeader = 24;

// DEVICE_ENCODER_SETTINGS
namespace EncoderSettings
{
inline constexpr std::size_t kSize = 48;
inline constexpr std::size_t kBitRate = 24;     // int32, bit/s
inline constexpr std::size_t kPeakBitRate = 28; // int32, bit/s
inline constexpr std::size_t kVbr = 32;         // uint32, 1 variable bit rate
inline constexpr std::size_t kWidth = 36;       // uint32
inline constexpr std::size_t kHeight = 40;      // uint32
inline constexpr std::size_t kMpeg1 = 44;       // uint32, 1 MPEG-1
} // namespace EncoderSettings

// DEVICE_AUDIO_VOLUME and DEVICE_AUDIO_MUTE
namespace AudioValue
{
inline constexpr std::size_t kSize = 32;
inline constexpr std::size_t kValue = 24; // int32: volume, or mute 1/0
} // namespace AudioValue

// DEVICE_AUDIO_SETTINGS
namespace AudioSettings
{
inline constexpr std::size_t kSize = 32;
inline constexpr std::size_t kSampleRate = 24; // uint32, Hz
inline constexpr std::size_t kByteSwap = 28;   // uint8, 1 PCM, 0 LPCM
inline constexpr std::size_t kPesHeader = 29;  // uint8, 1 insert a PES header
} // namespace AudioSettings

// DEVICE_ENCODER_CAPS
namespace EncoderCaps
{
inline constexpr std::size_t kSize = 128;
inline constexpr std::size_t kBitRateMin = 24; // int32
inline constexpr std::size_t kBitRateMax = 28; // int32
inline constexpr std::size_t kSizeCount = 44;  // uint32
inline constexpr std::size_t kSizes = 48;      // {uint32 width, uint32 height} each
inline constexpr std::size_t kMaxSizes = 10;
} // namespace EncoderCaps

// DEVICE_AUDIO_CAPS
namespace AudioCaps
{
inline constexpr std::size_t kSize = 64;
inline constexpr std::size_t kRateCount = 28; // uint32
inline constexpr std::size_t kRates = 32;     // uint32 each, Hz
inline constexpr std::size_t kMaxRates = 3;
inline constexpr std::size_t kVolumeMin = 44; // int32
inline constexpr std::size_t kVolumeMax = 48; // int32
} // namespace AudioCaps

// The video processing amplifier's KSPROPERTY_VIDEOPROCAMP_S.
namespace ProcAmp
{
inline constexpr std::size_t kSize = 40;
inline constexpr std::size_t kValue = 24;        // int32
inline constexpr std::size_t kFlags = 28;        // uint32
inline constexpr std::size_t kCapabilities = 32; // uint32
} // namespace ProcAmp

// DEVICEPROP_STATUS (read only): counters since the device was powered, i.e.
// since its state was created; every counter is a uint64.
namespace Status
{
inline constexpr std::size_t kSize = 168;
inline constexpr std::size_t kFramesCaptured = 24;
inline constexpr std::size_t kFramesDropped = 32;
inline constexpr std::size_t kBytesCaptured = 40;
inline constexpr std::size_t kPacketsPlayed = 48;
inline constexpr std::size_t kPicturesPlayed = 56;
inline constexpr std::size_t kAudioFramesPlayed = 64;
inline constexpr std::size_t kViolations = 72;
inline constexpr std::size_t kBytesPlayed = 80;
inline constexpr std::size_t kSettingsRefused = 88; // Sets refused for bad values
// What the injected faults did.
inline constexpr std::size_t kPropertyFaults = 96;  // Gets and Sets failed or left undone
inline constexpr std::size_t kBindsRefused = 104;   // binds Load refused
inline constexpr std::size_t kJoinsRefused = 112;   // graphs the filter refused to join
inline constexpr std::size_t kStalls = 120;         // capture stalls
inline constexpr std::size_t kBitsFlipped = 128;    // bits flipped in the capture stream
inline constexpr std::size_t kPesPacketsCut = 136;  // PES packets cut short
inline constexpr std::size_t kCaptureStops = 144;   // captures stopped by a fault
inline constexpr std::size_t kSamplesRefused = 152; // playback samples refused
inline constexpr std::size_t kPlaybackEvents = 160; // events the playback pin posted
} // namespace Status

// DEVICEPROP_FAULTS (read and write): the faults the device injects. A Get reports the
// plan in force; a Set replaces it (E_INVALIDARG, nothing changed, for a plan the
// device cannot follow). The setting is kept under the device's key, for every filter
// and process. Results are HRESULTs (0: the fault is off); events are graph event
// codes (0: none).
namespace Faults
{
inline constexpr std::size_t kSize = 340;
inline constexpr std::size_t kBindResult = 24;          // int32: Load refuses with it
inline constexpr std::size_t kJoinResult = 28;          // int32: JoinFilterGraph refuses with it
inline constexpr std::size_t kDropFrames = 32;          // uint32: frames the capture pin drops
inline constexpr std::size_t kStallMilliseconds = 36;   // uint32: how long it stalls
inline constexpr std::size_t kFlipBitsEvery = 40;       // uint32: bytes between flipped bits
inline constexpr std::size_t kCutPesEvery = 44;         // uint32: one PES packet in so many cut
inline constexpr std::size_t kCaptureStopAfter = 48;    // uint32: milliseconds of stream
inline constexpr std::size_t kCaptureStopEvent = 52;    // uint32: event; EC_COMPLETE a clean end
inline constexpr std::size_t kCaptureStopResult = 56;   // int32
inline constexpr std::size_t kRefuseAfterPackets = 60;  // uint32
inline constexpr std::size_t kRefuseResult = 64;        // int32: the playback pin refuses with it
inline constexpr std::size_t kPlaybackEventAfter = 68;  // uint32: packets
inline constexpr std::size_t kPlaybackEventCode = 72;   // uint32: event
inline constexpr std::size_t kPlaybackEventResult = 76; // int32
inline constexpr std::size_t kPropertyFaultCount = 80;  // uint32, at most kMaxPropertyFaults
inline constexpr std::size_t kPropertyFaults = 84;      // kPropertyFaultSize bytes each:
inline constexpr std::size_t kMaxPropertyFaults = 16;
inline constexpr std::size_t kPropertyFaultSize = 16;
inline constexpr std::size_t kFaultId = 0;        // uint32: the property id
inline constexpr std::size_t kFaultSet = 4;       // uint8: 0 PROPSETID_DeviceControl, 1 amplifier
inline constexpr std::size_t kFaultOperation = 5; // uint8: 1 Get, 2 Set
inline constexpr std::size_t kFaultKind = 6;      // uint8: 1 fails, 2 succeeds doing nothing
inline constexpr std::size_t kFaultResult = 8;    // int32: what a failing call returns
} // namespace Faults
} // namespace DeviceLayout

// Little-endian field access on property buffers; the caller keeps offsets
// within the buffer.
template <class T> T ReadDeviceField(const void* pBuffer, std::size_t offset)
{
    static_assert(std::is_integral_v<T>);
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, static_cast<const unsigned char*>(pBuffer) + offset, sizeof(T));
    std::make_unsigned_t<T> value = 0;
    for (std::size_t i = sizeof(T); i-- > 0;)
        value = static_cast<std::make_unsigned_t<T>>((value << 8) | bytes[i]);
    return static_cast<T>(value);
}

template <class T> void WriteDeviceField(void* pBuffer, std::size_t offset, T value)
{
    static_assert(std::is_integral_v<T>);
    auto bits = static_cast<std::make_unsigned_t<T>>(value);
    unsigned char bytes[sizeof(T)];
    for (std::size_t i = 0; i < sizeof(T); ++i, bits = static_cast<decltype(bits)>(bits >> 8))
        bytes[i] = static_cast<unsigned char>(bits & 0xFF);
    std::memcpy(static_cast<unsigned char*>(pBuffer) + offset, bytes, sizeof(T));
}
