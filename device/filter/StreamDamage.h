#pragma once
// Damages the capture pin's program stream as the fault plan says (FaultPlan.h), as the
// bytes pass: one bit flipped every N bytes, and every Nth PES packet cut short, the
// second half of its payload left out while its header still counts it, so a reader
// that trusts the length runs into the next pack. The stream is followed by pack and
// packet lengths, across pieces of any size, without allocating. The caller asks for
// one piece at a time and passes it on, leaves it out, or passes its one byte flipped.

#include <cstddef>
#include <cstdint>

class StreamDamage
{
public:
    struct Piece
    {
        enum Kind
        {
            Keep,
            Drop,
            Flip, // one byte, XOR mask
        } kind;
        std::size_t length;
        std::uint8_t mask = 0;
    };

    // A new stream: 0 leaves that damage out.
    void Start(std::uint32_t flipEvery, std::uint32_t cutEvery);
    // The plan changed while the stream goes on: the counts start again.
    void Update(std::uint32_t flipEvery, std::uint32_t cutEvery);
    bool IsActive() const { return m_flipEvery != 0 || m_cutEvery != 0; }

    // The next piece of the bytes (cbData > 0); the caller moves on by its length.
    Piece Next(const std::uint8_t* pData, std::size_t cbData);

    std::uint64_t BitsFlipped() const { return m_cFlipped; }
    std::uint64_t PacketsCut() const { return m_cCut; }

private:
    enum class Stage
    {
        Scan,       // looking for a start code
        StreamId,   // the byte after 00 00 01
        PackHeader, // the rest of a pack header
        Length,     // a packet's 16-bit length
        Payload,
    };

    // Follows the stream over one byte and says what becomes of it.
    Piece::Kind Advance(std::uint8_t byte);
    void AdvanceStreamId(std::uint8_t byte);
    void AdvancePackHeader(std::uint8_t byte);
    void StartPayload();

    std::uint32_t m_flipEvery = 0;
    std::uint32_t m_cutEvery = 0;
    std::uint32_t m_untilFlip = 0;

    Stage m_stage = Stage::Scan;
    std::uint32_t m_window = 0;
    std::uint8_t m_streamId = 0;
    std::uint32_t m_left = 0; // bytes left in the stage
    std::uint32_t m_packetLength = 0;
    std::uint32_t m_keep = 0; // payload bytes kept of this packet
    std::uint32_t m_cPes = 0;
    bool m_bMpeg2Pack = false;

    bool m_bPending = false; // the byte at the front was advanced by the last call
    Piece::Kind m_pending = Piece::Keep;

    std::uint64_t m_cFlipped = 0;
    std::uint64_t m_cCut = 0;
};
