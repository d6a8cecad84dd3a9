#include "PesPacker.h"

#include <algorithm>
#include <chrono>

namespace
{
constexpr uint8_t kAc3SyncByte = 0x0B;
} // namespace

void PesPacker::Start(const ProgramStreamDemuxer& demuxer, std::span<const Route> routes)
{
    m_pDemuxer = &demuxer;
    m_cRoutes = std::min(routes.size(), kMaxRoutes);
    std::copy_n(routes.begin(), m_cRoutes, m_Routes.begin());
    for (Route& route : std::span(m_Routes.data(), m_cRoutes))
        route.cbMaxRecord = std::min(route.cbMaxRecord, route.pQueue->MaxPayload());
    m_Packet = {};
    m_bHalted = false;
}

void PesPacker::EndRecords()
{
    for (const Route& route : Routes())
        route.pQueue->EndRecord();
}

const PesPacker::Route* PesPacker::RouteOf(uint8_t streamId) const
{
    for (const Route& route : Routes())
    {
        if (route.identity.streamId == streamId)
            return &route;
    }
    return nullptr;
}

bool PesPacker::WantsStream(uint8_t streamId)
{
    return !m_bHalted && RouteOf(streamId) != nullptr;
}

void PesPacker::OnPacketStart(uint8_t streamId, std::optional<int64_t> pts)
{
    m_Packet = {};
    m_Packet.pRoute = RouteOf(streamId);
    if (!m_Packet.pRoute)
        return;
    m_Packet.bSubstreamPending = m_Packet.pRoute->identity.substream.has_value();
    if (pts)
        m_Packet.tStart = m_pDemuxer->TimeOfStamp(*pts);
}

void PesPacker::OnPayload(std::span<const uint8_t> bytes)
{
    if (!m_Packet.pRoute || m_bHalted || bytes.empty())
        return;
    if (m_Packet.bSubstreamPending && !TakeSubstream(bytes[0]))
    {
        m_Packet.pRoute = nullptr;
        return;
    }
    const size_t cbSkip = std::min(m_Packet.cbSkip, bytes.size());
    m_Packet.cbSkip -= cbSkip;
    bytes = bytes.subspan(cbSkip);
    if (!bytes.empty() && !Store(*m_Packet.pRoute, bytes))
        m_Packet.pRoute = nullptr;
}

bool PesPacker::TakeSubstream(uint8_t firstByte)
{
    m_Packet.bSubstreamPending = false;
    const ProgramStreamDemuxer::PesIdentity& identity = m_Packet.pRoute->identity;
    if (firstByte == *identity.substream)
    {
        m_Packet.cbSkip = 1 + identity.cbSubstreamHeader;
        return true;
    }
    return identity.bRawAc3 && firstByte == kAc3SyncByte;
}

bool PesPacker::Store(const Route& route, std::span<const uint8_t> bytes)
{
    PacketQueue& queue = *route.pQueue;
    if (m_Packet.tStart || !queue.HasOpenRecord())
    {
        PacketInfo info;
        if (m_Packet.tStart)
            info = {*m_Packet.tStart, PacketInfo::kHasTime | PacketInfo::kSyncPoint};
        m_Packet.tStart.reset();
        if (!OpenRecord(route, info))
            return false;
    }
    for (;;)
    {
        bytes = bytes.subspan(queue.Append(bytes.data(), bytes.size()));
        if (bytes.empty())
            return true;
        if (!OpenRecord(route, PacketInfo{}))
            return false;
    }
}

bool PesPacker::OpenRecord(const Route& route, const PacketInfo& info)
{
    route.pQueue->EndRecord();
    if (route.cbMaxRecord == 0) // a queue too small for any record
    {
        m_bHalted = true;
        return false;
    }
    PacketQueue::PutResult result =
        route.pQueue->BeginRecord(info, route.cbMaxRecord, std::chrono::milliseconds{0});
    if (result == PacketQueue::PutResult::TimedOut)
    {
        EndRecords();
        result = m_Wait(route, info);
    }
    if (result == PacketQueue::PutResult::Closed)
        m_bHalted = true;
    return result == PacketQueue::PutResult::Stored;
}
