#pragma once

// A C3 stream file taken apart for the tests, independently of the C3 stream
// library: packets with their header fields, the MPEG video they carry (PES
// headers removed) and the PCM of their audio units (swapped back to
// little-endian).

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

struct C3PacketView
{
    uint32_t pictureType = 0;
    uint32_t videoLength = 0;
    uint32_t audioLength = 0;
    size_t audioUnits = 0; // 0xDEADCAFE frames in the audio payload
    bool audioUnitsWhole = true;
};

class C3StreamFile
{
public:
    // False when the bytes are not a well-formed run of packets.
    bool Parse(const std::vector<uint8_t>& bytes);

    const std::vector<C3PacketView>& Packets() const { return m_Packets; }
    // The video payloads, in order, without PES headers.
    const std::vector<uint8_t>& Video() const { return m_Video; }
    // The audio units' PCM, in order, in little-endian byte order.
    const std::vector<uint8_t>& Audio() const { return m_Audio; }
    size_t AudioUnitBytes() const { return m_cbAudioUnit; }

private:
    void TakeVideo(const uint8_t* pData, size_t cb);
    void TakeAudio(const uint8_t* pData, size_t cb, C3PacketView* pPacket);

    std::vector<C3PacketView> m_Packets;
    std::vector<uint8_t> m_Video;
    std::vector<uint8_t> m_Audio;
    size_t m_cbAudioUnit = 0;
};
