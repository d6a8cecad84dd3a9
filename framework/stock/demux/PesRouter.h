#pragma once

// Hands the payload of each PES packet to the output pins whose stream id map
// selects it: for a map entry with a data offset and a substream filter value,
// only packets whose first payload byte is that value, and of those only the
// bytes from the offset on. Packet time stamps become sample times through the
// stream's timeline. Runs on the demultiplexer's input thread.

#include "MpegTimeline.h"
#include "ProgramStreamParser.h"

#include "streams.h"

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class CDemuxOutputPin;

class PesRouter : public ProgramStreamParser::Sink
{
public:
    using PinList = std::vector<std::unique_ptr<CDemuxOutputPin>>;

    // The pins and the lock that guards them and their maps.
    PesRouter(const PinList& pins, std::mutex& routingLock);

    void Reset();

    bool WantsStream(uint8_t streamId) override;
    void OnSystemClock(int64_t scr) override;
    void OnPacketStart(uint8_t streamId, std::optional<int64_t> pts) override;
    void OnPayload(std::span<const uint8_t> bytes) override;
    void OnPacketEnd() override;

private:
    struct Target
    {
        CDemuxOutputPin* pPin;
        std::optional<uint8_t> substream;     // the first payload byte it must have
        size_t cbSkip;                        // payload bytes still to skip
        std::optional<REFERENCE_TIME> tStart; // given with the first byte delivered
    };

    void Feed(Target& target, std::span<const uint8_t> bytes);

    static constexpr size_t kExpectedTargets = 8;

    const PinList& m_Pins;
    std::mutex& m_RoutingLock;
    MpegTimeline m_Timeline;
    std::vector<Target> m_Targets; // of the current packet; capacity kept
};
