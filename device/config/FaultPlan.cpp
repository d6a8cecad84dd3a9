#include "FaultPlan.h"

#include <dshow/Events.h>

#include <algorithm>

namespace
{
bool IsFailureOrUnset(HRESULT result)
{
    return result == S_OK || FAILED(result);
}

bool IsValidEvent(const FaultEvent& event, bool bCapturePin)
{
    return !event.IsSet() || (IsFaultEvent(event.code, bCapturePin) && FAILED(event.result));
}

auto SameProperty(FaultPropertySet set, std::uint32_t id, FaultOperation operation)
{
    return [=](const PropertyFault& fault)
    { return fault.set == set && fault.id == id && fault.operation == operation; };
}

bool IsValidProperty(const PropertyFault& fault)
{
    const bool bKnownSet =
        fault.set == FaultPropertySet::DeviceControl || fault.set == FaultPropertySet::ProcAmp;
    const bool bKnownOperation =
        fault.operation == FaultOperation::Get || fault.operation == FaultOperation::Set;
    const bool bKnownKind =
        fault.kind == FaultKind::Nothing || (fault.kind == FaultKind::Fail && FAILED(fault.result));
    return bKnownSet && bKnownOperation && bKnownKind;
}
} // namespace

const PropertyFault* FaultPlan::Find(FaultPropertySet set, std::uint32_t id,
                                     FaultOperation operation) const
{
    const auto found =
        std::find_if(properties.begin(), properties.end(), SameProperty(set, id, operation));
    return found == properties.end() ? nullptr : &*found;
}

bool FaultPlan::Put(const PropertyFault& fault)
{
    const auto found = std::find_if(properties.begin(), properties.end(),
                                    SameProperty(fault.set, fault.id, fault.operation));
    if (found != properties.end())
    {
        *found = fault;
        return true;
    }
    if (properties.size() >= kMaxPropertyFaults)
        return false;
    properties.push_back(fault);
    return true;
}

void FaultPlan::Remove(FaultPropertySet set, std::uint32_t id, FaultOperation operation)
{
    std::erase_if(properties, SameProperty(set, id, operation));
}

bool FaultPlan::IsValid() const
{
    return properties.size() <= kMaxPropertyFaults &&
           std::all_of(properties.begin(), properties.end(), IsValidProperty) &&
           IsFailureOrUnset(bindResult) && IsFailureOrUnset(joinResult) &&
           IsFailureOrUnset(refuseResult) && IsValidEvent(captureStop, true) &&
           IsValidEvent(playbackEvent, false);
}

bool IsFaultEvent(LONG code, bool bCapturePin)
{
    switch (code)
    {
    case EC_ERRORABORT:
    case EC_STREAM_ERROR_STOPPED:
    case EC_STARVATION:
    case EC_SNDDEV_IN_ERROR:
    case EC_SNDDEV_OUT_ERROR:
        return true;
    case EC_COMPLETE:
        return bCapturePin;
    default:
        return false;
    }
}
