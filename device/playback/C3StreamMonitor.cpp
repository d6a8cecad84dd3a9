#include "C3StreamMonitor.h"

#include "c3stream/buffer_rw.h"
#include "c3stream/exceptions.h"

#include <algorithm>
#include <cstring>

namespace
{
// Reads a header element from its collected bytes; false when the bytes cannot hold it.
template <class THeader, std::size_t Size>
bool ReadElement(const std::array<std::uint8_t, Size>& bytes, THeader& element)
{
    try
    {
        CBufferReader reader(bytes.data(), bytes.size());
        element.Read(reader);
        return true;
    }
    catch (const CReaderException&)
    {
        return false;
    }
}

std::uint32_t MarkerOf(const std::uint8_t* pBytes)
{
    return std::uint32_t{pBytes[0]} << 24 | std::uint32_t{pBytes[1]} << 16 |
           std::uint32_t{pBytes[2]} << 8 | pBytes[3];
}
} // namespace

bool C3StreamMonitor::Feed(const std::uint8_t* pData, std::size_t cbData)
{
    while (cbData > 0 && !m_bHalted)
    {
        std::size_t cbTaken = 0;
        switch (m_stage)
        {
        case Stage::SeekMarker:
            cbTaken = SeekMarker(pData, cbData);
            break;
        case Stage::PacketHeader:
            cbTaken = CollectPacketHeader(pData, cbData);
            break;
        case Stage::Video:
        case Stage::AudioPayload:
            cbTaken = SkipPayload(cbData);
            break;
        case Stage::AudioHeader:
            cbTaken = CollectAudioHeader(pData, cbData);
            break;
        }
        pData += cbTaken;
        cbData -= cbTaken;
        m_nOffset += cbTaken;
        m_counts.bytes += cbTaken;
    }
    return !m_bHalted;
}

void C3StreamMonitor::EndOfStream()
{
    const bool bCutPacket = m_stage != Stage::SeekMarker;
    const bool bStrayBytes = m_stage == Stage::SeekMarker && m_cbSeen > 0 && !m_bResyncing;
    if (bCutPacket || bStrayBytes)
        CountViolation();
    m_checker = CStreamChecker();
    m_bHalted = false;
    SeekFresh(false);
}

void C3StreamMonitor::Restart()
{
    m_bHalted = false;
    m_checker.ForgetPrevious();
    SeekFresh(true);
}

std::size_t C3StreamMonitor::SeekMarker(const std::uint8_t* pData, std::size_t cbData)
{
    for (std::size_t i = 0; i < cbData; ++i)
    {
        m_window = m_window << 8 | pData[i];
        if (++m_cbSeen < 4 || m_window != kC3Marker)
            continue;
        if (m_cbSeen > 4 && !m_bResyncing)
            CountViolation(); // bytes where a packet should have started
        m_nPacketOffset = m_nOffset + i + 1 - 4;
        for (std::size_t k = 0; k < 4; ++k)
            m_packetHeader[k] = static_cast<std::uint8_t>(kC3Marker >> (24 - 8 * k));
        m_cbCollected = 4;
        m_stage = Stage::PacketHeader;
        return i + 1;
    }
    return cbData;
}

std::size_t C3StreamMonitor::CollectPacketHeader(const std::uint8_t* pData, std::size_t cbData)
{
    const std::size_t cbTaken = std::min(m_packetHeader.size() - m_cbCollected, cbData);
    std::memcpy(m_packetHeader.data() + m_cbCollected, pData, cbTaken);
    m_cbCollected += cbTaken;
    if (m_cbCollected == m_packetHeader.size())
        OnPacketHeader();
    return cbTaken;
}

std::size_t C3StreamMonitor::SkipPayload(std::size_t cbData)
{
    const auto cbTaken = static_cast<std::uint32_t>(std::min<std::size_t>(m_cbSkip, cbData));
    m_cbSkip -= cbTaken;
    if (m_cbSkip == 0)
        StartAudio();
    return cbTaken;
}

