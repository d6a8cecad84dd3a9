#pragma once
// The text form of a fault plan (FaultPlan.h), as a device keeps it in its registry
// value "Faults" and as `kstest device-fault` takes it: NAME=VALUE assignments
// separated by spaces, e.g. "get-fail:encoder-settings drop-frames=30 capture-stop=2:end".
//
//   get-fail:PROPERTY[=HRESULT]         a Get of the property fails (E_FAIL unless given)
//   set-fail:PROPERTY[=HRESULT]         a Set of the property fails
//   get-empty:PROPERTY                  a Get succeeds without writing anything
//   set-ignore:PROPERTY                 a Set succeeds without changing anything
//   bind-fail[=HRESULT]                 the device's filter cannot be bound
//   join-fail[=HRESULT]                 the device's filter cannot be added to a graph
//   drop-frames=N                       the capture pin drops N frames
//   stall=MS                            the capture pin stalls MS milliseconds
//   flip-bits=N                         one bit of the capture stream flipped every N bytes
//   cut-pes=N                           every Nth PES packet of the capture stream cut short
//   capture-stop=S[:EVENT[:HRESULT]]    after S seconds the capture stops with EVENT (abort)
//   playback-refuse=N[:HRESULT]         the playback pin refuses samples after N packets
//   playback-event=N[:EVENT[:HRESULT]]  the playback pin posts EVENT (audio-out) after N packets
//
// PROPERTY: encoder-settings, volume, audio-settings, encoder-caps, audio-caps, mute,
// passthrough, status, brightness, contrast, hue, saturation, sharpness.
// EVENT: abort (EC_ERRORABORT), stream-error (EC_STREAM_ERROR_STOPPED), starvation
// (EC_STARVATION), audio-in (EC_SNDDEV_IN_ERROR), audio-out (EC_SNDDEV_OUT_ERROR) and,
// for capture-stop only, end (an end of stream without an error).
// HRESULT: a failure code, in hexadecimal (0x8007001F) or decimal.
// The value "off" removes a fault.

#include "FaultPlan.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Sets, replaces or removes one fault; false, saying why, when the assignment is not
// one of the above. A missing value takes the fault's defaults.
bool ApplyFault(FaultPlan& plan, std::string_view name, std::optional<std::string_view> value,
                std::string* pProblem);
// "NAME=VALUE" for each fault of the plan, in the order of the list above.
std::vector<std::string> FaultAssignments(const FaultPlan& plan);

std::string EncodeFaults(const FaultPlan& plan);
// Assignments that do not read are skipped.
FaultPlan DecodeFaults(std::string_view text);
