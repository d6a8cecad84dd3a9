#include "ProgramStreamParser.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr uint8_t kPackStartCode = 0xBA;
constexpr uint8_t kSystemHeader = 0xBB;
constexpr size_t kMpeg2PackHeader = 10; // after the start code, before stuffing
constexpr size_t kMpeg1PackHeader = 8;
constexpr size_t kMaxMpeg1Stuffing = 16;

// Streams whose packets carry no PES header extension: the payload follows the
// length at once.
bool HasNoPesHeader(uint8_t streamId)
{
    switch (streamId)
    {
    case 0xBC: // program stream map
    case 0xBE: // padding
    case 0xBF: // private stream 2
    case 0xF0: // ECM
    case 0xF1: // EMM
    case 0xF2: // DSM-CC
    case 0xF8: // H.222.1 type E
    case 0xFF: // program stream directory
        return true;
    default:
        return false;
    }
}

// A 33-bit time stamp in the 5-byte layout of PTS, DTS and the MPEG-1 SCR.
int64_t ReadTimestamp(const uint8_t* p)
{
    return (int64_t(p[0] >> 1) & 0x07) << 30 | int64_t(p[1]) << 22 | int64_t(p[2] >> 1) << 15 |
           int64_t(p[3]) << 7 | int64_t(p[4] >> 1);
}

// The MPEG-2 pack header's SCR base (its 27 MHz extension is not needed).
int64_t ReadMpeg2Scr(const uint8_t* p)
{
    return (int64_t(p[0] >> 3) & 0x07) << 30 | int64_t(p[0] & 0x03) << 28 | int64_t(p[1]) << 20 |
           int64_t(p[2] >> 3) << 15 | int64_t(p[2] & 0x03) << 13 | int64_t(p[3]) << 5 |
           int64_t(p[4] >> 3);
}

bool IsMpeg2PesHeader(uint8_t first)
{
    return (first & 0xC0) == 0x80;
}

constexpr size_t kMalformed = SIZE_MAX;

// Where an MPEG-1 packet header's time stamp fields begin (after stuffing and
// the buffer size field); std::nullopt while unknown, kMalformed when malformed.
std::optional<size_t> Mpeg1TimestampOffset(std::span<const uint8_t> header)
{
    size_t offset = 0;
    while (offset < header.size() && header[offset] == 0xFF)
        ++offset;
    if (offset > kMaxMpeg1Stuffing)
        return kMalformed;
    if (offset == header.size())
        return std::nullopt;
    if ((header[offset] & 0xC0) == 0x40)
        offset += 2; // STD buffer scale and size
    return offset;
}
} // namespace

void ProgramStreamParser::Reset()
{
    m_State = State::Sync;
    m_StartCode = 0xFFFFFFFF;
    m_cbPacketLeft = 0;
    m_cbHeader = 0;
}

void ProgramStreamParser::Push(std::span<const uint8_t> bytes)
{
    while (!bytes.empty())
    {
        size_t cbUsed = 0;
        switch (m_State)
        {
        case State::Sync:
            cbUsed = Sync(bytes);
            break;
        case State::PackHeader:
            cbUsed = CollectPackHeader(bytes);
            break;
        case State::PacketLength:
            cbUsed = CollectPacketLength(bytes);
            break;
        case State::PesHeader:
            cbUsed = CollectPesHeader(bytes);
            break;
        case State::Payload:
            cbUsed = PassPayload(bytes);
            break;
        case State::Skip:
            cbUsed = SkipBytes(bytes);
            break;
        }
        bytes = bytes.subspan(cbUsed);
    }
}

size_t ProgramStreamParser::Sync(std::span<const uint8_t> bytes)
{
    for (size_t i = 0; i < bytes.size(); ++i)
    {
        m_StartCode = m_StartCode << 8 | bytes[i];
        if ((m_StartCode & 0xFFFFFF00) == 0x00000100)
        {
            const auto code = uint8_t(m_StartCode);
            m_StartCode = 0xFFFFFFFF;
            OnStartCode(code);
            if (m_State != State::Sync)
                return i + 1;
        }
    }
    return bytes.size();
}

void ProgramStreamParser::OnStartCode(uint8_t code)
{
    m_cbHeader = 0;
    if (code == kPackStartCode)
    {
        m_State = State::PackHeader;
        m_cbNeeded = 1; // the first byte tells MPEG-1 from MPEG-2
    }
    else if (code >= kSystemHeader)
    {
        m_StreamId = code;
        m_State = State::PacketLength;
        m_cbNeeded = 2;
    }
    // Anything else (the end code, or a stray code in damaged data) keeps searching.
}