std::size_t C3StreamMonitor::CollectAudioHeader(const std::uint8_t* pData, std::size_t cbData)
{
    const std::size_t cbTaken = std::min(m_audioHeader.size() - m_cbCollected, cbData);
    std::memcpy(m_audioHeader.data() + m_cbCollected, pData, cbTaken);
    m_cbCollected += cbTaken;
    if (m_cbCollected == m_audioHeader.size())
        OnAudioHeader();
    return cbTaken;
}

void C3StreamMonitor::OnPacketHeader()
{
    CC3Header header;
    if (!ReadElement(m_packetHeader, header) || header.m_cbHeaderLength != kC3HeaderLength ||
        header.TotalLength() - kC3HeaderLength > kMaxPayload)
    {
        Resync(m_packetHeader.data() + 1, m_packetHeader.size() - 1);
        return;
    }
    if (m_checker.CheckHeader(m_nPacketOffset, header))
        CountViolation(); // a broken chain: a packet before this one went missing
    if (m_onPacket && !m_onPacket(header))
    {
        m_bHalted = true;
        return;
    }
    ++m_counts.packets;
    if (header.m_cbVideoLength != 0)
        ++m_counts.pictures;
    m_cbAudioLeft = header.m_cbAudioLength;
    m_cbSkip = header.m_cbVideoLength;
    if (m_cbSkip != 0)
        m_stage = Stage::Video;
    else
        StartAudio();
}

// The next audio frame of the packet, or the end of the packet.
void C3StreamMonitor::StartAudio()
{
    if (m_cbAudioLeft == 0)
    {
        SeekFresh(false);
        return;
    }
    if (m_cbAudioLeft < kAudioFrameHeaderLength)
    {
        // No room for a frame header: the rest of the packet is searched for a marker.
        CountViolation();
        m_checker.ForgetPrevious();
        SeekFresh(true);
        return;
    }
    m_cbCollected = 0;
    m_stage = Stage::AudioHeader;
}

void C3StreamMonitor::OnAudioHeader()
{
    CAudioFrameHeader header;
    m_cbAudioLeft -= kAudioFrameHeaderLength;
    if (MarkerOf(m_audioHeader.data()) != kAudioFrameMarker ||
        !ReadElement(m_audioHeader, header) || header.m_cbPayloadLength > m_cbAudioLeft)
    {
        Resync(m_audioHeader.data() + 1, m_audioHeader.size() - 1);
        return;
    }
    ++m_counts.audioFrames;
    m_cbAudioLeft -= header.m_cbPayloadLength;
    m_cbSkip = header.m_cbPayloadLength;
    if (m_cbSkip != 0)
        m_stage = Stage::AudioPayload;
    else
        StartAudio();
}

void C3StreamMonitor::Resync(const std::uint8_t* pAfterStart, std::size_t cbAfterStart)
{
    CountViolation();
    m_checker.ForgetPrevious();
    SeekFresh(true);
    // The bytes come from a header buffer that a marker among them refills: a copy is
    // scanned. They are fewer than a packet header, so the bytes still to come
    // complete any header they start.
    std::array<std::uint8_t, kC3HeaderLength> replay{};
    const std::size_t cbReplay = std::min(cbAfterStart, replay.size());
    std::memcpy(replay.data(), pAfterStart, cbReplay);
    const std::size_t cbScanned = SeekMarker(replay.data(), cbReplay);
    if (m_stage == Stage::PacketHeader)
        CollectPacketHeader(replay.data() + cbScanned, cbReplay - cbScanned);
}

void C3StreamMonitor::CountViolation()
{
    ++m_counts.violations;
}

void C3StreamMonitor::SeekFresh(bool bResyncing)
{
    m_stage = Stage::SeekMarker;
    m_window = 0;
    m_cbSeen = 0;
    m_bResyncing = bResyncing;
}
