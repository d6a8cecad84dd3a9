#include "StreamDamage.h"

namespace
{
constexpr std::uint8_t kPackStart = 0xBA;
constexpr std::uint8_t kFirstWithLength = 0xBB; // system header and every packet after it

// Packets that carry an elementary stream: private stream 1, audio and video.
bool IsPes(std::uint8_t streamId)
{
    return streamId == 0xBD || (streamId >= 0xC0 && streamId <= 0xEF);
}
} // namespace

void StreamDamage::Start(std::uint32_t flipEvery, std::uint32_t cutEvery)
{
    *this = StreamDamage();
    Update(flipEvery, cutEvery);
}

void StreamDamage::Update(std::uint32_t flipEvery, std::uint32_t cutEvery)
{
    m_flipEvery = flipEvery;
    m_cutEvery = cutEvery;
    m_untilFlip = flipEvery;
    m_cPes = 0;
}

StreamDamage::Piece StreamDamage::Next(const std::uint8_t* pData, std::size_t cbData)
{
    if (!IsActive() && !m_bPending)
        return {Piece::Keep, cbData};
    Piece piece{Piece::Keep, 0};
    while (piece.length < cbData)
    {
        const Piece::Kind fate = m_bPending ? m_pending : Advance(pData[piece.length]);
        m_bPending = false;
        if (piece.length == 0)
            piece.kind = fate;
        else if (fate != piece.kind || fate == Piece::Flip)
        {
            // The byte belongs to the next piece; it has been followed already.
            m_bPending = true;
            m_pending = fate;
            break;
        }
        ++piece.length;
        if (fate == Piece::Flip)
            break;
    }
    if (piece.kind == Piece::Flip)
        piece.mask = static_cast<std::uint8_t>(1u << (m_cFlipped++ % 8));
    return piece;
}

StreamDamage::Piece::Kind StreamDamage::Advance(std::uint8_t byte)
{
    Piece::Kind kind = Piece::Keep;
    switch (m_stage)
    {
    case Stage::Scan:
        m_window = (m_window << 8) | byte;
        if ((m_window & 0xFFFFFF) == 0x000001)
            m_stage = Stage::StreamId;
        break;
    case Stage::StreamId:
        AdvanceStreamId(byte);
        break;
    case Stage::PackHeader:
        AdvancePackHeader(byte);
        break;
    case Stage::Length:
        m_packetLength = (m_packetLength << 8) | byte;
        if (--m_left == 0)
            StartPayload();
        break;
    case Stage::Payload:
        if (m_packetLength - m_left >= m_keep)
            kind = Piece::Drop;
        if (--m_left == 0)
            m_stage = Stage::Scan;
        break;
    }
    if (kind == Piece::Keep && m_flipEvery != 0 && --m_untilFlip == 0)
    {
        m_untilFlip = m_flipEvery;
        kind = Piece::Flip;
    }
    return kind;
}

void StreamDamage::AdvanceStreamId(std::uint8_t byte)
{
    m_streamId = byte;
    m_window = 0;
    m_packetLength = 0;
    if (byte == kPackStart)
        m_stage = Stage::PackHeader;
    else if (byte >= kFirstWithLength)
    {
        m_stage = Stage::Length;
        m_left = 2;
    }
    else
        m_stage = Stage::Scan;
}

// An MPEG-2 pack header has 10 bytes after its start code, the last giving how many
// stuffing bytes follow; an MPEG-1 one has 8. m_packetLength counts the bytes seen.
void StreamDamage::AdvancePackHeader(std::uint8_t byte)
{
    if (m_packetLength++ == 0)
    {
        m_bMpeg2Pack = (byte & 0xC0) == 0x40;
        m_left = m_bMpeg2Pack ? 10 : 8;
    }
    if (--m_left != 0)
        return;
    const std::uint32_t cStuffing = m_bMpeg2Pack ? byte & 0x07u : 0;
    m_stage = cStuffing != 0 ? Stage::Payload : Stage::Scan;
    m_packetLength = m_keep = m_left = cStuffing;
}

void StreamDamage::StartPayload()
{
    m_left = m_keep = m_packetLength;
    m_stage = m_packetLength != 0 ? Stage::Payload : Stage::Scan;
    if (m_packetLength != 0 && IsPes(m_streamId) && m_cutEvery != 0 && ++m_cPes % m_cutEvery == 0)
    {
        m_keep = m_packetLength / 2;
        ++m_cCut;
    }
}