size_t ProgramStreamParser::CollectPackHeader(std::span<const uint8_t> bytes)
{
    const size_t cbTake = std::min(bytes.size(), m_cbNeeded - m_cbHeader);
    std::memcpy(m_Header + m_cbHeader, bytes.data(), cbTake);
    m_cbHeader += cbTake;
    if (m_cbHeader < m_cbNeeded)
        return cbTake;
    if (m_cbNeeded == 1)
    {
        const bool bMpeg2 = (m_Header[0] & 0xC0) == 0x40;
        const bool bMpeg1 = (m_Header[0] & 0xF0) == 0x20;
        m_cbNeeded = bMpeg2 ? kMpeg2PackHeader : kMpeg1PackHeader;
        if (!bMpeg2 && !bMpeg1)
            m_State = State::Sync;
        return cbTake;
    }
    if (m_cbNeeded == kMpeg2PackHeader)
    {
        m_Sink.OnSystemClock(ReadMpeg2Scr(m_Header));
        m_cbPacketLeft = m_Header[9] & 0x07; // stuffing
        m_State = State::Skip;
    }
    else
    {
        m_Sink.OnSystemClock(ReadTimestamp(m_Header));
        m_State = State::Sync;
    }
    return cbTake;
}

size_t ProgramStreamParser::CollectPacketLength(std::span<const uint8_t> bytes)
{
    m_Header[m_cbHeader++] = bytes[0];
    if (m_cbHeader < 2)
        return 1;
    m_cbPacketLeft = size_t(m_Header[0]) << 8 | m_Header[1];
    m_cbHeader = 0;
    if (m_StreamId != kSystemHeader && m_Sink.WantsStream(m_StreamId))
        m_State = State::PesHeader;
    else
        m_State = State::Skip;
    if (m_cbPacketLeft == 0)
        m_State = State::Sync; // an unbounded packet has no place in a program stream
    else if (m_State == State::PesHeader && HasNoPesHeader(m_StreamId))
    {
        m_Sink.OnPacketStart(m_StreamId, std::nullopt);
        m_State = State::Payload;
    }
    return 1;
}

std::optional<size_t> ProgramStreamParser::PesHeaderSize(std::span<const uint8_t> header)
{
    if (header.empty())
        return 0;
    if (IsMpeg2PesHeader(header[0]))
        return header.size() < 3 ? 0 : 3 + size_t(header[2]);
    const std::optional<size_t> offset = Mpeg1TimestampOffset(header);
    if (!offset)
        return 0;
    if (*offset == kMalformed)
        return std::nullopt;
    if (*offset >= header.size())
        return 0;
    switch (header[*offset] & 0xF0)
    {
    case 0x20:
        return *offset + 5;
    case 0x30:
        return *offset + 10;
    default:
        if (header[*offset] == 0x0F)
            return *offset + 1;
        return std::nullopt;
    }
}

std::optional<int64_t> ProgramStreamParser::PesTimestamp(std::span<const uint8_t> header)
{
    if (IsMpeg2PesHeader(header[0]))
    {
        const bool bHasPts = (header[1] & 0x80) != 0;
        if (!bHasPts || header[2] < 5)
            return std::nullopt;
        return ReadTimestamp(&header[3]);
    }
    const size_t offset = *Mpeg1TimestampOffset(header);
    if ((header[offset] & 0xE0) != 0x20)
        return std::nullopt;
    return ReadTimestamp(&header[offset]);
}

size_t ProgramStreamParser::CollectPesHeader(std::span<const uint8_t> bytes)
{
    // Byte by byte: a header is short, and its size is known only as it is read.
    m_Header[m_cbHeader++] = bytes[0];
    --m_cbPacketLeft;
    const std::span<const uint8_t> header(m_Header, m_cbHeader);
    const std::optional<size_t> cbHeader = PesHeaderSize(header);
    if (!cbHeader || *cbHeader > m_cbHeader + m_cbPacketLeft || *cbHeader > kMaxHeader)
    {
        SkipRestOfPacket(); // malformed, or longer than its packet
        return 1;
    }
    if (*cbHeader == 0 || *cbHeader > m_cbHeader)
        return 1;
    m_Sink.OnPacketStart(m_StreamId, PesTimestamp(header));
    if (m_cbPacketLeft == 0)
    {
        m_Sink.OnPacketEnd();
        m_State = State::Sync;
    }
    else
    {
        m_State = State::Payload;
    }
    return 1;
}

size_t ProgramStreamParser::PassPayload(std::span<const uint8_t> bytes)
{
    const size_t cbTake = std::min(bytes.size(), m_cbPacketLeft);
    m_Sink.OnPayload(bytes.first(cbTake));
    m_cbPacketLeft -= cbTake;
    if (m_cbPacketLeft == 0)
    {
        m_Sink.OnPacketEnd();
        m_State = State::Sync;
    }
    return cbTake;
}

size_t ProgramStreamParser::SkipBytes(std::span<const uint8_t> bytes)
{
    const size_t cbTake = std::min(bytes.size(), m_cbPacketLeft);
    m_cbPacketLeft -= cbTake;
    if (m_cbPacketLeft == 0)
        m_State = State::Sync;
    return cbTake;
}

void ProgramStreamParser::SkipRestOfPacket()
{
    m_State = m_cbPacketLeft == 0 ? State::Sync : State::Skip;
}
