#pragma once
// The registry values that configure what a device offers (DeviceCaps), each a text a
// user may write under the device's key:
//
//   NtscSizes, PalSizes   "720x480 704x480 ..."  one to 256 frame sizes, largest first
//   SampleRates           "32000 44100 48000"    one to 256 rates in Hz
//   BitRateRange          "2000000..10000000"    MIN..MAX in bit/s
//   VolumeRange           "-50..50"              MIN..MAX in dB
//   BrightnessRange, ContrastRange, HueRange, SaturationRange, SharpnessRange
//                         "0..255"               MIN..MAX of the amplifier property
//
// Entries may be separated by spaces or commas. A value that is not set, or not valid,
// leaves the default for it. The device offers what is configured even where its
// capture source cannot encode it: knobs beyond the source's limits act as their ends
// do, but a frame size or rate the source cannot encode (22050 Hz, say) is taken by a
// Set and the next capture then fails to start, saying why.

#include "DeviceCaps.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace CapsValues
{
inline constexpr std::size_t kMaxEntries = 256;

// The value names, in the order they are listed.
const std::vector<std::string>& Names();
// Takes one value's text into the caps; false, with the reason, when it is not valid.
bool Parse(DeviceCaps& caps, std::string_view name, std::string_view text, std::string* pProblem);
std::string Format(const DeviceCaps& caps, std::string_view name);
// The caps the values give; lookup answers a value's text, empty when it is not set.
DeviceCaps Read(const std::function<std::string(const std::string& name)>& lookup);
// The frame sizes and rates the capture source cannot encode, worded for a user.
std::vector<std::string> Uncapturable(const DeviceCaps& caps);
} // namespace CapsValues
