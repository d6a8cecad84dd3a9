#pragma once
// Small C3 streams for the playback tests, written with the C3 stream library:
// packets with placeholder video and silent audio frames, their previous lengths
// chained, and the offset of every packet kept so a test can damage it.

#include <cstddef>
#include <cstdint>
#include <vector>

class C3StreamBuilder
{
public:
    // A packet of cbVideo bytes of video and cAudioFrames frames of cbAudioPayload
    // bytes each, stamped `seconds`.
    C3StreamBuilder& Packet(std::uint32_t cbVideo, std::uint32_t cAudioFrames,
                            std::uint32_t cbAudioPayload, double seconds);
    // count packets of 4000 video bytes and two 1920-byte audio frames, 29.97 a second.
    C3StreamBuilder& Packets(std::size_t count, double firstSeconds = 0.0);

    std::vector<std::uint8_t>& Bytes() { return m_bytes; }
    std::size_t PacketOffset(std::size_t i) const { return m_offsets.at(i); }
    std::size_t PacketCount() const { return m_offsets.size(); }
    std::size_t PictureCount() const { return m_cPictures; }
    std::size_t AudioFrameCount() const { return m_cAudioFrames; }

    // Overwrites the big-endian word at a packet's header offset (4 header length,
    // 8 video length, 12 audio length, 20 previous length).
    void SetHeaderWord(std::size_t packet, std::size_t offset, std::uint32_t value);

private:
    std::vector<std::uint8_t> m_bytes;
    std::vector<std::size_t> m_offsets;
    std::uint64_t m_cbPrevious = 0;
    std::size_t m_cPictures = 0;
    std::size_t m_cAudioFrames = 0;
};
