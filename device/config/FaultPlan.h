#pragma once
// The faults a virtual device is told to inject, so that a test can provoke what
// only a misbehaving device does. Each device keeps its plan in its registry key
// (FaultText.h), where every filter bound to it, in any process, finds it; the
// DEVICEPROP_FAULTS property (DeviceControlProperties.h) reads and replaces it.
//
// - Property faults: a Get or Set of one property fails with a chosen HRESULT, or
//   succeeds without writing anything (a Get leaves the buffer as it was, a Set leaves
//   the settings as they were).
// - Binding: IPersistPropertyBag::Load refuses, so the moniker's BindToObject fails;
//   joining: JoinFilterGraph refuses, so the graph cannot add the filter.
// - Capture pin, once a run has streamed one second: it drops N frames, or stalls N ms
//   after posting EC_STARVATION. Its stream can be damaged all along: one bit flipped
//   every N bytes, or every Nth PES packet cut short. After a time it can stop, post an
//   event and end its stream (captureStop).
// - Playback pin: once N packets have played it can refuse every later sample with a
//   chosen HRESULT (posting EC_ERRORABORT once, as the filter where the failure began),
//   or post an event once and play on (playbackEvent).
//
// An HRESULT a fault returns is always a failure code.

#include <com/HResult.h>
#include <com/Types.h>

#include <cstdint>
#include <vector>

// The property sets a property fault names.
enum class FaultPropertySet : std::uint8_t
{
    DeviceControl = 0, // PROPSETID_DeviceControl
    ProcAmp = 1,       // PROPSETID_VIDCAP_VIDEOPROCAMP
};

enum class FaultOperation : std::uint8_t
{
    Get = 1,
    Set = 2,
};

enum class FaultKind : std::uint8_t
{
    Fail = 1,    // returns the result
    Nothing = 2, // succeeds without writing anything
};

struct PropertyFault
{
    FaultPropertySet set = FaultPropertySet::DeviceControl;
    std::uint32_t id = 0;
    FaultOperation operation = FaultOperation::Get;
    FaultKind kind = FaultKind::Fail;
    HRESULT result = E_FAIL;

    bool operator==(const PropertyFault&) const = default;
};

// An event a pin posts: a graph event code (0 for none) and the result it carries.
// On the capture pin EC_COMPLETE stands for an end of stream without an error: the
// pin posts nothing and the graph completes once its renderers have the end.
struct FaultEvent
{
    std::uint32_t after = 0; // capture: milliseconds of stream; playback: packets
    LONG code = 0;
    HRESULT result = E_FAIL;

    bool IsSet() const { return code != 0; }
    bool operator==(const FaultEvent&) const = default;
};

struct FaultPlan
{
    static constexpr std::size_t kMaxPropertyFaults = 16;

    std::vector<PropertyFault> properties; // at most one per set, id and operation
    HRESULT bindResult = S_OK;             // a failure: Load refuses with it
    HRESULT joinResult = S_OK;             // a failure: JoinFilterGraph refuses with it
    std::uint32_t dropFrames = 0;
    std::uint32_t stallMilliseconds = 0;
    std::uint32_t flipBitsEvery = 0; // bytes
    std::uint32_t cutPesEvery = 0;   // PES packets
    FaultEvent captureStop;
    std::uint32_t refuseAfterPackets = 0;
    HRESULT refuseResult = S_OK; // a failure: the playback pin refuses with it
    FaultEvent playbackEvent;

    // The fault on that property and operation, null when there is none.
    const PropertyFault* Find(FaultPropertySet set, std::uint32_t id,
                              FaultOperation operation) const;
    // Adds the fault, replacing the one on the same property and operation; false when
    // the plan already holds kMaxPropertyFaults others.
    bool Put(const PropertyFault& fault);
    void Remove(FaultPropertySet set, std::uint32_t id, FaultOperation operation);
    // Whether the plan is one the device can follow: every result of a fault that is set
    // a failure, events the pins post, at most kMaxPropertyFaults property faults.
    bool IsValid() const;

    bool operator==(const FaultPlan&) const = default;
};

// The events a pin may be told to post: EC_ERRORABORT, EC_STREAM_ERROR_STOPPED,
// EC_STARVATION, EC_SNDDEV_IN_ERROR, EC_SNDDEV_OUT_ERROR and, on the capture pin only,
// EC_COMPLETE.
bool IsFaultEvent(LONG code, bool bCapturePin);
