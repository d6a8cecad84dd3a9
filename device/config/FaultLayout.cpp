#include "FaultLayout.h"

#include "DeviceControlProperties.h"

#include <algorithm>

namespace
{
namespace Layout = DeviceLayout::Faults;

void WriteEvent(std::uint8_t* pBuffer, const FaultEvent& event, std::size_t after, std::size_t code,
                std::size_t result)
{
    WriteDeviceField<std::uint32_t>(pBuffer, after, event.after);
    WriteDeviceField<std::uint32_t>(pBuffer, code, static_cast<std::uint32_t>(event.code));
    WriteDeviceField<std::int32_t>(pBuffer, result, event.IsSet() ? event.result : 0);
}

// An event that is off reads as the default one; a result left 0 is E_FAIL.
FaultEvent ReadEvent(const std::uint8_t* pBuffer, std::size_t after, std::size_t code,
                     std::size_t result)
{
    FaultEvent event;
    event.code = static_cast<LONG>(ReadDeviceField<std::uint32_t>(pBuffer, code));
    if (!event.IsSet())
        return event;
    event.after = ReadDeviceField<std::uint32_t>(pBuffer, after);
    if (const HRESULT hr = ReadDeviceField<std::int32_t>(pBuffer, result); hr != S_OK)
        event.result = hr;
    return event;
}

void WritePropertyFault(std::uint8_t* pEntry, const PropertyFault& fault)
{
    WriteDeviceField<std::uint32_t>(pEntry, Layout::kFaultId, fault.id);
    WriteDeviceField<std::uint8_t>(pEntry, Layout::kFaultSet, static_cast<std::uint8_t>(fault.set));
    WriteDeviceField<std::uint8_t>(pEntry, Layout::kFaultOperation,
                                   static_cast<std::uint8_t>(fault.operation));
    WriteDeviceField<std::uint8_t>(pEntry, Layout::kFaultKind,
                                   static_cast<std::uint8_t>(fault.kind));
    WriteDeviceField<std::int32_t>(pEntry, Layout::kFaultResult,
                                   fault.kind == FaultKind::Fail ? fault.result : 0);
}

PropertyFault ReadPropertyFault(const std::uint8_t* pEntry)
{
    return {
        static_cast<FaultPropertySet>(ReadDeviceField<std::uint8_t>(pEntry, Layout::kFaultSet)),
        ReadDeviceField<std::uint32_t>(pEntry, Layout::kFaultId),
        static_cast<FaultOperation>(ReadDeviceField<std::uint8_t>(pEntry, Layout::kFaultOperation)),
        static_cast<FaultKind>(ReadDeviceField<std::uint8_t>(pEntry, Layout::kFaultKind)),
        ReadDeviceField<std::int32_t>(pEntry, Layout::kFaultResult)};
}
} // namespace

void WriteFaultLayout(std::uint8_t* pBuffer, const FaultPlan& plan)
{
    std::fill(pBuffer + DeviceLayout::kHeader, pBuffer + Layout::kSize, std::uint8_t(0));
    WriteDeviceField<std::int32_t>(pBuffer, Layout::kBindResult, plan.bindResult);
    WriteDeviceField<std::int32_t>(pBuffer, Layout::kJoinResult, plan.joinResult);
    WriteDeviceField<std::uint32_t>(pBuffer, Layout::kDropFrames, plan.dropFrames);
    WriteDeviceField<std::uint32_t>(pBuffer, Layout::kStallMilliseconds, plan.stallMilliseconds);
    WriteDeviceField<std::uint32_t>(pBuffer, Layout::kFlipBitsEvery, plan.flipBitsEvery);
    WriteDeviceField<std::uint32_t>(pBuffer, Layout::kCutPesEvery, plan.cutPesEvery);
    WriteEvent(pBuffer, plan.captureStop, Layout::kCaptureStopAfter, Layout::kCaptureStopEvent,
               Layout::kCaptureStopResult);
    WriteDeviceField<std::uint32_t>(pBuffer, Layout::kRefuseAfterPackets, plan.refuseAfterPackets);
    WriteDeviceField<std::int32_t>(pBuffer, Layout::kRefuseResult, plan.refuseResult);
    WriteEvent(pBuffer, plan.playbackEvent, Layout::kPlaybackEventAfter, Layout::kPlaybackEventCode,
               Layout::kPlaybackEventResult);
    const std::size_t cFaults = std::min(plan.properties.size(), Layout::kMaxPropertyFaults);
    WriteDeviceField<std::uint32_t>(pBuffer, Layout::kPropertyFaultCount,
                                    static_cast<std::uint32_t>(cFaults));
    for (std::size_t i = 0; i < cFaults; ++i)
        WritePropertyFault(pBuffer + Layout::kPropertyFaults + i * Layout::kPropertyFaultSize,
                           plan.properties[i]);
}

std::optional<FaultPlan> ReadFaultLayout(const std::uint8_t* pBuffer)
{
    const std::uint32_t cFaults =
        ReadDeviceField<std::uint32_t>(pBuffer, Layout::kPropertyFaultCount);
    if (cFaults > Layout::kMaxPropertyFaults)
        return std::nullopt;
    FaultPlan plan;
    plan.bindResult = ReadDeviceField<std::int32_t>(pBuffer, Layout::kBindResult);
    plan.joinResult = ReadDeviceField<std::int32_t>(pBuffer, Layout::kJoinResult);
    plan.dropFrames = ReadDeviceField<std::uint32_t>(pBuffer, Layout::kDropFrames);
    plan.stallMilliseconds = ReadDeviceField<std::uint32_t>(pBuffer, Layout::kStallMilliseconds);
    plan.flipBitsEvery = ReadDeviceField<std::uint32_t>(pBuffer, Layout::kFlipBitsEvery);
    plan.cutPesEvery = ReadDeviceField<std::uint32_t>(pBuffer, Layout::kCutPesEvery);
    plan.captureStop = ReadEvent(pBuffer, Layout::kCaptureStopAfter, Layout::kCaptureStopEvent,
                                 Layout::kCaptureStopResult);
    plan.refuseResult = ReadDeviceField<std::int32_t>(pBuffer, Layout::kRefuseResult);
    if (plan.refuseResult != S_OK)
        plan.refuseAfterPackets =
            ReadDeviceField<std::uint32_t>(pBuffer, Layout::kRefuseAfterPackets);
    plan.playbackEvent = ReadEvent(pBuffer, Layout::kPlaybackEventAfter, Layout::kPlaybackEventCode,
                                   Layout::kPlaybackEventResult);
    for (std::uint32_t i = 0; i < cFaults; ++i)
    {
        const PropertyFault fault =
            ReadPropertyFault(pBuffer + Layout::kPropertyFaults + i * Layout::kPropertyFaultSize);
        if (!plan.Put(fault) || plan.properties.size() != i + 1)
            return std::nullopt; // two faults on one property and operation
    }
    if (!plan.IsValid())
        return std::nullopt;
    return plan;
}
