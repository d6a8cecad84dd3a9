#pragma once

// Walks an MPEG program stream (MPEG-2 packs, or the MPEG-1 system stream's
// packs) handed over in pieces of any size, and reports to a sink what it finds:
// the system clock reference of each pack, and each PES packet of a stream the
// sink wants as its start (with the PTS of its header), its payload in one or
// more pieces, and its end. Packets of other streams, padding and system
// headers are skipped by their length without being looked at.
//
// Damaged input never makes the parser read outside the bytes it was given: a
// header that does not parse drops its packet, and the parser then searches
// for the next start code. Memory stays fixed: only a PES header (at most 264
// bytes) is ever kept between two pieces.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

class ProgramStreamParser
{
public:
    struct Sink
    {
        // Whether the packets of this stream id are wanted at all.
        virtual bool WantsStream(uint8_t streamId) = 0;
        // A pack's system clock reference, in 90 kHz ticks (33 bits).
        virtual void OnSystemClock(int64_t scr) = 0;
        // A wanted packet whose header has been read; its PTS when it has one.
        virtual void OnPacketStart(uint8_t streamId, std::optional<int64_t> pts) = 0;
        // The next piece of the current packet's payload.
        virtual void OnPayload(std::span<const uint8_t> bytes) = 0;
        virtual void OnPacketEnd() = 0;

    protected:
        ~Sink() = default;
    };

    explicit ProgramStreamParser(Sink& sink) : m_Sink(sink) {}

    void Push(std::span<const uint8_t> bytes);
    // Forgets a packet in progress (a new stream starts).
    void Reset();

private:
    enum class State
    {
        Sync,         // looking for a start code
        PackHeader,   // collecting the pack header after its start code
        PacketLength, // the two length bytes of a packet
        PesHeader,    // collecting a wanted packet's header
        Payload,      // handing a wanted packet's payload to the sink
        Skip,         // skipping bytes of a packet that is not wanted
    };

    // A PES header's full size, 0 while more bytes are needed to tell, or
    // std::nullopt when it is malformed.
    static std::optional<size_t> PesHeaderSize(std::span<const uint8_t> header);
    static std::optional<int64_t> PesTimestamp(std::span<const uint8_t> header);

    size_t Sync(std::span<const uint8_t> bytes);
    void OnStartCode(uint8_t code);
    size_t CollectPackHeader(std::span<const uint8_t> bytes);
    size_t CollectPacketLength(std::span<const uint8_t> bytes);
    size_t CollectPesHeader(std::span<const uint8_t> bytes);
    size_t PassPayload(std::span<const uint8_t> bytes);
    size_t SkipBytes(std::span<const uint8_t> bytes);
    void SkipRestOfPacket();

    static constexpr size_t kMaxHeader = 3 + 255 + 6;

    Sink& m_Sink;
    State m_State = State::Sync;
    uint32_t m_StartCode = 0xFFFFFFFF; // the last four bytes seen while in sync
    uint8_t m_StreamId = 0;
    size_t m_cbPacketLeft = 0; // bytes of the current packet still to come
    size_t m_cbNeeded = 0;     // header bytes wanted in m_Header
    uint8_t m_Header[kMaxHeader] = {};
    size_t m_cbHeader = 0;
};
