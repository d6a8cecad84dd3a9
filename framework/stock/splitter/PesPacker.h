#pragma once

// Packs the payload of the PES packets of the splitter's chosen streams, as the
// program stream parser finds them, into records of their outputs' packet
// queues. A record gathers consecutive payload of one stream, up to one output
// sample; a packet with a time stamp starts a new record that carries its time,
// so a time always stays with the byte it was stamped on, and the cutting of
// pictures and audio frames is left to the filters downstream. Private stream 1
// packets count only when their substream byte is the stream's, and lose their
// substream header.
//
// Opening a record may have to wait for room in a full queue. Before it waits,
// every record in progress is published, so that no output starves for bytes
// held in an open record while the producer waits.

#include "PacketQueue.h"
#include "ProgramStreamDemuxer.h"

#include "demux/ProgramStreamParser.h"

#include <array>
#include <functional>
#include <optional>
#include <span>

class PesPacker : public ProgramStreamParser::Sink
{
public:
    struct Route
    {
        ProgramStreamDemuxer::PesIdentity identity;
        PacketQueue* pQueue = nullptr;
        size_t cbMaxRecord = 0; // the output's sample size
    };
    static constexpr size_t kMaxRoutes = 2;

    // Waits for room for a record on a route's queue until it has opened one
    // (Stored), the queue takes no more (Discarded), or streaming must end
    // (Closed).
    using RecordWait = std::function<PacketQueue::PutResult(const Route&, const PacketInfo&)>;

    explicit PesPacker(RecordWait wait) : m_Wait(std::move(wait)) {}

    // Times come from demuxer; the queues must be allocated.
    void Start(const ProgramStreamDemuxer& demuxer, std::span<const Route> routes);
    // No routes: every packet is skipped.
    void Clear() { m_cRoutes = 0; }
    std::span<const Route> Routes() const { return {m_Routes.data(), m_cRoutes}; }
    // Publishes every record in progress.
    void EndRecords();
    // True once a queue was closed or a wait gave up: streaming must end.
    bool IsHalted() const { return m_bHalted; }

    bool WantsStream(uint8_t streamId) override;
    void OnSystemClock(int64_t /*scr*/) override {}
    void OnPacketStart(uint8_t streamId, std::optional<int64_t> pts) override;
    void OnPayload(std::span<const uint8_t> bytes) override;
    void OnPacketEnd() override { m_Packet = {}; }

private:
    // The packet being read.
    struct Packet
    {
        const Route* pRoute = nullptr; // null: not wanted
        bool bSubstreamPending = false;
        size_t cbSkip = 0;
        std::optional<REFERENCE_TIME> tStart;
    };

    const Route* RouteOf(uint8_t streamId) const;
    // False when the packet's first payload byte shows it is another substream.
    bool TakeSubstream(uint8_t firstByte);
    // False when the route's queue takes no more bytes now.
    bool Store(const Route& route, std::span<const uint8_t> bytes);
    bool OpenRecord(const Route& route, const PacketInfo& info);

    const RecordWait m_Wait;
    const ProgramStreamDemuxer* m_pDemuxer = nullptr;
    std::array<Route, kMaxRoutes> m_Routes{};
    size_t m_cRoutes = 0;
    Packet m_Packet;
    bool m_bHalted = false;
};
