#include "C3StreamBuilder.h"

#include "c3stream/buffer_rw.h"
#include "c3stream/c3_stream.h"
#include "c3stream/es_audio.h"

namespace
{
constexpr double kFrameSeconds = 1001.0 / 30000.0;
}

C3StreamBuilder& C3StreamBuilder::Packet(std::uint32_t cbVideo, std::uint32_t cAudioFrames,
                                         std::uint32_t cbAudioPayload, double seconds)
{
    const std::uint32_t cbAudio = cAudioFrames * (kAudioFrameHeaderLength + cbAudioPayload);
    const std::size_t offset = m_bytes.size();
    m_bytes.resize(offset + kC3HeaderLength + cbVideo + cbAudio, 0);
    CBufferWriter writer(m_bytes.data() + offset, m_bytes.size() - offset);

    CC3Header header;
    header.m_cbHeaderLength = kC3HeaderLength;
    header.m_cbVideoLength = cbVideo;
    header.m_cbAudioLength = cbAudio;
    header.m_nFlags = kPictureP | (cAudioFrames << 3);
    header.m_cbPreviousLength = static_cast<std::uint32_t>(m_cbPrevious);
    header.m_timestamp.m_dSeconds = seconds;
    header.Write(writer);
    writer.Fill(0x10, cbVideo);
    CAudioFrameHeader frame;
    frame.m_cbPayloadLength = cbAudioPayload;
    for (std::uint32_t i = 0; i < cAudioFrames; ++i)
    {
        frame.m_time.m_dSeconds = seconds;
        frame.Write(writer);
        writer.Fill(0, cbAudioPayload);
    }

    m_offsets.push_back(offset);
    m_cbPrevious = header.TotalLength();
    m_cPictures += cbVideo != 0 ? 1 : 0;
    m_cAudioFrames += cAudioFrames;
    return *this;
}

C3StreamBuilder& C3StreamBuilder::Packets(std::size_t count, double firstSeconds)
{
    for (std::size_t i = 0; i < count; ++i)
        Packet(4000, 2, 1920, firstSeconds + double(i) * kFrameSeconds);
    return *this;
}

void C3StreamBuilder::SetHeaderWord(std::size_t packet, std::size_t offset, std::uint32_t value)
{
    std::uint8_t* p = m_bytes.data() + m_offsets.at(packet) + offset;
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
}
