#include "PesRouter.h"

#include "DemuxOutputPin.h"

#include <algorithm>
#include <utility>

PesRouter::PesRouter(const PinList& pins, std::mutex& routingLock)
    : m_Pins(pins), m_RoutingLock(routingLock)
{
    m_Targets.reserve(kExpectedTargets);
}

void PesRouter::Reset()
{
    m_Timeline.Reset();
    m_Targets.clear();
}

bool PesRouter::WantsStream(uint8_t streamId)
{
    std::lock_guard lock(m_RoutingLock);
    for (const auto& pPin : m_Pins)
        if (pPin->IsConnected() && pPin->EntryFor(streamId))
            return true;
    return false;
}

void PesRouter::OnSystemClock(int64_t scr)
{
    m_Timeline.OnSystemClock(scr);
}

void PesRouter::OnPacketStart(uint8_t streamId, std::optional<int64_t> pts)
{
    m_Targets.clear();
    std::optional<REFERENCE_TIME> tStart;
    if (pts)
        tStart = m_Timeline.SampleTime(*pts);
    std::lock_guard lock(m_RoutingLock);
    for (const auto& pPin : m_Pins)
    {
        const std::optional<STREAM_ID_MAP> entry =
            pPin->IsConnected() ? pPin->EntryFor(streamId) : std::nullopt;
        if (!entry)
            continue;
        // Without a data offset the substream value is not used.
        const bool bFiltered =
            entry->iDataOffset > 0 && entry->ulSubstreamFilterValue != SUBSTREAM_FILTER_VAL_NONE;
        std::optional<uint8_t> substream;
        if (bFiltered)
            substream = uint8_t(entry->ulSubstreamFilterValue);
        m_Targets.push_back(Target{pPin.get(), substream, size_t(entry->iDataOffset), tStart});
    }
}

void PesRouter::OnPayload(std::span<const uint8_t> bytes)
{
    for (Target& target : m_Targets)
        Feed(target, bytes);
}

void PesRouter::Feed(Target& target, std::span<const uint8_t> bytes)
{
    if (!target.pPin || bytes.empty())
        return;
    if (target.substream)
    {
        // This is the packet's first payload byte: the substream it belongs to.
        if (bytes[0] != *target.substream)
        {
            target.pPin = nullptr;
            return;
        }
        target.substream.reset();
    }
    const size_t cbSkip = std::min(target.cbSkip, bytes.size());
    target.cbSkip -= cbSkip;
    bytes = bytes.subspan(cbSkip);
    if (bytes.empty())
        return;
    target.pPin->Append(bytes, std::exchange(target.tStart, std::nullopt));
}

void PesRouter::OnPacketEnd()
{
    m_Targets.clear();
}
